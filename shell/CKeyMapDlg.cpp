#include "shell/CKeyMapDlg.h"

#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

CKeyMapDlg::CKeyMapDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Keyboard map"));
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(QString::fromLatin1(IMAGE)));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
