#include "core/CColourScreen.h"

#include <algorithm>

#include "devices/CDisplay.h"

void CColourScreen::Expand(const std::uint8_t* bits, int factor, std::uint32_t* out, std::size_t stride)
{
    const std::size_t width = static_cast<std::size_t>(CDisplay::WIDTH) * static_cast<std::size_t>(factor);
    for (int y = 0; y < CDisplay::HEIGHT; ++y) {
        const std::uint8_t* row = bits + y * CDisplay::STRIDE;
        std::uint32_t* first = out + static_cast<std::size_t>(y) * static_cast<std::size_t>(factor) * stride;
        std::uint32_t* at = first;
        for (int x = 0; x < CDisplay::WIDTH; ++x) {
            const bool set = (row[x >> 3] & (0x80 >> (x & 7))) != 0;
            at = std::fill_n(at, factor, set ? SET_COLOUR : CLEAR_COLOUR);
        }
        // The other rows of the square are copies of the first.
        for (int copy = 1; copy < factor; ++copy)
            std::copy_n(first, width, first + static_cast<std::size_t>(copy) * stride);
    }
}
