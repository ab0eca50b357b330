#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "TempFolder.h"
#include "bus/CMemory.h"
#include "devices/CDisplay.h"
#include "host/CHostFile.h"

namespace {

// Start address of each text row, in row order.
constexpr std::uint16_t ROW_START[24] = {
    0x7C00, 0x7C80, 0x7D00, 0x7D80, 0x7E00, 0x7E80, 0x7F00, 0x7F80,
    0x7C28, 0x7CA8, 0x7D28, 0x7DA8, 0x7E28, 0x7EA8, 0x7F28, 0x7FA8,
    0x7C50, 0x7CD0, 0x7D50, 0x7DD0, 0x7E50, 0x7ED0, 0x7F50, 0x7FD0,
};

// A font in which every glyph names itself: line 0 holds the low six bits of its number,
// line 1 the top two, lines 2-8 a line-dependent pattern and line 9 is blank, so an inverted
// glyph is told apart by a full line 9.
std::vector<std::uint8_t> SelfNamingFont()
{
    std::vector<std::uint8_t> font(2560);
    for (int g = 0; g < 256; ++g) {
        font[g * 10 + 0] = static_cast<std::uint8_t>((g & 0x3F) << 2);
        font[g * 10 + 1] = static_cast<std::uint8_t>((g >> 6) << 2);
        for (int l = 2; l < 9; ++l)
            font[g * 10 + l] = static_cast<std::uint8_t>(((g ^ (l * 0x25)) & 0x3F) << 2);
        font[g * 10 + 9] = 0;
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

// The six pixels of a cell's pixel row, read bit by bit from the image (MSB leftmost).
std::uint8_t CellPixels(const std::uint8_t* image, int y, int col)
{
    std::uint8_t row = 0;
    for (int i = 0; i < 6; ++i) {
        const int x = col * 6 + i;
        const int bit = (image[y * 30 + x / 8] >> (7 - x % 8)) & 1;
        row = static_cast<std::uint8_t>(row | (bit << (7 - i)));
    }
    return row;
}

struct Screen {
    std::unique_ptr<CMemory> memory = std::make_unique<CMemory>();
    std::unique_ptr<CDisplay> display = std::make_unique<CDisplay>(*memory);
    std::vector<std::uint8_t> font;
    const std::uint8_t* image = nullptr;

    explicit Screen(std::vector<std::uint8_t> fontBytes = SelfNamingFont()) : font(std::move(fontBytes))
    {
        TempFolder folder;
        folder.Write("font.bin", font);
        EXPECT_TRUE(display->Init());
        Fill(0x20);
    }

    void Fill(std::uint8_t value)
    {
        for (int a = 0x7C00; a < 0x8000; ++a)
            memory->WriteByte(static_cast<std::uint32_t>(a), value);
    }
    void Put(int row, int col, const std::vector<std::uint8_t>& bytes)
    {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            memory->WriteByte(ROW_START[row] + static_cast<std::uint32_t>(col) + static_cast<std::uint32_t>(i), bytes[i]);
    }
    void Render() { image = display->Render(); }
    // Renders until the frame counter has reached the given value.
    void RenderTo(std::uint32_t frame)
    {
        while (display->FrameCounter() < frame)
            Render();
    }
    // Renders one frame in the plain phase (false) or the blinking phase (true).
    void RenderInPhase(bool blinking)
    {
        while ((((display->FrameCounter() + 1) & 8) != 0) != blinking)
            Render();
        Render();
    }

    // Which glyph a cell shows, checked on all ten of its pixel lines.
    Cell At(int row, int col) const
    {
        const bool inverted = CellPixels(image, row * 10 + 9, col) == 0xFC;
        const std::uint8_t flip = inverted ? 0xFC : 0x00;
        const int glyph = ((CellPixels(image, row * 10, col) ^ flip) >> 2) |
                          (((CellPixels(image, row * 10 + 1, col) ^ flip) >> 2) << 6);
        if (glyph > 255)
            return {-1, inverted};
        for (int l = 0; l < 10; ++l)
            if (CellPixels(image, row * 10 + l, col) != ((font[glyph * 10 + l] & 0xFC) ^ flip))
                return {-1, inverted};
        return {glyph, inverted};
    }
};

}  // namespace

TEST(Display, InitNeedsAFullFontFile)
{
    CMemory memory;
    CDisplay display(memory);
    {
        TempFolder folder;
        EXPECT_FALSE(display.Init());  // no font.bin
        folder.Write("font.bin", 2559, 0x00);
        EXPECT_FALSE(display.Init());
        folder.Write("font.bin", {});
        EXPECT_FALSE(display.Init());
        std::filesystem::remove(folder.File("font.bin"));
        std::filesystem::create_directory(folder.File("font.bin"));
        EXPECT_FALSE(display.Init());
    }
    {
        TempFolder folder;
        folder.Write("font.bin", 2560, 0x00);
        CHostFile holder;  // someone else holds the file
        ASSERT_TRUE(holder.Open("font.bin", CHostFile::Mode::Read));
        EXPECT_FALSE(display.Init());
        holder.Close();
        EXPECT_TRUE(display.Init());
    }
}

TEST(Display, ExtraFontBytesAreIgnored)
{
    std::vector<std::uint8_t> longFont = SelfNamingFont();
    longFont.resize(4000, 0xFC);
    Screen screen(longFont);
    screen.Put(0, 0, {0x7F});
    screen.Put(1, 0, {0x11, 0x7F});
    screen.Render();
    EXPECT_EQ(screen.At(0, 0), Text(0x7F));
    EXPECT_EQ(screen.At(1, 1), Graphics(0x7F));
    EXPECT_EQ(screen.display->FrameCounter(), 1u);
}

TEST(Display, SpacesFillTheScreenWithGlyph32)
{
    Screen screen;
    screen.Render();
    for (int r = 0; r < 24; ++r)
        for (int c = 0; c < 40; ++c)
            ASSERT_EQ(screen.At(r, c), Text(0x20)) << r << "," << c;
}

TEST(Display, RowsAreInterleavedAndBlockTailsNeverShow)
{
    Screen screen;
    // Every unused block tail holds 0x7F, which no displayed cell below uses.
    screen.Fill(0x7F);
    for (int r = 0; r < 24; ++r) {
        std::vector<std::uint8_t> row;
        for (int c = 0; c < 40; ++c)
            row.push_back(static_cast<std::uint8_t>(0x20 + (r * 3 + c) % 95));
        screen.Put(r, 0, row);
    }
    screen.Render();
    for (int r = 0; r < 24; ++r)
        for (int c = 0; c < 40; ++c)
            ASSERT_EQ(screen.At(r, c), Text(0x20 + (r * 3 + c) % 95)) << r << "," << c;
}

TEST(Display, SetSwitchesActFromTheNextCellAndResetEachRow)
{
    Screen screen;
    screen.Fill(0x00);
    screen.Put(0, 0, {0x41, 0x12, 0x41});
    screen.Put(1, 0, {0x41, 0x17, 0x41, 0x05, 0x41, 0x08, 0x41, 0x18, 0x41, 0x13, 0x01, 0x41, 0x21, 0x11, 0x61});
    screen.Put(2, 0, {0x41});
    screen.Render();

    EXPECT_EQ(screen.At(0, 0), Text(0x41));
    EXPECT_EQ(screen.At(0, 1), Text(0x12));
    EXPECT_EQ(screen.At(0, 2), Graphics(0x41));  // glyph 193
    EXPECT_EQ(screen.At(0, 2).glyph, 193);
    EXPECT_EQ(screen.At(0, 39), Graphics(0x00));  // stays graphics to the end of the row

    const Cell row1[] = {
        Text(0x41), Text(0x17), Graphics(0x41), Graphics(0x05), Text(0x41),
        Text(0x08), Text(0x41),  // 0x08 switches nothing
        Text(0x18), Text(0x41),  // nor does 0x18
        Text(0x13), Graphics(0x01), Text(0x41), Text(0x21),
        Text(0x11), Graphics(0x61),
    };
    for (int c = 0; c < 15; ++c)
        EXPECT_EQ(screen.At(1, c), row1[c]) << "column " << c;
    EXPECT_EQ(screen.At(2, 0), Text(0x41));  // the next row starts in the text set again
}

TEST(Display, ExactlyTheSwitchCodesSwitchInBothBlinkPhases)
{
    Screen screen;
    for (bool blinkPhase : {false, true}) {
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<std::uint8_t>(b);
            screen.Put(0, 0, {byte, 0x41});        // from the text set
            screen.Put(1, 0, {0x11, byte, 0x41});  // from the graphics set
            screen.RenderInPhase(blinkPhase);
            const int low = b & 0x7F;
            const bool toGraphics = low >= 0x11 && low <= 0x17;
            const bool toText = low >= 0x01 && low <= 0x07;
            EXPECT_EQ(screen.At(0, 1), toGraphics ? Graphics(0x41) : Text(0x41)) << b << " " << blinkPhase;
            EXPECT_EQ(screen.At(1, 2), toText ? Text(0x41) : Graphics(0x41)) << b << " " << blinkPhase;
            // Switch codes themselves are never drawn inverted.
            if (toGraphics || toText) {
                EXPECT_FALSE(screen.At(0, 0).inverted) << b;
                EXPECT_FALSE(screen.At(1, 1).inverted) << b;
            }
        }
    }
}

TEST(Display, BitSevenBlinksPlainForSevenFramesThenInvertedForEight)
{
    Screen screen;
    screen.Put(0, 0, {0xC1, 0x81, 0x41, 0x9F, 0xA0});
    screen.Put(1, 0, {0x11, 0xC1, 0x81, 0xC1});
    for (std::uint32_t frame = 1; frame <= 40; ++frame) {
        screen.Render();
        ASSERT_EQ(screen.display->FrameCounter(), frame);
        const bool inverted = (frame % 16) >= 8;
        EXPECT_EQ(screen.At(0, 0), Text(0x41, inverted)) << frame;
        EXPECT_EQ(screen.At(0, 1), Text(0x01)) << frame;  // a switch code, never inverted
        EXPECT_EQ(screen.At(0, 2), Text(0x41)) << frame;
        EXPECT_EQ(screen.At(0, 3), Text(0x1F)) << frame;  // codes below 32 do not invert
        EXPECT_EQ(screen.At(0, 4), Text(0x20, inverted)) << frame;
        EXPECT_EQ(screen.At(1, 1), Graphics(0x41, inverted)) << frame;
        EXPECT_EQ(screen.At(1, 2), Graphics(0x01)) << frame;  // 0x81 switches back to text
        EXPECT_EQ(screen.At(1, 3), Text(0x41, inverted)) << frame;
    }
}

TEST(Display, CellsArePackedFourIntoThreeBytes)
{
    // Glyph 1 fills its cell, glyph 2 has the outer pixels only, glyph 3 alternate pixels.
    std::vector<std::uint8_t> font(2560, 0x00);
    for (int l = 0; l < 10; ++l) {
        font[1 * 10 + l] = 0xFC;
        font[2 * 10 + l] = 0x84;
        font[3 * 10 + l] = 0xA8;
    }
    Screen screen(font);
    auto row = [&](std::vector<std::uint8_t> cells) {
        screen.Fill(0x20);
        screen.Put(5, 0, cells);
        screen.Render();
        return std::vector<std::uint8_t>(screen.image + 50 * 30, screen.image + 51 * 30);
    };
    auto bytes = [](std::initializer_list<std::pair<int, std::uint8_t>> set) {
        std::vector<std::uint8_t> v(30, 0x00);
        for (auto [i, b] : set)
            v[static_cast<std::size_t>(i)] = b;
        return v;
    };
    // 0x20 is blank in this font. Codes 1 to 3 are text switches and so keep the text set.
    std::vector<std::uint8_t> blank(40, 0x20);
    auto with = [&](std::initializer_list<std::pair<int, std::uint8_t>> cells) {
        std::vector<std::uint8_t> v = blank;
        for (auto [c, b] : cells)
            v[static_cast<std::size_t>(c)] = b;
        return v;
    };
    EXPECT_EQ(row(with({{0, 0x01}})), bytes({{0, 0xFC}}));
    EXPECT_EQ(row(with({{1, 0x01}})), bytes({{0, 0x03}, {1, 0xF0}}));
    EXPECT_EQ(row(with({{2, 0x01}})), bytes({{1, 0x0F}, {2, 0xC0}}));
    EXPECT_EQ(row(with({{3, 0x01}})), bytes({{2, 0x3F}}));
    EXPECT_EQ(row(with({{36, 0x01}})), bytes({{27, 0xFC}}));
    EXPECT_EQ(row(with({{39, 0x01}})), bytes({{29, 0x3F}}));
    EXPECT_EQ(row(with({{0, 0x02}, {39, 0x02}})), bytes({{0, 0x84}, {29, 0x21}}));
    EXPECT_EQ(row(std::vector<std::uint8_t>(40, 0x02)), std::vector<std::uint8_t>({
        0x86, 0x18, 0x61, 0x86, 0x18, 0x61, 0x86, 0x18, 0x61, 0x86, 0x18, 0x61, 0x86, 0x18, 0x61,
        0x86, 0x18, 0x61, 0x86, 0x18, 0x61, 0x86, 0x18, 0x61, 0x86, 0x18, 0x61, 0x86, 0x18, 0x61}));
    EXPECT_EQ(row(std::vector<std::uint8_t>(40, 0x03)), std::vector<std::uint8_t>(30, 0xAA));
    // Pixel row 50 is line 0 of text row 5; the rows above and below stay blank.
    EXPECT_EQ(screen.image[49 * 30], 0x00);
    EXPECT_EQ(screen.image[60 * 30], 0x00);
    EXPECT_EQ(screen.image[59 * 30], 0xAA);
}

TEST(Display, FontBitsOneAndZeroNeverShow)
{
    Screen screen(std::vector<std::uint8_t>(2560, 0x03));
    screen.Render();
    for (int i = 0; i < CDisplay::IMAGE_BYTES; ++i)
        ASSERT_EQ(screen.image[i], 0x00) << i;
    screen.Fill(0xA0);  // blinking space: fully inverted in the second phase
    screen.RenderTo(8);
    for (int i = 0; i < CDisplay::IMAGE_BYTES; ++i)
        ASSERT_EQ(screen.image[i], 0xFF) << i;
}

TEST(Display, AnyVideoByteShowsAGlyphOfTheFont)
{
    Screen screen;
    // Every byte value in every column position, over both blink phases.
    std::uint32_t seed = 12345;
    for (int a = 0x7C00; a < 0x8000; ++a) {
        seed = seed * 1103515245u + 12345u;
        screen.memory->WriteByte(static_cast<std::uint32_t>(a), static_cast<std::uint8_t>(seed >> 16));
    }
    for (int k = 0; k < 256; ++k)
        screen.memory->WriteByte(ROW_START[k / 40 % 24] + static_cast<std::uint32_t>(k % 40), static_cast<std::uint8_t>(k));
    for (std::uint32_t frame = 1; frame <= 16; ++frame) {
        screen.Render();
        const bool blinkPhase = (frame & 8) != 0;  // frames 8 to 15
        for (int r = 0; r < 24; ++r)
            for (int c = 0; c < 40; ++c) {
                const int b = screen.memory->ReadByte(ROW_START[r] + static_cast<std::uint32_t>(c));
                const Cell cell = screen.At(r, c);
                ASSERT_NE(cell.glyph, -1) << r << "," << c;
                EXPECT_EQ(cell.glyph & 0x7F, b & 0x7F) << r << "," << c;
                EXPECT_EQ(cell.inverted, blinkPhase && (b & 0x80) && (b & 0x7F) >= 32) << r << "," << c;
            }
    }
}
