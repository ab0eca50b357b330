// Text to key strokes on the target machine's layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CTypist.h"

namespace {

TEST(Typist, TypesEachCharacterOnItsKeyAndRefusesWhatCannotBeTypedOrIsBrokenUtf8)
{
    constexpr bool S = true, P = false;  // shifted, plain
    const std::pair<std::string, std::vector<KeyStroke>> typed[] = {
        {"PRINT 6*7\\n", {{0x19, S}, {0x13, S}, {0x17, S}, {0x31, S}, {0x14, S},
                          {0x39, P}, {0x07, P}, {0x2B, S}, {0x08, P}, {0x1C, P}}},
        // A real newline is Enter too; a backslash before anything else is itself.
        {"a\nb\\x", {{0x1E, P}, {0x1C, P}, {0x30, P}, {0x27, S}, {0x2D, P}}},
        {"!\"/=+?',;:_<>\b\t", {{0x02, S}, {0x03, S}, {0x08, S}, {0x0B, S}, {0x0C, P}, {0x0C, S}, {0x2B, P},
                                 {0x33, P}, {0x33, S}, {0x34, S}, {0x35, S}, {0x56, P}, {0x56, S}, {0x0E, P}, {0x4D, P}}},
        // National letters on their own keys, and the ASCII characters sharing their codes.
        {"\u00E9\u00C9@`", {{0x0D, P}, {0x0D, S}, {0x0D, S}, {0x0D, P}}},
        {"\u00E5\u00C5}]", {{0x1A, P}, {0x1A, S}, {0x1A, P}, {0x1A, S}}},
        {"\u00FC\u00DC~^", {{0x1B, P}, {0x1B, S}, {0x1B, P}, {0x1B, S}}},
        {"\u00F6\u00D6|\\", {{0x27, P}, {0x27, S}, {0x27, P}, {0x27, S}}},
        {"\u00E4\u00C4{[", {{0x28, P}, {0x28, S}, {0x28, P}, {0x28, S}}},
    };
    std::vector<KeyStroke> strokes;
    std::string error;
    for (const auto& [text, expected] : typed) {
        EXPECT_TRUE(CTypist::Plan(text, strokes, error)) << text << ": " << error;
        EXPECT_EQ(strokes, expected) << text;
    }
    for (int code = 0x20; code < 0x7F; ++code)
        EXPECT_TRUE(CTypist::StrokeFor(static_cast<std::uint8_t>(code)).has_value()) << code;

    const std::pair<std::string, std::string> refused[] = {
        {"ok\u20AC", "cannot type U+20AC at byte 2"},
        {"a\x7F", "cannot type U+007F at byte 1"},
        {std::string("x\0y", 3), "cannot type U+0000 at byte 1"},
        {"\xC3", "malformed UTF-8 at byte 0"},
        {"ab\xC3(", "malformed UTF-8 at byte 2"},
        {"\xC0\x80", "malformed UTF-8 at byte 0"},  // an overlong NUL
        {"\xC3\xA4\xFF", "malformed UTF-8 at byte 2"},
    };
    for (const auto& [text, message] : refused) {
        error.clear();
        EXPECT_FALSE(CTypist::Plan(text, strokes, error)) << message;
        EXPECT_EQ(error, message);
    }
}

}  // namespace
