// Reading the screen as text from video memory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bus/CMemory.h"
#include "core/CScreenText.h"

namespace {

void Put(CMemory& memory, std::uint16_t address, const std::vector<std::uint8_t>& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i)
        memory.WriteByte(static_cast<std::uint32_t>(address + i), bytes[i]);
}

TEST(ScreenText, RowsAreInterleavedInBlocksOf128Bytes)
{
    auto memory = std::make_unique<CMemory>();
    for (std::uint32_t a = 0x7C00; a < 0x8000; ++a)
        memory->WriteByte(a, ' ');
    // The last eight bytes of each block are never shown.
    for (int block = 0; block < 8; ++block)
        Put(*memory, static_cast<std::uint16_t>(0x7C00 + block * 128 + 120), std::vector<std::uint8_t>(8, 'X'));
    Put(*memory, 0x7C28, {'R', '8'});
    Put(*memory, 0x7FD0 + 38, {'Z', 'z'});
    std::vector<std::string> screen = CScreenText::Screen(*memory);
    ASSERT_EQ(screen.size(), 24u);
    for (int row = 0; row < 24; ++row) {
        std::string expected(40, ' ');
        if (row == 8)
            expected.replace(0, 2, "R8");
        if (row == 23)
            expected.replace(38, 2, "Zz");
        EXPECT_EQ(screen[static_cast<std::size_t>(row)], expected) << row;
    }
}

TEST(ScreenText, FollowsSetSwitchesAndShowsNationalLettersAndBlinkingCellsPlainly)
{
    auto memory = std::make_unique<CMemory>();
    Put(*memory, 0x7C00, {
        'A', 0x12, 0x41, 0x7F, 0x20, 0x60, 0x35,  // text, to graphics: a letter, mosaics, the empty one
        0x81, 0xC1, 0x7F, 0x5B, 0x7E, 0x40,       // blinking switch back to text, blinking 'A'
        0x08, 0x18, 0x21, 0x97, 0xA1, 0x13, 0x0F, // 0x08 and 0x18 switch nothing; 0x97 does
        0xE1, 0x16, 0xDD, 0x00, 0x7D, 0x5C, 0x5D, 0x5E, 0x60, 0x7B, 0x7C, 0x05,
        '\\', '[', '@', '{', '~', 0x1F, 0x7F, 0x14});
    // The next row starts in the text set again, whatever the row above ended in.
    Put(*memory, 0x7C80, {0x21, 0x61});
    std::vector<std::string> screen = CScreenText::Screen(*memory);
    EXPECT_EQ(screen[0],
              "A A\u2592 \u2592\u2592"
              " A\u2588\u00C4\u00FC\u00C9"
              "  ! \u2592  "
              "\u2592 \u00C5 \u2592\u00D6\u00C5\u00DC\u2592\u2592\u2592 "
              "\u00D6\u00C4\u00C9\u00E4\u00FC \u2588 ");
    EXPECT_EQ(screen[1].substr(0, 2), "!a");
}

}  // namespace
