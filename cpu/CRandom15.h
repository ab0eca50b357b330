// The pseudo-random source behind LD A,R: a linear congruential generator giving 15-bit
// values (0 to 32767). CCpu owns one and reseeds it from the wall clock on every Reset().
#pragma once

#include <cstdint>

class CRandom15 {
public:
    void Seed(std::uint32_t seed) { state = seed; }

    std::uint16_t Next()
    {
        state = state * 1103515245u + 12345u;
        return static_cast<std::uint16_t>((state >> 16) & 0x7FFF);
    }

private:
    std::uint32_t state = 1;
};
