// The character set: its drawn source refuses faulty edits, and the generated "font.bin"
// holds the drawn text half and the computed graphics half.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "assets/CFontSheet.h"

namespace {

using Glyph = CFontSheet::Glyph;

std::string ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FontSheet, ShippedSourceParsesAndFaultyEditsAreRefusedWithTheirFault)
{
    const std::string good = ReadFile(VORLIX_FONT_SOURCE);
    auto parse = [](const std::string& text, std::string& error) {
        CFontSheet sheet;
        std::istringstream in(text);
        return sheet.Parse(in, error) ? sheet.Get('H') : Glyph{};
    };
    std::string error;
    // 'H': two uprights joined on the middle row.
    EXPECT_EQ(parse(good, error), (Glyph{0x00, 0x88, 0x88, 0x88, 0xF8, 0x88, 0x88, 0x88, 0x00, 0x00})) << error;

    const std::string header = "glyph 48 H\n", firstRows = header + "......\n#...#.";
    auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const auto line = [&](int below) {
        return "line " + std::to_string(std::count(good.begin(), good.begin() + long(good.find(header)), '\n') + 1 + below);
    };
    const std::pair<std::string, std::string> cases[] = {
        {edited(header, "glyph 49 H\n"), "glyph 49 drawn twice"},
        {edited(firstRows, header + "......\n#...##"), line(2) + ": a row is six of '#' and '.', the last one '.'"},
        {edited(firstRows, header + "......\n#...#.."), line(2) + ": a row is six of"},
        {edited(firstRows, header + "......\n#..x#."), line(2) + ": a row is six of"},
        {edited(header, "glyph 1F H\n"), "glyph 31 is a control code and must stay blank"},
        {edited(header, "glyph 80 H\n"), line(0) + ": glyph code must be 00 to 7F"},
        {edited(header, "glyph 4 H\n"), line(0) + ": expected \"glyph HH\""},
        {edited(header + good.substr(good.find(header) + header.size(), 70), ""), "glyph 48 is not drawn"},
        {good.substr(0, good.rfind("#####.")), "the last glyph has fewer than ten rows"},
    };
    for (const auto& [text, message] : cases) {
        error.clear();
        EXPECT_EQ(parse(text, error), Glyph{}) << message;
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
}

const std::string FONT = ReadFile(VORLIX_RUNTIME_DIR "/font.bin");

Glyph At(int glyph)
{
    Glyph g{};
    if (FONT.size() == 2560)
        std::copy_n(FONT.begin() + glyph * 10, 10, g.begin());
    return g;
}

TEST(FontFile, TextHalfIsDrawnInItsCellForEveryPrintableCodeWithMarksAndDescenders)
{
    ASSERT_EQ(FONT.size(), 2560u);
    for (std::size_t i = 0; i < FONT.size(); ++i)
        ASSERT_EQ(FONT[i] & 0x03, 0) << "glyph " << i / 10 << " row " << i % 10;
    for (int code = 0; code < 0x7F; ++code) {
        EXPECT_EQ(At(code) != Glyph{}, code > 0x20) << "text code " << code;
        for (std::uint8_t row : At(code))
            EXPECT_EQ(row & 0x04, 0) << "code " << code << " touches its right neighbour";
    }
    // No two printable characters look alike.
    for (int a = 0x21; a <= 0x7F; ++a)
        for (int b = a + 1; b <= 0x7F; ++b)
            EXPECT_NE(At(a), At(b)) << a << " and " << b;
    // Marks stand on the top row of capitals, which plain capitals leave empty, and above
    // the x-height of small letters, where a plain 'a' is empty.
    for (int code : {0x40, 0x5B, 0x5C, 0x5D, 0x5E})
        EXPECT_NE(At(code)[0], 0) << code;
    for (int code = 'A'; code <= 'Z'; ++code)
        EXPECT_EQ(At(code)[0], 0) << code;
    for (int code : {0x60, 0x7B, 0x7C, 0x7D, 0x7E})
        EXPECT_NE(At(code)[1] | At(code)[2], 0) << code;
    EXPECT_EQ(At('a')[1] | At('a')[2], 0);
    for (int code = 'a'; code <= 'z'; ++code)
        EXPECT_EQ((At(code)[8] | At(code)[9]) != 0, std::string("gjpqy").find(char(code)) != std::string::npos)
            << char(code) << " descends";
}

TEST(FontFile, GraphicsHalfIsMosaicsExceptTheLetterColumns)
{
    ASSERT_EQ(FONT.size(), 2560u);
    constexpr std::uint8_t L = 0xE0, R = 0x1C, B = 0xFC;
    // Code, then its ten rows: three top, four middle, three bottom.
    const std::pair<int, Glyph> mosaics[] = {
        {0x21, {L, L, L, 0, 0, 0, 0, 0, 0, 0}},  // top left
        {0x22, {R, R, R, 0, 0, 0, 0, 0, 0, 0}},  // top right
        {0x24, {0, 0, 0, L, L, L, L, 0, 0, 0}},  // middle left
        {0x28, {0, 0, 0, R, R, R, R, 0, 0, 0}},  // middle right
        {0x30, {0, 0, 0, 0, 0, 0, 0, L, L, L}},  // bottom left
        {0x60, {0, 0, 0, 0, 0, 0, 0, R, R, R}},  // bottom right, from bit 6
        {0x7F, {B, B, B, B, B, B, B, B, B, B}},
    };
    for (const auto& [code, rows] : mosaics)
        EXPECT_EQ(At(128 + code), rows) << "graphics code " << code;
    // Every other code: controls and 0x20 blank, letter columns as the text glyphs, and each mosaic
    // cell lit exactly when its bit is set (the bit, a row of the cell's band, its pixels).
    const std::array<int, 3> cells[] = {{0x01, 0, L}, {0x02, 2, R}, {0x04, 3, L}, {0x08, 6, R}, {0x10, 7, L}, {0x40, 9, R}};
    for (int code = 0; code < 0x80; ++code) {
        Glyph g = At(128 + code);
        if (code <= 0x20 || (code >= 0x40 && code < 0x60))
            EXPECT_EQ(g, code <= 0x20 ? Glyph{} : At(code)) << "graphics code " << code;
        else
            for (const auto& [bit, row, pixels] : cells)
                EXPECT_EQ((g[std::size_t(row)] & pixels) != 0, (code & bit) != 0) << code << " bit " << bit;
    }
}

}  // namespace
