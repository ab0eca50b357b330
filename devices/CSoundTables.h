// The sound generator's two lookup tables, built once at start-up so that rendering a buffer
// needs no multiplication or division: the attenuation of a sample value by a level, and the
// average of two samples. CSound reads them for every sample it renders.
#pragma once

#include <cstdint>
#include <vector>

class CSoundTables {
public:
    // Fills both 256 by 256 tables. Until then they are empty and must not be read.
    void Build();
    bool IsBuilt() const { return !attenuation.empty(); }

    // value scaled toward 0x80 by level: 0 keeps it, 255 gives 0x80.
    std::uint8_t Attenuate(std::uint8_t value, std::uint8_t level) const
    {
        return attenuation[static_cast<std::size_t>(value) << 8 | level];
    }
    // The average of two samples taken as signed around 0x80.
    std::uint8_t Mix(std::uint8_t oscillator, std::uint8_t noise) const
    {
        return mixing[static_cast<std::size_t>(oscillator) << 8 | noise];
    }

private:
    std::vector<std::uint8_t> attenuation;
    std::vector<std::uint8_t> mixing;
};
