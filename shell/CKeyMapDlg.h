// The keyboard map window: shows the map the build drew from the translator's table. The main
// window opens it from its menu, without a modal loop, so that typing can go on beside it.
#pragma once

#include <QDialog>

class CKeyMapDlg : public QDialog {
public:
    static constexpr const char* IMAGE = ":/vorlix/keyboard-map.png";

    explicit CKeyMapDlg(QWidget* parent);
};
