#include "shell/CMessenger.h"

#include <QCoreApplication>
#include <QMessageBox>

void CMessenger::Show(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QCoreApplication::applicationName(), text, QMessageBox::Ok);
}
