#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "bus/CMemory.h"
#include "devices/CDisplay.h"
#include "host/CHostFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Start address of each text row, in row order.
constexpr std::uint16_t ROW_START[24] = {
    0x7C00, 0x7C80, 0x7D00, 0x7D80, 0x7E00, 0x7E80, 0x7F00, 0x7F80,
    0x7C28, 0x7CA8, 0x7D28, 0x7DA8, 0x7E28, 0x7EA8, 0x7F28, 0x7FA8,
    0x7C50, 0x7CD0, 0x7D50, 0x7DD0, 0x7E50, 0x7ED0, 0x7F50, 0x7FD0,
};

// A font in which every glyph names itself: line 0 holds the low six bits of its number,
// line 1 the top two, lines 2-8 a line-dependent pattern and line 9 is blank, so an inverted
// glyph is told apart by a full line 9.
Bytes SelfNamingFont()
{
    Bytes font(2560, 0);
    for (int g = 0; g < 256; ++g) {
        font[g * 10 + 0] = static_cast<std::uint8_t>((g & 0x3F) << 2);
        font[g * 10 + 1] = static_cast<std::uint8_t>((g >> 6) << 2);
        for (int l = 2; l < 9; ++l)
            font[g * 10 + l] = static_cast<std::uint8_t>(((g ^ (l * 0x25)) & 0x3F) << 2);
    }
    return font;
}

struct Cell {
    int glyph;  // -1 when the cell matches no glyph of the font
    bool inverted;
    bool operator==(const Cell&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Cell& c)
{
    return os << "{glyph " << c.glyph << (c.inverted ? ", inverted}" : "}");
}
Cell Text(int code, bool inverted = false) { return {code & 0x7F, inverted}; }
Cell Graphics(int code, bool inverted = false) { return {0x80 | (code & 0x7F), inverted}; }

struct Screen {
    std::unique_ptr<CMemory> memory = std::make_unique<CMemory>();
    std::unique_ptr<CDisplay> display = std::make_unique<CDisplay>(*memory);
    Bytes font;
    const std::uint8_t* image = nullptr;

    explicit Screen(Bytes fontBytes = SelfNamingFont()) : font(std::move(fontBytes))
    {
        TempFolder folder;
        folder.Write("font.bin", font);
        EXPECT_TRUE(display->Init());
        Fill(0x20);
    }
    void Fill(std::uint8_t value)
    {
        for (std::uint32_t a = 0x7C00; a < 0x8000; ++a)
            memory->WriteByte(a, value);
    }
    void Put(int row, int col, const Bytes& bytes)
    {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            memory->WriteByte(ROW_START[row] + static_cast<std::uint32_t>(col + static_cast<int>(i)), bytes[i]);
    }
    void Render() { image = display->Render(); }
    // Renders one frame in the plain phase (false) or the blinking phase (true).
    void RenderInPhase(bool blinking)
    {
        while ((((display->FrameCounter() + 1) & 8) != 0) != blinking)
            Render();
        Render();
    }
    // The six pixels of a cell's pixel line, read bit by bit from the image (MSB leftmost).
    std::uint8_t Pixels(int y, int col) const
    {
        std::uint8_t row = 0;
        for (int i = 0, x = col * 6; i < 6; ++i, ++x)
            row = static_cast<std::uint8_t>(row | (((image[y * 30 + x / 8] >> (7 - x % 8)) & 1) << (7 - i)));
        return row;
    }
    // Which glyph a cell shows, checked on all ten of its pixel lines.
    Cell At(int row, int col) const
    {
        const bool inverted = Pixels(row * 10 + 9, col) == 0xFC;
        const std::uint8_t flip = inverted ? 0xFC : 0x00;
        const int glyph = ((Pixels(row * 10, col) ^ flip) >> 2) | (((Pixels(row * 10 + 1, col) ^ flip) >> 2) << 6);
        for (int l = 0; l < 10; ++l)
            if (glyph > 255 || Pixels(row * 10 + l, col) != ((font[glyph * 10 + l] & 0xFC) ^ flip))
                return {-1, inverted};
        return {glyph, inverted};
    }
};

}  // namespace

