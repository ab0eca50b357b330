#include "core/CTypist.h"

#include <cstdio>

namespace {

// Each key of the machine's layout that gives a character: scan code, plain and shifted code.
struct KeyCodes {
    std::uint8_t scan;
    std::uint8_t plain;
    std::uint8_t shifted;
};

constexpr KeyCodes KEYS[] = {
    {0x02, '1', '!'}, {0x03, '2', '"'}, {0x04, '3', '#'}, {0x05, '4', '$'}, {0x06, '5', '%'},
    {0x07, '6', '&'}, {0x08, '7', '/'}, {0x09, '8', '('}, {0x0A, '9', ')'}, {0x0B, '0', '='},
    {0x0C, '+', '?'}, {0x0D, 0x60, 0x40}, {0x0E, 0x08, 0x08},
    {0x10, 'q', 'Q'}, {0x11, 'w', 'W'}, {0x12, 'e', 'E'}, {0x13, 'r', 'R'}, {0x14, 't', 'T'},
    {0x15, 'y', 'Y'}, {0x16, 'u', 'U'}, {0x17, 'i', 'I'}, {0x18, 'o', 'O'}, {0x19, 'p', 'P'},
    {0x1A, 0x7D, 0x5D}, {0x1B, 0x7E, 0x5E}, {0x1C, 0x0D, 0x0D},
    {0x1E, 'a', 'A'}, {0x1F, 's', 'S'}, {0x20, 'd', 'D'}, {0x21, 'f', 'F'}, {0x22, 'g', 'G'},
    {0x23, 'h', 'H'}, {0x24, 'j', 'J'}, {0x25, 'k', 'K'}, {0x26, 'l', 'L'},
    {0x27, 0x7C, 0x5C}, {0x28, 0x7B, 0x5B}, {0x2B, '\'', '*'},
    {0x2C, 'z', 'Z'}, {0x2D, 'x', 'X'}, {0x2E, 'c', 'C'}, {0x2F, 'v', 'V'}, {0x30, 'b', 'B'},
    {0x31, 'n', 'N'}, {0x32, 'm', 'M'}, {0x33, ',', ';'}, {0x34, '.', ':'}, {0x35, '-', '_'},
    {0x39, ' ', ' '}, {0x4D, 0x09, 0x09}, {0x56, '<', '>'},
};

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
    for (const KeyCodes& key : KEYS) {
        if (key.plain == code)
            return KeyStroke{key.scan, false};
        if (key.shifted == code)
            return KeyStroke{key.scan, true};
    }
    return std::nullopt;
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
