// The BASIC's 4-byte numbers seen from the host, for the fpcore tests and the cycle bench:
// a number is held as a 32-bit word, byte 0 the low mantissa byte ... byte 3 the exponent,
// so BC = word >> 16 and DE = word & 0xFFFF. Packing rounds to 24 bits, halves away from zero.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace FpNumber {

// Nothing when the magnitude is too large; 0 when it is too small.
inline std::optional<std::uint32_t> Pack(long double x)
{
    if (x == 0 || !std::isfinite(x))
        return x == 0 ? std::optional<std::uint32_t>(0) : std::nullopt;
    int e = 0;
    const long double m = std::frexp(std::fabs(x), &e);
    long double mant = std::floor(std::ldexp(m, 24) + 0.5L);
    if (mant >= 16777216.0L) {
        mant = 8388608.0;
        ++e;
    }
    if (e + 128 > 255)
        return std::nullopt;
    if (e + 128 < 1)
        return 0;
    const std::uint32_t sign = x < 0 ? 0x800000u : 0u;
    return (static_cast<std::uint32_t>(e + 128) << 24) | sign | (static_cast<std::uint32_t>(mant) & 0x7FFFFFu);
}

inline double Unpack(std::uint32_t v)
{
    const int exponent = static_cast<int>(v >> 24);
    if (exponent == 0)
        return 0;
    const double m = std::ldexp(static_cast<double>((v & 0x7FFFFFu) | 0x800000u), exponent - 128 - 24);
    return (v & 0x800000u) ? -m : m;
}

// The distance between two numbers in units of the last place of the larger one.
inline double UlpDistance(std::uint32_t a, std::uint32_t b)
{
    const double x = Unpack(a), y = Unpack(b);
    const double big = std::fmax(std::fabs(x), std::fabs(y));
    if (big == 0)
        return 0;
    int e = 0;
    std::frexp(big, &e);
    return std::fabs(x - y) / std::ldexp(1.0, e - 24);
}

}  // namespace FpNumber
