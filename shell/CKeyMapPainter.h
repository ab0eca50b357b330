// Draws the keyboard map: the PC keyboard's main block and arrows, each key with what it
// types on the machine in its planes, read from the keyboard translator's own table and
// lettered in the machine's character set. The build's map tool (mkkeymap) draws it into the
// PNG that the window shows from its menu and the README includes.
#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QRectF>

#include "assets/CFontSheet.h"

class CKeyMapPainter {
public:
    // What one key types: its codes in the plain, Shift, Ctrl and Ctrl+Shift planes
    // (CKeyboard::NO_CODE for none), and whether Caps Lock gives it its Shift code.
    struct Legend {
        std::uint8_t plain, shift, ctrl, ctrlShift;
        bool caps;
    };
    // A key of the picture: its set-1 make code and where it is, in key widths.
    struct Place {
        std::uint8_t scan;
        QRectF rect;
    };

    // Glyphs beyond the character set's 128, for marks the machine has no character for.
    static constexpr int GLYPH_CARET = 0x100;
    static constexpr int GLYPH_LEFT = 0x101;
    static constexpr int GLYPH_RIGHT = 0x102;

    explicit CKeyMapPainter(const CFontSheet& font) : font(font) {}

    static Legend LegendOf(std::uint8_t scan);
    static const std::vector<Place>& Places();
    // The glyphs a code is lettered with: the machine's own character for 0x21 to 0x7E,
    // names or arrows for Enter, Space, Backspace and the right arrow. ControlTextOf()
    // letters a code typed with Ctrl: control codes as a caret and a character (0x7F as ^?).
    static std::vector<int> TextOf(std::uint8_t code);
    static std::vector<int> ControlTextOf(std::uint8_t code);

    QImage Draw() const;

private:
    void DrawText(QImage& image, int x, int y, const std::vector<int>& glyphs, int scale, QRgb colour) const;
    static int TextWidth(const std::vector<int>& glyphs, int scale);

    const CFontSheet& font;
};
