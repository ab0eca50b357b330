// The display renderer: turns the 1 KB of interleaved text-mode video memory at 0x7C00 into a
// 240 x 240 one-bit image, with serial text/graphics switching and blinking characters.
// Start-up calls Init() once to load "font.bin"; the screen window calls Render() every tick.
#pragma once

#include <array>
#include <cstdint>

class CMemory;
class CStartupFiles;

class CDisplay {
public:
    static constexpr int WIDTH = 240;
    static constexpr int HEIGHT = 240;
    static constexpr int STRIDE = 30;  // bytes per image row, most significant bit leftmost
    static constexpr int IMAGE_BYTES = STRIDE * HEIGHT;

    static constexpr int COLUMNS = 40;
    static constexpr int TEXT_ROWS = 24;
    static constexpr int CELL_WIDTH = 6;
    static constexpr int CELL_HEIGHT = 10;
    static constexpr std::uint16_t VIDEO_BASE = 0x7C00;

    static constexpr int FONT_GLYPHS = 256;
    static constexpr int FONT_BYTES = FONT_GLYPHS * CELL_HEIGHT;
    // Two sets (text, graphics) of 256 entries; the upper 128 of each are the blinking halves.
    static constexpr int GLYPH_ENTRIES = 512;
    static constexpr int GRAPHICS_SET = 256;

    explicit CDisplay(const CMemory& memory) : memory(memory) {}

    // Reads the first FONT_BYTES of "font.bin" from the working directory and builds the
    // glyph table. False when the file cannot be opened or is shorter than that. The file is
    // opened through `startup` when given, which notes it and the reason of a failure.
    bool Init(CStartupFiles* startup = nullptr);

    // Advances the frame counter and renders video memory. The returned IMAGE_BYTES stay
    // valid until the next call.
    const std::uint8_t* Render();
    // Counts frames run but not rendered (slices run back to back, of which only the last
    // is shown), so the blink phase still follows emulated time.
    void SkipFrames(std::uint32_t count) { frameCounter += count; }

    // Number of frames rendered or skipped so far; its bit 3 selects the blink phase.
    std::uint32_t FrameCounter() const { return frameCounter; }

    // Address of the first byte of text row r (0 to 23): rows are interleaved in blocks of
    // 128 bytes holding rows k, k + 8 and k + 16, with the last 8 bytes of a block unused.
    static constexpr std::uint16_t RowAddress(int row)
    {
        return static_cast<std::uint16_t>(VIDEO_BASE + (row % 8) * 128 + (row / 8) * COLUMNS);
    }

    // A byte (after the blink mask) with a non-zero low three bits and bits 3, 5 and 6 clear
    // switches the set for the rest of its row; bit 4 chooses graphics.
    static constexpr bool IsSetSwitch(unsigned m) { return (m & 0x07) != 0 && (m & 0x68) == 0; }

private:
    void BuildGlyphTable(const std::uint8_t* font);

    const CMemory& memory;
    std::uint32_t frameCounter = 0;
    // Line-major: all 512 entries of pixel line 0, then line 1, and so on.
    std::array<std::uint8_t, CELL_HEIGHT * GLYPH_ENTRIES> glyphs{};
    std::array<std::uint8_t, IMAGE_BYTES> image{};
};
