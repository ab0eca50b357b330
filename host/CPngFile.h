// Writes a picture as an 8-bit RGB PNG file through libpng. The headless runner's --png saves
// the machine's screen with it, in the window's colours (CColourScreen).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CPngFile {
public:
    // `pixels` holds `height` rows of `width` 0xAARRGGBB values, `stride` pixels apart; alpha
    // is dropped. False when the file cannot be created or written.
    static bool Write(const std::string& path, const std::uint32_t* pixels, int width, int height, std::size_t stride);
};
