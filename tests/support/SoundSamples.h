// Recognisable sample loops for the sound generator and what it plays from them: the sound
// tests check the generator's buffers against these, and the headless runner's tests its WAV
// recordings of the same samples.
#pragma once

#include <cstdint>
#include <vector>

#include "TempFolder.h"

namespace sound_samples {

using Bytes = std::vector<std::uint8_t>;

// Pseudo-random loop bytes that never hit the zero level 0x80, so silence cannot pass for sound.
inline Bytes MakeLoop(std::size_t length, std::uint32_t x)
{
    Bytes bytes(length);
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16) == 0x80 ? 0x81 : static_cast<std::uint8_t>(x >> 16);
    }
    return bytes;
}

// count bytes of a loop played from start, going round as often as needed.
inline Bytes Loop(const Bytes& sample, std::size_t start, std::size_t count)
{
    Bytes out(count);
    for (std::size_t k = 0; k < count; ++k)
        out[k] = sample[(start + k) % sample.size()];
    return out;
}

inline Bytes Silence(std::size_t count) { return Bytes(count, 0x80); }

// The five samples. Lengths that are not multiples of a buffer, so every loop wraps in mid-buffer.
struct Samples {
    Bytes slf, swept, lo, hi, noise;
    explicit Samples(std::size_t slfLen = 4000, std::size_t sweptLen = 4000, std::size_t hiLen = 250,
                     std::size_t noiseLen = 1009)
        : slf(MakeLoop(slfLen, 1)), swept(MakeLoop(sweptLen, 2)), lo(MakeLoop(333, 3)),
          hi(MakeLoop(hiLen, 4)), noise(MakeLoop(noiseLen, 5)) {}

    void WriteTo(const TempFolder& dir) const
    {
        dir.Write("slf.snd", slf);
        dir.Write("vco_slf.snd", swept);
        dir.Write("vco_lo.snd", lo);
        dir.Write("vco_hi.snd", hi);
        dir.Write("noise.snd", noise);
    }
};

// What a stretch of output plays: silence, or one sample's loop from a position.
enum Source { SILENT, HI, LO, NOISE, SLOW, SWEPT, MIX_HI_NOISE };

inline Bytes Play(const Samples& s, Source source, std::size_t start, std::size_t count)
{
    const Bytes* loops[] = {nullptr, &s.hi, &s.lo, &s.noise, &s.slf, &s.swept, &s.noise};
    return source == SILENT ? Silence(count) : Loop(*loops[source], start, count);
}

}  // namespace sound_samples