TEST(Display, InitNeedsAFullFontFileAndIgnoresExtraBytes)
{
    CMemory memory;
    CDisplay display(memory);
    TempFolder folder;
    EXPECT_FALSE(display.Init()) << "no font.bin";
    for (std::size_t size : {0, 2559}) {
        folder.Write("font.bin", size, 0x00);
        EXPECT_FALSE(display.Init()) << size;
    }
    folder.Write("font.bin", 2560, 0x00);
    {
        CHostFile holder;  // someone else holds the file
        ASSERT_TRUE(holder.Open("font.bin", CHostFile::Mode::Read));
        EXPECT_FALSE(display.Init());
    }
    Bytes font(2560, 0x00);
    font.resize(4000, 0xFC);
    folder.Write("font.bin", font);
    EXPECT_TRUE(display.Init());
    const std::uint8_t* image = display.Render();
    EXPECT_EQ(Bytes(image, image + CDisplay::IMAGE_BYTES), Bytes(CDisplay::IMAGE_BYTES, 0x00));
    std::filesystem::remove(folder.File("font.bin"));
    std::filesystem::create_directory(folder.File("font.bin"));
    EXPECT_FALSE(display.Init()) << "a folder";
}

TEST(Display, SetSwitchesActFromTheNextCellAndResetEachRow)
{
    Screen screen;
    screen.Fill(0x00);
    screen.Put(0, 0, {0x41, 0x12, 0x41});
    screen.Put(1, 0, {0x41, 0x17, 0x41, 0x05, 0x41, 0x08, 0x41, 0x18, 0x41, 0x13, 0x01, 0x41, 0x21, 0x11, 0x61});
    screen.Put(2, 0, {0x41});
    screen.Render();
    const std::pair<int, Cell> expected[] = {
        {0, Text(0x41)}, {1, Text(0x12)}, {2, Graphics(0x41)}, {39, Graphics(0x00)},  // graphics to the row's end
        {40, Text(0x41)}, {41, Text(0x17)}, {42, Graphics(0x41)}, {43, Graphics(0x05)}, {44, Text(0x41)},
        {45, Text(0x08)}, {46, Text(0x41)}, {47, Text(0x18)}, {48, Text(0x41)},  // 0x08 and 0x18 switch nothing
        {49, Text(0x13)}, {50, Graphics(0x01)}, {51, Text(0x41)}, {52, Text(0x21)}, {53, Text(0x11)},
        {54, Graphics(0x61)}, {80, Text(0x41)},  // the next row starts in the text set again
    };
    for (const auto& [at, cell] : expected)
        EXPECT_EQ(screen.At(at / 40, at % 40), cell) << "row " << at / 40 << ", column " << at % 40;
}

TEST(Display, ExactlyTheSwitchCodesSwitchInBothBlinkPhases)
{
    Screen screen;
    for (bool blinking : {false, true}) {
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<std::uint8_t>(b);
            screen.Put(0, 0, {byte, 0x41});        // from the text set
            screen.Put(1, 0, {0x11, byte, 0x41});  // from the graphics set
            screen.RenderInPhase(blinking);
            const bool toGraphics = (b & 0x7F) >= 0x11 && (b & 0x7F) <= 0x17;
            const bool toText = (b & 0x7F) >= 0x01 && (b & 0x7F) <= 0x07;
            SCOPED_TRACE(std::to_string(b) + (blinking ? " blinking" : " plain"));
            EXPECT_EQ(screen.At(0, 1), toGraphics ? Graphics(0x41) : Text(0x41));
            EXPECT_EQ(screen.At(1, 2), toText ? Text(0x41) : Graphics(0x41));
        }
    }
}

