// Reads the screen as text straight from video memory: 24 rows of 40 characters, following
// each row's switches between the text and graphics sets. The headless runner prints it
// (--screen) and tests compare it. National letters come out in UTF-8, graphics cells as
// GRAPHICS, blinking characters as their plain selves and control codes as spaces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/CDisplay.h"

class CMemory;

class CScreenText {
public:
    static constexpr int ROWS = CDisplay::TEXT_ROWS;
    static constexpr int COLUMNS = CDisplay::COLUMNS;
    // A lit or partly lit mosaic cell (U+2592); the empty mosaic shows as a space.
    static constexpr const char* GRAPHICS = "\u2592";
    // Code 0x7F of the text set, drawn as a solid block (U+2588).
    static constexpr const char* BLOCK = "\u2588";

    // One row as 40 characters of UTF-8.
    static std::string Row(const CMemory& memory, int row);
    static std::vector<std::string> Screen(const CMemory& memory);
    // How one cell reads, given the set in force where it stands.
    static std::string Cell(std::uint8_t code, bool graphics);
};
