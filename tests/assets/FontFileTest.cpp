// The generated "font.bin": layout, the drawn text half and the computed graphics half.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Glyph = std::array<std::uint8_t, 10>;

std::vector<std::uint8_t> ReadRuntimeFile(const std::string& name)
{
    std::ifstream in(std::string(VORLIX_RUNTIME_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FontFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        font = ReadRuntimeFile("font.bin");
        ASSERT_EQ(font.size(), 2560u);
    }
    Glyph At(int glyph) const
    {
        Glyph g{};
        for (int row = 0; row < 10; ++row)
            g[static_cast<std::size_t>(row)] = font[static_cast<std::size_t>(glyph * 10 + row)];
        return g;
    }
    static bool Blank(const Glyph& g) { return g == Glyph{}; }

    std::vector<std::uint8_t> font;
};

TEST_F(FontFile, EveryByteKeepsTheTwoUnusedBitsClear)
{
    for (std::size_t i = 0; i < font.size(); ++i)
        ASSERT_EQ(font[i] & 0x03, 0) << "glyph " << i / 10 << " row " << i % 10;
}

TEST_F(FontFile, TextHalfIsDrawnForEveryPrintableCodeAndBlankForControls)
{
    for (int code = 0; code < 0x20; ++code) {
        EXPECT_TRUE(Blank(At(code))) << "text control " << code;
        EXPECT_TRUE(Blank(At(128 + code))) << "graphics control " << code;
    }
    EXPECT_TRUE(Blank(At(0x20)));
    for (int code = 0x21; code <= 0x7E; ++code) {
        Glyph g = At(code);
        EXPECT_FALSE(Blank(g)) << "code " << code;
        for (std::uint8_t row : g)
            EXPECT_EQ(row & 0x04, 0) << "code " << code << " touches its right neighbour";
    }
    // No two printable characters look alike.
    for (int a = 0x21; a <= 0x7F; ++a)
        for (int b = a + 1; b <= 0x7F; ++b)
            EXPECT_NE(At(a), At(b)) << a << " and " << b;
}

TEST_F(FontFile, NationalLettersCarryTheirMarksAndDescendersGoBelowTheLine)
{
    // Capitals: the mark stands on the top row, which plain capitals leave empty.
    for (int code : {0x40, 0x5B, 0x5C, 0x5D, 0x5E}) {
        EXPECT_NE(At(code)[0], 0) << code;
    }
    for (int code = 'A'; code <= 'Z'; ++code)
        EXPECT_EQ(At(code)[0], 0) << code;
    // Small letters: the mark stands above the x-height, where a plain 'a' is empty.
    for (int code : {0x60, 0x7B, 0x7C, 0x7D, 0x7E})
        EXPECT_NE(At(code)[1] | At(code)[2], 0) << code;
    EXPECT_EQ(At('a')[1] | At('a')[2], 0);
    for (int code = 'a'; code <= 'z'; ++code) {
        bool descends = (At(code)[8] | At(code)[9]) != 0;
        bool shouldDescend = std::string("gjpqy").find(static_cast<char>(code)) != std::string::npos;
        EXPECT_EQ(descends, shouldDescend) << static_cast<char>(code);
    }
}

TEST_F(FontFile, GraphicsHalfIsMosaicsExceptTheLetterColumns)
{
    constexpr std::uint8_t L = 0xE0, R = 0x1C, B = 0xFC;
    // Code, then its ten rows: three top, four middle, three bottom.
    const std::vector<std::pair<int, Glyph>> mosaics = {
        {0x20, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {0x21, {L, L, L, 0, 0, 0, 0, 0, 0, 0}},  // top left
        {0x22, {R, R, R, 0, 0, 0, 0, 0, 0, 0}},  // top right
        {0x24, {0, 0, 0, L, L, L, L, 0, 0, 0}},  // middle left
        {0x28, {0, 0, 0, R, R, R, R, 0, 0, 0}},  // middle right
        {0x30, {0, 0, 0, 0, 0, 0, 0, L, L, L}},  // bottom left
        {0x60, {0, 0, 0, 0, 0, 0, 0, R, R, R}},  // bottom right, from bit 6
        {0x35, {L, L, L, L, L, L, L, L, L, L}},  // left column
        {0x6A, {R, R, R, R, R, R, R, R, R, R}},  // right column
        {0x2C, {0, 0, 0, B, B, B, B, 0, 0, 0}},  // middle band
        {0x73, {B, B, B, 0, 0, 0, 0, B, B, B}},  // top and bottom bands
        {0x39, {L, L, L, R, R, R, R, L, L, L}},  // top left, middle right, bottom left
        {0x7F, {B, B, B, B, B, B, B, B, B, B}},
    };
    for (const auto& [code, rows] : mosaics)
        EXPECT_EQ(At(128 + code), rows) << "graphics code " << code;
    // Every mosaic code has each of its six cells lit exactly when its bit is set.
    for (int code = 0x20; code < 0x80; ++code) {
        if (code >= 0x40 && code < 0x60)
            continue;
        Glyph g = At(128 + code);
        EXPECT_EQ((g[0] & L) != 0, (code & 0x01) != 0) << code;
        EXPECT_EQ((g[2] & R) != 0, (code & 0x02) != 0) << code;
        EXPECT_EQ((g[3] & L) != 0, (code & 0x04) != 0) << code;
        EXPECT_EQ((g[6] & R) != 0, (code & 0x08) != 0) << code;
        EXPECT_EQ((g[7] & L) != 0, (code & 0x10) != 0) << code;
        EXPECT_EQ((g[9] & R) != 0, (code & 0x40) != 0) << code;
    }
    // The letter columns of the graphics half show the text glyphs.
    for (int code = 0x40; code < 0x60; ++code)
        EXPECT_EQ(At(128 + code), At(code)) << code;
}

}  // namespace
