#include "assets/CCharacterSet.h"

CFontSheet::Glyph CCharacterSet::Mosaic(std::uint8_t code)
{
    // Which bit lights the left and right cell of each band, and the band each row is in.
    static constexpr std::uint8_t LEFT_BIT[3] = {0x01, 0x04, 0x10};
    static constexpr std::uint8_t RIGHT_BIT[3] = {0x02, 0x08, 0x40};
    static constexpr int BAND_OF_ROW[CFontSheet::ROWS] = {0, 0, 0, 1, 1, 1, 1, 2, 2, 2};
    CFontSheet::Glyph glyph{};
    for (int row = 0; row < CFontSheet::ROWS; ++row) {
        int band = BAND_OF_ROW[row];
        std::uint8_t bits = 0;
        if (code & LEFT_BIT[band])
            bits |= 0xE0;
        if (code & RIGHT_BIT[band])
            bits |= 0x1C;
        glyph[static_cast<std::size_t>(row)] = bits;
    }
    return glyph;
}

std::vector<std::uint8_t> CCharacterSet::Build(const CFontSheet& sheet)
{
    std::vector<std::uint8_t> file(FILE_BYTES, 0);
    for (int code = 0; code < 128; ++code) {
        CFontSheet::Glyph graphic{};
        if (code >= 0x40 && code < 0x60)
            graphic = sheet.Get(code);
        else if (code >= 0x20)
            graphic = Mosaic(static_cast<std::uint8_t>(code));
        const CFontSheet::Glyph& text = sheet.Get(code);
        for (std::size_t row = 0; row < GLYPH_BYTES; ++row) {
            file[static_cast<std::size_t>(code) * GLYPH_BYTES + row] = text[row];
            file[static_cast<std::size_t>(code + 128) * GLYPH_BYTES + row] = graphic[row];
        }
    }
    return file;
}
