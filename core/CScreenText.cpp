#include "core/CScreenText.h"

#include "bus/CMemory.h"
#include "devices/TranslateChar.h"

namespace {

// A national letter comes out as its ISO 8859-1 letter, written in UTF-8.
std::string NationalLetter(std::uint8_t latin1)
{
    return {static_cast<char>(0xC0 | (latin1 >> 6)), static_cast<char>(0x80 | (latin1 & 0x3F))};
}

}  // namespace

std::string CScreenText::Cell(std::uint8_t code, bool graphics)
{
    std::uint8_t m = code & 0x7F;  // a blinking cell reads as its plain character
    if (m < 0x20)
        return " ";
    // Codes 0x40 to 0x5F of the graphics set show the letters.
    if (graphics && (m < 0x40 || m >= 0x60))
        return m == 0x20 ? " " : GRAPHICS;
    if (std::uint8_t latin1 = TranslateChar(m); latin1 != m)
        return NationalLetter(latin1);
    if (m == 0x7F)
        return BLOCK;
    return std::string(1, static_cast<char>(m));
}

std::string CScreenText::Row(const CMemory& memory, int row)
{
    std::string text;
    bool graphics = false;  // every row starts in the text set
    std::uint16_t address = CDisplay::RowAddress(row);
    for (int column = 0; column < COLUMNS; ++column) {
        std::uint8_t code = memory.ReadByte(static_cast<std::uint32_t>(address + column));
        text += Cell(code, graphics);
        std::uint8_t m = code & 0x7F;
        // The switch takes effect from the next cell on.
        if (CDisplay::IsSetSwitch(m))
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
