// The display's one-bit image in the window's two fixed colours, each machine pixel drawn as a
// square of `factor` by `factor` pixels. The screen window paints its zoomed image from it, and
// screenshots (window and headless runner) are made from it, so all three agree pixel for pixel.
#pragma once

#include <cstddef>
#include <cstdint>

class CColourScreen {
public:
    // 0xAARRGGBB: a set bit of the image (200, 184, 32) and a clear bit (32, 32, 32).
    static constexpr std::uint32_t SET_COLOUR = 0xFFC8B820;
    static constexpr std::uint32_t CLEAR_COLOUR = 0xFF202020;

    // Writes the 240 x 240 image `bits` (30 bytes a row, leftmost pixel in the top bit) as
    // 240 * factor rows of 240 * factor pixels into `out`, whose rows are `stride` pixels
    // apart. factor must be at least 1 and stride at least 240 * factor.
    static void Expand(const std::uint8_t* bits, int factor, std::uint32_t* out, std::size_t stride);
};
