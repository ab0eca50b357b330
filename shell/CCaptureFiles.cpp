#include "shell/CCaptureFiles.h"

#include <QDir>
#include <QFileInfo>

QString CCaptureFiles::NewPath(const QString& folder, const QString& extension, const QDateTime& when)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return {};
    const QString stem = QDir(folder).filePath(QStringLiteral("vorlix-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString path = stem + '.' + extension;
    // Anything already there, a dangling link included, keeps its name.
    for (int n = 2; QFileInfo(path).exists() || QFileInfo(path).isSymLink(); ++n)
        path = stem + '-' + QString::number(n) + '.' + extension;
    return path;
}
