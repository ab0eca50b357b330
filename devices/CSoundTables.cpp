#include "devices/CSoundTables.h"

void CSoundTables::Build()
{
    attenuation.resize(256 * 256);
    mixing.resize(256 * 256);
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const std::size_t index = static_cast<std::size_t>(a) << 8 | static_cast<std::size_t>(b);
            // Integer division truncates toward zero, so quiet levels fall on 0x80 from both sides.
            attenuation[index] = static_cast<std::uint8_t>((a - 128) * (256 - b) / 256 + 128);
            mixing[index] = static_cast<std::uint8_t>((a + b - 256) / 2 + 128);
        }
    }
}
