// Lays out a dialog from coordinates in dialog units, which scale with the dialog's font: a
// horizontal unit is a quarter of the font's average character width, a vertical unit an
// eighth of its height. CConfigDlg and CAboutDlg place their controls with it.
#pragma once

#include <QRect>

class QWidget;

class CDialogUnits {
public:
    explicit CDialogUnits(const QWidget& dialog);

    QRect ToPixels(int left, int top, int width, int height) const;
    QSize ToPixels(int width, int height) const;
    // Places `widget` at a rectangle given in dialog units.
    void Place(QWidget* widget, int left, int top, int width, int height) const;

private:
    int baseX;
    int baseY;
};
