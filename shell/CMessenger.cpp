#include "shell/CMessenger.h"

#include <cstdio>

#include <QCoreApplication>
#include <QMessageBox>

void CMessenger::Show(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QCoreApplication::applicationName(), text, QMessageBox::Ok);
}

void CMessenger::Log(const QString& line)
{
    const QByteArray text = (QCoreApplication::applicationName() + QStringLiteral(": ") + line + '\n').toLocal8Bit();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
    std::fflush(stderr);
}
