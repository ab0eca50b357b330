// Reading the screen as text from video memory.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bus/CMemory.h"
#include "core/CScreenText.h"

namespace {

TEST(ScreenText, ReadsInterleavedRowsFollowingSetSwitchesWithNationalLettersAndBlinkingCellsPlain)
{
    auto memory = std::make_unique<CMemory>();
    auto put = [&](std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            memory->WriteByte(static_cast<std::uint32_t>(address + i), bytes[i]);
    };
    put(0x7C00, std::vector<std::uint8_t>(0x400, ' '));
    // Rows interleave in blocks of 128 bytes, whose last eight bytes are never shown.
    for (std::uint32_t block = 0x7C00; block < 0x8000; block += 128)
        put(block + 120, std::vector<std::uint8_t>(8, 'X'));
    put(0x7C00, {
        'A', 0x12, 0x41, 0x7F, 0x20, 0x60, 0x35,  // text, to graphics: a letter, mosaics, the empty one
        0x81, 0xC1, 0x7F, 0x5B, 0x7E, 0x40,       // blinking switch back to text, blinking 'A'
        0x08, 0x18, 0x21, 0x97, 0xA1, 0x13, 0x0F, // 0x08 and 0x18 switch nothing; 0x97 does
        0xE1, 0x16, 0xDD, 0x00, 0x7D, 0x5C, 0x5D, 0x5E, 0x60, 0x7B, 0x7C, 0x05,
        '\\', '[', '@', '{', '~', 0x1F, 0x7F, 0x14});
    // Every row starts in the text set, whatever the row above or the bytes before it ended in.
    put(0x7C80, {0x21, 0x61});
    put(0x7C28, {'R', '8'});
    put(0x7FD0 + 38, {'Z', 'z'});
    std::vector<std::string> expected(24, std::string(40, ' '));
    expected[0] = "A A\u2592 \u2592\u2592"
                  " A\u2588\u00C4\u00FC\u00C9"
                  "  ! \u2592  "
                  "\u2592 \u00C5 \u2592\u00D6\u00C5\u00DC\u2592\u2592\u2592 "
                  "\u00D6\u00C4\u00C9\u00E4\u00FC \u2588 ";
    expected[1].replace(0, 2, "!a");
    expected[8].replace(0, 2, "R8");
    expected[23].replace(38, 2, "Zz");
    EXPECT_EQ(CScreenText::Screen(*memory), expected);
}

}  // namespace
