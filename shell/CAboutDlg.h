// The about box, opened from the main window's "About...": the program's logo, name and
// version and a few credit lines. It only closes (OK, Enter or Escape); the emulation keeps
// running behind it.
#pragma once

#include <QDialog>

class QPushButton;

class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent);

    QPushButton* OkButton() const { return okButton; }

private:
    QPushButton* okButton = nullptr;
};
