#include "core/CScreenText.h"

#include "bus/CMemory.h"

namespace {

struct National {
    std::uint8_t code;
    const char* text;
};

constexpr National NATIONAL[] = {
    {0x40, "\u00C9"}, {0x5B, "\u00C4"}, {0x5C, "\u00D6"}, {0x5D, "\u00C5"}, {0x5E, "\u00DC"},
    {0x60, "\u00E9"}, {0x7B, "\u00E4"}, {0x7C, "\u00F6"}, {0x7D, "\u00E5"}, {0x7E, "\u00FC"},
};

bool IsSetSwitch(std::uint8_t m)
{
    return (m & 0x07) != 0 && (m & 0x68) == 0;
}

}  // namespace

std::uint16_t CScreenText::RowAddress(int row)
{
    return static_cast<std::uint16_t>(VIDEO_BASE + (row % 8) * 128 + (row / 8) * COLUMNS);
}

std::string CScreenText::Cell(std::uint8_t code, bool graphics)
{
    std::uint8_t m = code & 0x7F;  // a blinking cell reads as its plain character
    if (m < 0x20)
        return " ";
    // Codes 0x40 to 0x5F of the graphics set show the letters.
    if (graphics && (m < 0x40 || m >= 0x60))
        return m == 0x20 ? " " : GRAPHICS;
    for (const National& n : NATIONAL)
        if (n.code == m)
            return n.text;
    if (m == 0x7F)
        return BLOCK;
    return std::string(1, static_cast<char>(m));
}

std::string CScreenText::Row(const CMemory& memory, int row)
{
    std::string text;
    bool graphics = false;  // every row starts in the text set
    std::uint16_t address = RowAddress(row);
    for (int column = 0; column < COLUMNS; ++column) {
        std::uint8_t code = memory.ReadByte(static_cast<std::uint32_t>(address + column));
        text += Cell(code, graphics);
        std::uint8_t m = code & 0x7F;
        // The switch takes effect from the next cell on.
        if (IsSetSwitch(m))
            graphics = (m & 0x10) != 0;
    }
    return text;
}

std::vector<std::string> CScreenText::Screen(const CMemory& memory)
{
    std::vector<std::string> rows;
    rows.reserve(ROWS);
    for (int row = 0; row < ROWS; ++row)
        rows.push_back(Row(memory, row));
    return rows;
}
