// Reads the screen as text straight from video memory: 24 rows of 40 characters, following
// each row's switches between the text and graphics sets. The headless runner prints it
// (--screen) and tests compare it. National letters come out in UTF-8, graphics cells as
// GRAPHICS, blinking characters as their plain selves and control codes as spaces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CMemory;

class CScreenText {
public:
    static constexpr int ROWS = 24;
    static constexpr int COLUMNS = 40;
    static constexpr std::uint16_t VIDEO_BASE = 0x7C00;
    // A lit or partly lit mosaic cell (U+2592); the empty mosaic shows as a space.
    static constexpr const char* GRAPHICS = "\u2592";
    // Code 0x7F of the text set, drawn as a solid block (U+2588).
    static constexpr const char* BLOCK = "\u2588";

    // Address of the first cell of a row: the rows are interleaved in 128-byte blocks.
    static std::uint16_t RowAddress(int row);
    // One row as 40 characters of UTF-8.
    static std::string Row(const CMemory& memory, int row);
    static std::vector<std::string> Screen(const CMemory& memory);
    // How one cell reads, given the set in force where it stands.
    static std::string Cell(std::uint8_t code, bool graphics);
};
