// Builds the character generator file "font.bin": the text half from the drawn sheet and
// the graphics half computed as 2 by 3 block mosaics. Used by the asset generator.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "assets/CFontSheet.h"

class CCharacterSet {
public:
    static constexpr std::size_t GLYPH_BYTES = CFontSheet::ROWS;
    static constexpr std::size_t FILE_BYTES = 256 * GLYPH_BYTES;

    // The mosaic for a graphics code: cells top left, top right, middle left, middle right,
    // bottom left, bottom right from bits 0, 1, 2, 3, 4 and 6; cells three pixels wide and
    // three, four and three rows high.
    static CFontSheet::Glyph Mosaic(std::uint8_t code);

    // 256 glyphs of ten bytes. Glyphs 128 to 255: codes 0x00-0x1F blank, 0x40-0x5F the
    // text letters, the rest mosaics.
    static std::vector<std::uint8_t> Build(const CFontSheet& sheet);
};
