#include "shell/CAboutDlg.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "shell/CDialogUnits.h"

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About Vorlix"));
    const CDialogUnits units(*this);
    setFixedSize(units.ToPixels(187, 178));

    auto* logo = new QLabel(this);
    logo->setPixmap(QPixmap(QStringLiteral(":/vorlix/logo.png")));
    logo->setAlignment(Qt::AlignCenter);
    logo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    units.Place(logo, 7, 7, 173, 54);

    auto line = [&](const QString& text, int top, Qt::Alignment alignment) {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(alignment | Qt::AlignVCenter);
        units.Place(label, 7, top, 173, 10);
    };
    line(QStringLiteral("Vorlix Version 1.1"), 71, Qt::AlignHCenter);
    line(QStringLiteral("An emulator of an 8-bit home computer"), 83, Qt::AlignLeft);
    line(QStringLiteral("with its own BASIC, font and sounds."), 95, Qt::AlignLeft);
    line(QString(), 107, Qt::AlignLeft);
    line(QStringLiteral("Written by the Vorlix developers."), 119, Qt::AlignLeft);
    line(QStringLiteral("Free to use, study and share."), 131, Qt::AlignLeft);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    units.Place(okButton, 130, 157, 50, 14);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    okButton->setFocus();
}
