#include "assets/CSampleSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace SampleParameters;

std::uint8_t CSampleSynth::Level(int offset)
{
    return static_cast<std::uint8_t>(std::clamp(CENTRE + offset, 0, 255));
}

std::vector<std::uint8_t> CSampleSynth::Noise(const SampleParameters::Noise& p)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(std::max(p.length, 0)));
    std::uint16_t reg = p.seed ? p.seed : 1;
    for (std::uint8_t& s : out) {
        bool bit = reg & 1;
        reg = static_cast<std::uint16_t>(reg >> 1);
        if (bit)
            reg ^= p.taps;
        s = Level(bit ? p.amplitude : -p.amplitude);
    }
    return out;
}

std::vector<std::uint8_t> CSampleSynth::Square(const SampleParameters::Square& p)
{
    std::vector<std::uint8_t> out;
    if (p.period < 2 || p.periods < 1)
        return out;
    out.reserve(static_cast<std::size_t>(p.period) * static_cast<std::size_t>(p.periods));
    for (int n = 0; n < p.periods; ++n)
        for (int i = 0; i < p.period; ++i)
            out.push_back(Level(i < p.period / 2 ? p.amplitude : -p.amplitude));
    return out;
}

std::vector<std::uint8_t> CSampleSynth::Slow(const SampleParameters::Slow& p)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(std::max(p.length, 0)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double angle = 2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(out.size());
        out[i] = Level(static_cast<int>(std::lround(p.amplitude * std::sin(angle))));
    }
    return out;
}

std::vector<std::uint8_t> CSampleSynth::Sweep(const SampleParameters::Sweep& p,
                                              const std::vector<std::uint8_t>& slow)
{
    std::vector<std::uint8_t> out(slow.size());
    if (slow.empty())
        return out;
    auto [lowest, highest] = std::minmax_element(slow.begin(), slow.end());
    double span = std::max(1, *highest - *lowest);

    // Pitch per sample from the slow oscillator, then the total number of cycles, which is
    // rounded to a whole number so that the end of the loop meets its start.
    std::vector<double> step(slow.size());
    double cycles = 0.0;
    for (std::size_t i = 0; i < slow.size(); ++i) {
        double position = (slow[i] - *lowest) / span;
        step[i] = (p.lowHz + (p.highHz - p.lowHz) * position) / SAMPLE_RATE;
        cycles += step[i];
    }
    double whole = std::max(1.0, std::round(cycles));
    double scale = whole / cycles;

    double phase = 0.0;
    for (std::size_t i = 0; i < slow.size(); ++i) {
        double fraction = phase - std::floor(phase);
        out[i] = Level(fraction < 0.5 ? p.amplitude : -p.amplitude);
        phase += step[i] * scale;
    }
    return out;
}
