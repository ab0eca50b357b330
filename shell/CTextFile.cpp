#include "shell/CTextFile.h"

#include <QFile>
#include <QFileInfo>

bool CTextFile::Read(const QString& path, QByteArray& text, QString& error)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    text = file.read(MAX_BYTES + 1);
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    if (text.size() > MAX_BYTES) {
        error = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(MAX_BYTES);
        return false;
    }
    return true;
}
