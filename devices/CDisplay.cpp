#include "devices/CDisplay.h"

#include "bus/CMemory.h"
#include "host/CHostFile.h"
#include "host/CStartupFiles.h"

namespace {

// Only bits 7 to 2 of a font row are pixels. The packing ORs neighbouring cells together, so
// anything left in bits 1 and 0 would show as stray pixels in the next cell; it is dropped.
constexpr std::uint8_t PIXEL_BITS = 0xFC;

constexpr const char* FONT_FILE = "font.bin";

}  // namespace

bool CDisplay::Init(CStartupFiles* startup)
{
    CStartupFiles scratch;
    CStartupFiles& files = startup ? *startup : scratch;
    CHostFile file;
    if (!files.Open(file, FONT_FILE))
        return false;
    std::uint8_t font[FONT_BYTES];
    const long n = file.Read(font, sizeof font);
    if (n != static_cast<long>(sizeof font)) {
        files.Refuse(FONT_FILE, n < 0 ? "a read error" : CStartupFiles::ShortBy(sizeof font, n));
        return false;
    }
    BuildGlyphTable(font);
    return true;
}

void CDisplay::BuildGlyphTable(const std::uint8_t* font)
{
    for (int entry = 0; entry < GLYPH_ENTRIES; ++entry) {
        // Entries 0-255 take text glyphs 0-127 twice, entries 256-511 graphics glyphs 128-255.
        const int glyph = ((entry / 2) & 0x80) | (entry & 0x7F);
        // The blinking half shows codes 32-127 inverted; codes below 32 stay as they are.
        const bool inverted = (entry & 0x80) != 0 && (entry & 0x7F) >= 32;
        for (int line = 0; line < CELL_HEIGHT; ++line) {
            std::uint8_t row = font[glyph * CELL_HEIGHT + line] & PIXEL_BITS;
            if (inverted)
                row ^= PIXEL_BITS;
            glyphs[static_cast<std::size_t>(line * GLYPH_ENTRIES + entry)] = row;
        }
    }
}

const std::uint8_t* CDisplay::Render()
{
    ++frameCounter;
    // Bytes with bit 7 set come from the blinking half only while bit 3 of the counter is set.
    const unsigned blinkMask = (frameCounter & 0x08) ? 0xFF : 0x7F;
    const std::uint8_t* video = memory.Bytes();
    std::uint8_t* out = image.data();

    for (int row = 0; row < TEXT_ROWS; ++row) {
        // Every pixel line of a text row makes the same set decisions, so they are taken once.
        const std::uint8_t* cells = video + RowAddress(row);
        std::uint16_t entries[COLUMNS];
        unsigned set = 0;
        for (int col = 0; col < COLUMNS; ++col) {
            const unsigned m = cells[col] & blinkMask;
            entries[col] = static_cast<std::uint16_t>(set + m);  // the switch cell uses the old set
            if (IsSetSwitch(m))
                set = (m & 0x10) ? GRAPHICS_SET : 0;
        }

        for (int line = 0; line < CELL_HEIGHT; ++line) {
            const std::uint8_t* glyphLine = glyphs.data() + line * GLYPH_ENTRIES;
            for (int col = 0; col < COLUMNS; col += 4) {
                // Four 6-pixel cells into three bytes.
                const unsigned c0 = glyphLine[entries[col]];
                const unsigned c1 = glyphLine[entries[col + 1]];
                const unsigned c2 = glyphLine[entries[col + 2]];
                const unsigned c3 = glyphLine[entries[col + 3]];
                *out++ = static_cast<std::uint8_t>(c0 | (c1 >> 6));
                *out++ = static_cast<std::uint8_t>((c1 << 2) | (c2 >> 4));
                *out++ = static_cast<std::uint8_t>((c2 << 4) | (c3 >> 2));
            }
        }
    }
    return image.data();
}
