// Makes the sound samples from their parameters (SampleParameters.h). Used by the asset
// generator; every result is a whole loop of 8-bit unsigned samples centred on 0x80.
#pragma once

#include <cstdint>
#include <vector>

#include "assets/SampleParameters.h"

class CSampleSynth {
public:
    static std::vector<std::uint8_t> Noise(const SampleParameters::Noise& p);
    static std::vector<std::uint8_t> Square(const SampleParameters::Square& p);
    static std::vector<std::uint8_t> Slow(const SampleParameters::Slow& p);
    // The swept tone is exactly as long as the slow oscillator it follows, so that the two
    // stay in step when played side by side.
    static std::vector<std::uint8_t> Sweep(const SampleParameters::Sweep& p,
                                           const std::vector<std::uint8_t>& slow);

private:
    static std::uint8_t Level(int offset);
};
