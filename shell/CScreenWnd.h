// The emulated screen: a child of the main window with a sunken edge around a 242 by 242
// client area, showing the display's 240 by 240 one-bit image at 1, 1 in two fixed colours.
// It holds the keyboard focus and passes converted, de-repeated keys to its key target.
// CMainWnd creates it and calls UpdateImage() once per tick.
#pragma once

#include <array>
#include <cstdint>

#include <QFrame>
#include <QImage>
#include <QTimer>

#include "devices/CDisplay.h"
#include "shell/CRepeatFilter.h"

class CKeyTarget;

class CScreenWnd : public QFrame {
public:
    static constexpr int CLIENT_SIZE = 242;
    static constexpr int EDGE = 2;
    static constexpr QRgb SET_COLOUR = 0xFFC8B820;    // 200, 184, 32
    static constexpr QRgb CLEAR_COLOUR = 0xFF202020;  // 32, 32, 32

    CScreenWnd(CDisplay& display, CKeyTarget* keys, QWidget* parent);

    // Renders video memory and copies the image into the screen bitmap; the caller repaints.
    void UpdateImage();
    // Copies an image of CDisplay::IMAGE_BYTES bytes into the screen bitmap.
    void SetImage(const std::uint8_t* bits);
    void SetKeyTarget(CKeyTarget* target) { keys = target; }
    const QImage& Image() const { return image; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Tab and Shift+Tab are keys of the emulated machine, not focus moves.
    bool focusNextPrevChild(bool next) override;

private:
    void Forward(bool down, std::uint8_t scan);

    CDisplay& display;
    CKeyTarget* keys;
    // The bitmap's bits, 30 bytes a row, and the image that shows them without a copy.
    std::array<std::uint8_t, CDisplay::IMAGE_BYTES> bits{};
    QImage image;
    CRepeatFilter repeatFilter;
    QTimer releaseTimer;
};