TEST(Display, CellsArePackedFourIntoThreeBytes)
{
    // Glyph 1 fills its cell, glyph 2 has the outer pixels only, glyph 3 alternate pixels; 0x20
    // is blank. Codes 1 to 3 are text switches and so keep the text set.
    Bytes font(2560, 0x00);
    for (int l = 0; l < 10; ++l) {
        font[1 * 10 + l] = 0xFC;
        font[2 * 10 + l] = 0x84;
        font[3 * 10 + l] = 0xA8;
    }
    Screen screen(font);
    using Sets = std::vector<std::pair<int, std::uint8_t>>;
    const std::pair<Sets, Sets> rows[] = {  // {column, code} cells -> {index, byte} of pixel line 50
        {{{0, 1}}, {{0, 0xFC}}}, {{{1, 1}}, {{0, 0x03}, {1, 0xF0}}}, {{{2, 1}}, {{1, 0x0F}, {2, 0xC0}}},
        {{{3, 1}}, {{2, 0x3F}}}, {{{36, 1}}, {{27, 0xFC}}}, {{{39, 1}}, {{29, 0x3F}}},
        {{{0, 2}, {39, 2}}, {{0, 0x84}, {29, 0x21}}},
    };
    for (const auto& [cells, bytes] : rows) {
        Bytes row(40, 0x20), expected(30, 0x00);
        for (auto [c, code] : cells)
            row[static_cast<std::size_t>(c)] = code;
        for (auto [i, b] : bytes)
            expected[static_cast<std::size_t>(i)] = b;
        screen.Put(5, 0, row);
        screen.Render();
        EXPECT_EQ(Bytes(screen.image + 50 * 30, screen.image + 51 * 30), expected) << "cell " << cells[0].first;
    }
    screen.Put(5, 0, Bytes(40, 0x02));
    screen.Render();
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(screen.image[50 * 30 + i], (Bytes{0x86, 0x18, 0x61})[i % 3]) << i;
    screen.Put(5, 0, Bytes(40, 0x03));
    screen.Render();
    EXPECT_EQ(Bytes(screen.image + 50 * 30, screen.image + 60 * 30), Bytes(300, 0xAA)) << "all ten lines of row 5";
    EXPECT_EQ(screen.image[49 * 30 + 5] | screen.image[60 * 30 + 5], 0x00) << "the rows around stay blank";
}

TEST(Display, FontBitsOneAndZeroNeverShow)
{
    Screen screen(Bytes(2560, 0x03));
    screen.Render();
    EXPECT_EQ(Bytes(screen.image, screen.image + CDisplay::IMAGE_BYTES), Bytes(CDisplay::IMAGE_BYTES, 0x00));
    screen.Fill(0xA0);  // blinking space: fully inverted in the second phase
    screen.RenderInPhase(true);
    EXPECT_EQ(Bytes(screen.image, screen.image + CDisplay::IMAGE_BYTES), Bytes(CDisplay::IMAGE_BYTES, 0xFF));
}

TEST(Display, AnyByteShowsItsGlyphFromTheInterleavedRowsAndBitSevenBlinks)
{
    Screen screen;
    // Every byte value in the first 256 cells, random bytes elsewhere and in the unused block
    // tails, over two blink periods: plain for frames 1 to 7, inverted for 8 to 15.
    std::uint32_t seed = 12345;
    for (std::uint32_t a = 0x7C00; a < 0x8000; ++a) {
        seed = seed * 1103515245u + 12345u;
        screen.memory->WriteByte(a, static_cast<std::uint8_t>(seed >> 16));
    }
    for (int k = 0; k < 256; ++k)
        screen.Put(k / 40, k % 40, {static_cast<std::uint8_t>(k)});
    for (std::uint32_t frame = 1; frame <= 32; ++frame) {
        screen.Render();
        ASSERT_EQ(screen.display->FrameCounter(), frame);
        const bool blinking = (frame & 8) != 0;
        for (int r = 0; r < 24; ++r)
            for (int c = 0; c < 40; ++c) {
                const int b = screen.memory->ReadByte(ROW_START[r] + static_cast<std::uint32_t>(c));
                const Cell cell = screen.At(r, c);
                ASSERT_NE(cell.glyph, -1) << r << "," << c;
                ASSERT_EQ(cell.glyph & 0x7F, b & 0x7F) << r << "," << c;
                // Codes below 32, the switch codes among them, never invert.
                ASSERT_EQ(cell.inverted, blinking && (b & 0x80) && (b & 0x7F) >= 32) << r << "," << c << ", " << frame;
            }
    }
}

// Frames run but not shown (slices back to back in warp) move the blink phase as rendered ones do.
TEST(Display, SkippedFramesAdvanceTheBlinkPhaseAsRenderedOnes)
{
    Screen shown, skipped;
    for (Screen* s : {&shown, &skipped})
        s->Put(0, 0, {0xC1});  // a blinking A
    const std::pair<std::uint32_t, bool> steps[] = {{7, false}, {1, true}, {8, false}, {9, true}, {5, true}, {3, false}};
    for (const auto& [frames, blinking] : steps) {
        for (std::uint32_t i = 0; i < frames; ++i)
            shown.Render();
        skipped.display->SkipFrames(frames - 1);
        skipped.Render();
        ASSERT_EQ(skipped.display->FrameCounter(), shown.display->FrameCounter());
        EXPECT_EQ(shown.At(0, 0).inverted, blinking) << shown.display->FrameCounter();
        EXPECT_EQ(skipped.At(0, 0).inverted, blinking) << skipped.display->FrameCounter();
    }
}
