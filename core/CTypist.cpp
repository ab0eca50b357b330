#include "core/CTypist.h"

#include <array>
#include <cstdio>

#include "devices/CKeyboard.h"

namespace {

struct NationalLetter {
    char32_t ch;
    std::uint8_t code;
};

constexpr NationalLetter NATIONAL[] = {
    {U'\u00C9', 0x40}, {U'\u00C4', 0x5B}, {U'\u00D6', 0x5C}, {U'\u00C5', 0x5D}, {U'\u00DC', 0x5E},
    {U'\u00E9', 0x60}, {U'\u00E4', 0x7B}, {U'\u00F6', 0x7C}, {U'\u00E5', 0x7D}, {U'\u00FC', 0x7E},
};

std::string Describe(char32_t ch)
{
    char text[32];
    if (ch >= 0x21 && ch < 0x7F)
        std::snprintf(text, sizeof text, "'%c'", static_cast<char>(ch));
    else
        std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(ch));
    return text;
}

}  // namespace

std::optional<KeyStroke> CTypist::StrokeFor(std::uint8_t code)
{
    // The translator's own layout, searched once in scan-code order: plain before shifted on
    // each key, Backspace before the left arrow that shares its code; the first key wins.
    static const std::array<std::optional<KeyStroke>, 256> strokes = [] {
        std::array<std::optional<KeyStroke>, 256> table{};
        for (int scan = CKeyboard::SCAN_CODES - 1; scan >= 0; --scan) {
            const std::uint8_t p = CKeyboard::PositionOf(static_cast<std::uint8_t>(scan));
            if (p == 0)
                continue;
            for (const bool shift : {true, false})
                table[CKeyboard::CodeOf(p, shift, false)] = KeyStroke{static_cast<std::uint8_t>(scan), shift};
        }
        table[CKeyboard::NO_CODE].reset();
        return table;
    }();
    return strokes[code];
}

std::optional<std::uint8_t> CTypist::CodeFor(char32_t ch)
{
    if (ch == U'\n' || ch == U'\r')
        return CODE_ENTER;
    if (ch == U'\b' || ch == U'\t' || (ch >= 0x20 && ch < 0x7F))
        return static_cast<std::uint8_t>(ch);
    for (const NationalLetter& n : NATIONAL)
        if (n.ch == ch)
            return n.code;
    return std::nullopt;
}

bool CTypist::NextChar(std::string_view text, std::size_t& at, char32_t& ch)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || at + static_cast<std::size_t>(extra) >= text.size())
        return false;
    static constexpr unsigned char LEAD_MASK[4] = {0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = lead & LEAD_MASK[extra];
    for (int i = 1; i <= extra; ++i) {
        unsigned char next = byte(at + static_cast<std::size_t>(i));
        if ((next & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms would let one character pass for another.
    static constexpr char32_t SMALLEST[4] = {0, 0x80, 0x800, 0x10000};
    if (value < SMALLEST[extra] || value > 0x10FFFF)
        return false;
    at += static_cast<std::size_t>(extra) + 1;
    ch = value;
    return true;
}

bool CTypist::Plan(std::string_view text, std::vector<KeyStroke>& strokes, std::string& error)
{
    strokes.clear();
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '\\' && at + 1 < text.size() && text[at + 1] == 'n') {
            strokes.push_back(*StrokeFor(CODE_ENTER));
            at += 2;
            continue;
        }
        std::size_t start = at;
        char32_t ch = 0;
        if (!NextChar(text, at, ch)) {
            error = "malformed UTF-8 at byte " + std::to_string(start);
            return false;
        }
        std::optional<std::uint8_t> code = CodeFor(ch);
        std::optional<KeyStroke> stroke = code ? StrokeFor(*code) : std::nullopt;
        if (!stroke) {
            error = "cannot type " + Describe(ch) + " at byte " + std::to_string(start);
            return false;
        }
        strokes.push_back(*stroke);
    }
    return true;
}
