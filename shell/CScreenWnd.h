// The emulated screen: a child of the main window with a sunken edge around a 242 by 242
// client area, showing the display's 240 by 240 one-bit image at 1, 1 in two fixed colours.
// It holds the keyboard focus and passes converted, de-repeated keys to its key target, by
// position or by character. CMainWnd creates it and calls UpdateImage() for each image it shows.
// Zoomed, it grows to hold the image at a whole number of device pixels per machine pixel;
// in full screen it has no edge and centres the image on black at the largest such number
// that fits.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include <QFrame>
#include <QImage>
#include <QTimer>

#include "core/CColourScreen.h"
#include "devices/CDisplay.h"
#include "shell/CHostKeyMapper.h"
#include "shell/CRepeatFilter.h"

class CKeyTarget;

class CScreenWnd : public QFrame {
public:
    static constexpr int CLIENT_SIZE = 242;
    static constexpr int EDGE = 2;
    static constexpr int MARGIN = 1;  // black, between the edge and the image
    static constexpr int MAX_ZOOM = 4;
    static constexpr QRgb SET_COLOUR = CColourScreen::SET_COLOUR;      // 200, 184, 32
    static constexpr QRgb CLEAR_COLOUR = CColourScreen::CLEAR_COLOUR;  // 32, 32, 32

    CScreenWnd(CDisplay& display, CKeyTarget* keys, QWidget* parent);

    // Renders video memory after `frames` frames run since the last image (the others are
    // only counted) and copies the image into the screen bitmap; the caller repaints.
    void UpdateImage(std::uint32_t frames = 1);
    // Copies an image of CDisplay::IMAGE_BYTES bytes into the screen bitmap.
    void SetImage(const std::uint8_t* bits);
    void SetKeyTarget(CKeyTarget* target) { mapper.SetTarget(target); }
    void SetKeyboardMode(CHostKeyMapper::Mode mode) { mapper.SetMode(mode); }
    CHostKeyMapper::Mode KeyboardMode() const { return mapper.GetMode(); }
    // Asked at every new key press (not at auto-repeats, nor at the window system's keys)
    // before the machine sees it; returning true takes the press, and its release, away.
    void SetPressHook(std::function<bool()> hook) { pressHook = std::move(hook); }

    // Sizes the screen for a zoom of 1 to MAX_ZOOM: each machine pixel becomes
    // round(zoom x device pixel ratio) device pixels, and the widget just holds that image
    // with its margin and edge. At ratio 1 and zoom 1 that is the 246 by 246 of the window.
    void SetZoom(int zoom);
    // Full screen: no edge and no fixed size; the owner gives it the whole window.
    void SetFullScreen(bool on);
    // The image as last painted, in device pixels: its rectangle and the side of a machine pixel.
    QRect PaintedRect() const { return painted; }
    int PaintedFactor() const { return painted.width() / CDisplay::WIDTH; }
    // The image in the screen's colours at a whole zoom, as screenshots show it.
    QImage Picture(int zoom) const;

    // Device pixels per machine pixel for a zoom at a device pixel ratio.
    static int DeviceFactor(int zoom, qreal ratio);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Tab and Shift+Tab are keys of the emulated machine, not focus moves.
    bool focusNextPrevChild(bool next) override;

private:
    void Forward(bool down, const HostKey& key);
    HostKey Describe(const QKeyEvent& event) const;

    CDisplay& display;
    CHostKeyMapper mapper;
    std::function<bool()> pressHook;
    // The bitmap's bits, 30 bytes a row.
    std::array<std::uint8_t, CDisplay::IMAGE_BYTES> bits{};
    CRepeatFilter repeatFilter;
    QTimer releaseTimer;
    bool fullScreen = false;
    // The image expanded for painting; remade when the bits or the factor change.
    QImage expanded;
    bool expandedStale = true;
    QRect painted;
};
