// What the five sound samples are made of. The asset generator (CSampleSynth) turns these
// into "noise.snd", "vco_hi.snd", "vco_lo.snd", "slf.snd" and "vco_slf.snd": headerless
// 8-bit unsigned mono at 22050 Hz, centred on 0x80, each file one seamless loop.
#pragma once

#include <cstdint>

namespace SampleParameters {

constexpr int SAMPLE_RATE = 22050;
constexpr int CENTRE = 0x80;

// Two-level noise from a 16-bit Galois shift register, one register step per sample.
struct Noise {
    int length;           // samples
    int amplitude;        // each sample is CENTRE plus or minus this
    std::uint16_t seed;   // any value but 0
    std::uint16_t taps;   // feedback mask of a maximal-length register
};

// A square wave of a whole number of periods, so the loop has no seam.
struct Square {
    int period;     // samples per period; the first half is high
    int periods;    // periods in the file
    int amplitude;
};

// One period of a slow sine: the slow oscillator.
struct Slow {
    int length;     // samples in the one period
    int amplitude;
};

// A square tone whose pitch follows the slow oscillator sample by sample, from lowHz at its
// lowest point to highHz at its highest. Pitch is nudged so that the loop holds a whole
// number of cycles.
struct Sweep {
    double lowHz;
    double highHz;
    int amplitude;
};

constexpr Noise NOISE{22050, 32, 0xACE1, 0xB400};       // 1 s
constexpr Square VCO_HI{22, 50, 40};                    // 1002 Hz, 50 ms
constexpr Square VCO_LO{110, 20, 40};                   // 200.5 Hz, 100 ms
constexpr Slow SLF{5500, 48};                           // 4.01 Hz, 0.25 s
constexpr Sweep VCO_SLF{300.0, 900.0, 40};              // as long as SLF

}  // namespace SampleParameters
