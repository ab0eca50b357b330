#include "shell/CKeyMapPainter.h"

#include <array>
#include <string>

#include <QPainter>
#include <QPainterPath>

#include "devices/CKeyboard.h"

namespace {

constexpr int UNIT = 60;    // one key width, in pixels
constexpr int MARGIN = 20;
constexpr int TOP = 56;     // room for the title
constexpr int SCALE = 2;    // legends at twice the machine's pixel size
constexpr std::uint8_t SCAN_ENTER = 0x1C;
constexpr int GLYPH_W = CFontSheet::COLUMNS;
constexpr int GLYPH_H = CFontSheet::ROWS;

constexpr QRgb BACKGROUND = qRgb(32, 32, 32);
constexpr QRgb KEY = qRgb(226, 226, 218);
constexpr QRgb CAPS_KEY = qRgb(236, 222, 150);  // Caps Lock gives these their Shift character
constexpr QRgb MISSING_KEY = qRgb(70, 70, 70);
constexpr QRgb EDGE = qRgb(10, 10, 10);
constexpr QRgb INK = qRgb(20, 20, 20);
constexpr QRgb CTRL_INK = qRgb(176, 30, 30);
constexpr QRgb TITLE_INK = qRgb(200, 184, 32);

// The marks the character set lacks, in its own 6 by 10 form.
constexpr std::array<std::array<std::uint8_t, GLYPH_H>, 3> EXTRA_GLYPHS{{
    {0x00, 0x20, 0x50, 0x88, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // caret
    {0x00, 0x00, 0x20, 0x40, 0xF8, 0x40, 0x20, 0x00, 0x00, 0x00},  // left arrow
    {0x00, 0x00, 0x20, 0x10, 0xF8, 0x10, 0x20, 0x00, 0x00, 0x00},  // right arrow
}};

std::vector<int> Word(const char* text)
{
    std::vector<int> glyphs;
    for (const char* c = text; *c; ++c)
        glyphs.push_back(static_cast<unsigned char>(*c));
    return glyphs;
}

// Names of the keys that type no code of their own.
const char* ModifierName(std::uint8_t scan)
{
    switch (scan) {
    case CKeyboard::SCAN_LEFT_SHIFT:
    case CKeyboard::SCAN_RIGHT_SHIFT: return "Shift";
    case CKeyboard::SCAN_CTRL: return "Ctrl";
    case CKeyboard::SCAN_CAPS_LOCK: return "Caps";
    default: return "";
    }
}

}  // namespace

CKeyMapPainter::Legend CKeyMapPainter::LegendOf(std::uint8_t scan)
{
    const std::uint8_t p = CKeyboard::PositionOf(scan);
    return {CKeyboard::CodeOf(p, false, false), CKeyboard::CodeOf(p, true, false), CKeyboard::CodeOf(p, false, true),
            CKeyboard::CodeOf(p, true, true), CKeyboard::IsLetter(p)};
}

const std::vector<CKeyMapPainter::Place>& CKeyMapPainter::Places()
{
    // An ISO PC keyboard: rows of the main block, the arrows to the right.
    static const std::vector<Place> places = [] {
        std::vector<Place> v;
        auto row = [&v](double x, double y, std::initializer_list<std::pair<int, double>> keys) {
            for (const auto& [scan, width] : keys) {
                if (scan >= 0)
                    v.push_back({static_cast<std::uint8_t>(scan), QRectF(x, y, width, 1)});
                x += width;
            }
        };
        row(0, 0, {{0x29, 1}, {0x02, 1}, {0x03, 1}, {0x04, 1}, {0x05, 1}, {0x06, 1}, {0x07, 1}, {0x08, 1},
                   {0x09, 1}, {0x0A, 1}, {0x0B, 1}, {0x0C, 1}, {0x0D, 1}, {0x0E, 2}});
        row(0, 1, {{0x0F, 1.5}, {0x10, 1}, {0x11, 1}, {0x12, 1}, {0x13, 1}, {0x14, 1}, {0x15, 1}, {0x16, 1},
                   {0x17, 1}, {0x18, 1}, {0x19, 1}, {0x1A, 1}, {0x1B, 1}, {0x1C, 1.5}});
        row(0, 2, {{0x3A, 1.75}, {0x1E, 1}, {0x1F, 1}, {0x20, 1}, {0x21, 1}, {0x22, 1}, {0x23, 1}, {0x24, 1},
                   {0x25, 1}, {0x26, 1}, {0x27, 1}, {0x28, 1}, {0x2B, 1}});
        row(0, 3, {{0x2A, 1.25}, {0x56, 1}, {0x2C, 1}, {0x2D, 1}, {0x2E, 1}, {0x2F, 1}, {0x30, 1}, {0x31, 1},
                   {0x32, 1}, {0x33, 1}, {0x34, 1}, {0x35, 1}, {0x36, 2.75}});
        row(0, 4, {{0x1D, 1.25}, {0x5B, 1.25}, {0x38, 1.25}, {0x39, 6.25}, {0x38, 1.25}, {0x5C, 1.25},
                   {0x5D, 1.25}, {0x1D, 1.25}});
        row(16.5, 3, {{0x48, 1}});
        row(15.5, 4, {{0x4B, 1}, {0x50, 1}, {0x4D, 1}});
        return v;
    }();
    return places;
}

std::vector<int> CKeyMapPainter::TextOf(std::uint8_t code)
{
    switch (code) {
    case 0x08: return {GLYPH_LEFT};
    case 0x09: return {GLYPH_RIGHT};
    case 0x0D: return Word("Enter");
    case 0x20: return Word("Space");
    default: return ControlTextOf(code);
    }
}

std::vector<int> CKeyMapPainter::ControlTextOf(std::uint8_t code)
{
    if (code < 0x20)
        return {GLYPH_CARET, code + 0x40};
    if (code == 0x7F)
        return {GLYPH_CARET, '?'};
    if (code < 0x7F)
        return {code};
    return {};
}

int CKeyMapPainter::TextWidth(const std::vector<int>& glyphs, int scale)
{
    return static_cast<int>(glyphs.size()) * GLYPH_W * scale;
}

void CKeyMapPainter::DrawText(QImage& image, int x, int y, const std::vector<int>& glyphs, int scale,
                              QRgb colour) const
{
    for (const int g : glyphs) {
        for (int row = 0; row < GLYPH_H; ++row) {
            const std::uint8_t bits = g >= GLYPH_CARET ? EXTRA_GLYPHS[static_cast<std::size_t>(g - GLYPH_CARET)]
                                                                    [static_cast<std::size_t>(row)]
                                                       : font.Get(g)[static_cast<std::size_t>(row)];
            for (int column = 0; column < GLYPH_W; ++column) {
                if (!(bits & (0x80 >> column)))
                    continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        image.setPixel(x + column * scale + dx, y + row * scale + dy, colour);
            }
        }
        x += GLYPH_W * scale;
    }
}

QImage CKeyMapPainter::Draw() const
{
    const int width = 2 * MARGIN + static_cast<int>(18.5 * UNIT);
    const int height = TOP + 5 * UNIT + 3 * MARGIN + 2 * GLYPH_H * SCALE;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(BACKGROUND);
    DrawText(image, MARGIN, MARGIN, Word("What each PC key types on the machine, by position"), SCALE, TITLE_INK);

    constexpr int PAD = 5;
    for (const Place& place : Places()) {
        const QRect r(MARGIN + static_cast<int>(place.rect.x() * UNIT) + 1, TOP + static_cast<int>(place.rect.y() * UNIT) + 1,
                      static_cast<int>(place.rect.width() * UNIT) - 2, UNIT - 2);
        const Legend legend = LegendOf(place.scan);
        const bool has = CKeyboard::PositionOf(place.scan) != 0;
        {
            QPainterPath outline;
            outline.addRect(r.adjusted(0, 0, -1, -1));
            if (place.scan == SCAN_ENTER) {
                // The ISO Enter reaches down into the next row.
                QPainterPath foot;
                foot.addRect(QRect(r.x() + UNIT / 4, r.y(), r.width() - UNIT / 4, 2 * UNIT - 2).adjusted(0, 0, -1, -1));
                outline = outline.united(foot);
            }
            QPainter painter(&image);
            painter.setPen(EDGE);
            painter.setBrush(QColor(!has ? MISSING_KEY : legend.caps ? CAPS_KEY : KEY));
            painter.drawPath(outline);
        }
        if (!has)
            continue;
        const int bottom = r.bottom() - PAD - GLYPH_H * SCALE;
        if (legend.plain == CKeyboard::NO_CODE) {
            DrawText(image, r.x() + PAD, bottom, Word(ModifierName(place.scan)), SCALE, INK);
            continue;
        }
        if (legend.plain == legend.shift && legend.plain == legend.ctrl && legend.plain == legend.ctrlShift) {
            const std::vector<int> text = TextOf(legend.plain);
            DrawText(image, r.center().x() - TextWidth(text, SCALE) / 2, bottom, text, SCALE, INK);
            continue;
        }
        DrawText(image, r.x() + PAD, bottom, TextOf(legend.plain), SCALE, INK);
        if (legend.shift != legend.plain)
            DrawText(image, r.x() + PAD, r.y() + PAD, TextOf(legend.shift), SCALE, INK);
        const int right = r.right() - PAD;
        if (legend.ctrl != legend.plain) {
            const std::vector<int> text = ControlTextOf(legend.ctrl);
            DrawText(image, right - TextWidth(text, SCALE), bottom, text, SCALE, CTRL_INK);
        }
        if (legend.ctrlShift != legend.ctrl && legend.ctrlShift != legend.shift) {
            const std::vector<int> text = ControlTextOf(legend.ctrlShift);
            DrawText(image, right - TextWidth(text, SCALE), r.y() + PAD, text, SCALE, CTRL_INK);
        }
    }

    const int y = TOP + 5 * UNIT + MARGIN;
    DrawText(image, MARGIN, y, Word("Bottom left: the key alone. Top left: with Shift. In red: with Ctrl,"), SCALE,
             TITLE_INK);
    DrawText(image, MARGIN, y + GLYPH_H * SCALE + 4,
             Word("top right with Ctrl and Shift. On the yellow keys Caps Lock gives the Shift character."), SCALE,
             TITLE_INK);
    return image;
}
