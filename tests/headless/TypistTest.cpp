// Text to key strokes on the target machine's layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CTypist.h"

namespace {

std::vector<KeyStroke> Strokes(const std::string& text)
{
    std::vector<KeyStroke> strokes;
    std::string error;
    EXPECT_TRUE(CTypist::Plan(text, strokes, error)) << error;
    return strokes;
}

TEST(Typist, TypesABasicLineWithShiftWhereTheLayoutNeedsIt)
{
    const std::vector<KeyStroke> expected = {
        {0x19, true}, {0x13, true}, {0x17, true}, {0x31, true}, {0x14, true},  // PRINT
        {0x39, false}, {0x07, false}, {0x2B, true}, {0x08, false},            // " 6*7"
        {0x1C, false}};                                                       // Enter
    EXPECT_EQ(Strokes("PRINT 6*7\\n"), expected);
    // A real newline is Enter too; a backslash before anything else is itself.
    EXPECT_EQ(Strokes("a\nb"), (std::vector<KeyStroke>{{0x1E, false}, {0x1C, false}, {0x30, false}}));
    EXPECT_EQ(Strokes("\\x"), (std::vector<KeyStroke>{{0x27, true}, {0x2D, false}}));
}

TEST(Typist, EveryCharacterTheLayoutHasIsTypedOnItsKey)
{
    // Code, scan code, shift: the symbol row, the keys right of the letters, national letters.
    struct Row {
        const char* text;
        KeyStroke stroke;
    };
    const Row rows[] = {
        {"1", {0x02, false}}, {"!", {0x02, true}}, {"\"", {0x03, true}}, {"/", {0x08, true}},
        {"=", {0x0B, true}}, {"+", {0x0C, false}}, {"?", {0x0C, true}}, {"'", {0x2B, false}},
        {",", {0x33, false}}, {";", {0x33, true}}, {".", {0x34, false}}, {":", {0x34, true}},
        {"-", {0x35, false}}, {"_", {0x35, true}}, {"<", {0x56, false}}, {">", {0x56, true}},
        {"\u00E9", {0x0D, false}}, {"\u00C9", {0x0D, true}}, {"@", {0x0D, true}}, {"`", {0x0D, false}},
        {"\u00E5", {0x1A, false}}, {"\u00C5", {0x1A, true}}, {"}", {0x1A, false}}, {"]", {0x1A, true}},
        {"\u00FC", {0x1B, false}}, {"\u00DC", {0x1B, true}}, {"~", {0x1B, false}}, {"^", {0x1B, true}},
        {"\u00F6", {0x27, false}}, {"\u00D6", {0x27, true}}, {"|", {0x27, false}}, {"\\", {0x27, true}},
        {"\u00E4", {0x28, false}}, {"\u00C4", {0x28, true}}, {"{", {0x28, false}}, {"[", {0x28, true}},
        {"\b", {0x0E, false}}, {"\t", {0x4D, false}}, {"z", {0x2C, false}}, {"M", {0x32, true}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Strokes(row.text), std::vector<KeyStroke>{row.stroke}) << row.text;
    // All printable codes have a key.
    for (int code = 0x20; code < 0x7F; ++code)
        EXPECT_TRUE(CTypist::StrokeFor(static_cast<std::uint8_t>(code)).has_value()) << code;
}

TEST(Typist, RefusesWhatCannotBeTypedAndBrokenUtf8)
{
    const std::pair<std::string, std::string> cases[] = {
        {"ok\u20AC", "cannot type U+20AC at byte 2"},
        {"\u00DF", "cannot type U+00DF at byte 0"},
        {"a\x7F", "cannot type U+007F at byte 1"},
        {"\xC3", "malformed UTF-8 at byte 0"},
        {"ab\xC3(", "malformed UTF-8 at byte 2"},
        {"\xC0\x80", "malformed UTF-8 at byte 0"},  // an overlong NUL
        {"\xC3\xA4\xFF", "malformed UTF-8 at byte 2"},
        {std::string("x\0y", 3), "cannot type U+0000 at byte 1"},
    };
    for (const auto& [text, message] : cases) {
        std::vector<KeyStroke> strokes;
        std::string error;
        EXPECT_FALSE(CTypist::Plan(text, strokes, error)) << message;
        EXPECT_EQ(error, message);
    }
}

}  // namespace
