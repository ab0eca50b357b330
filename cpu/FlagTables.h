// The constant tables behind every flag computation of the CPU. The four small tables are
// indexed by a bit triple (operand a, operand b, result) taken at the sign bit (7 or 15) or
// the half bit (3 or 11); the larger ones are derived from them once, at compile time, so
// that an instruction needs a single lookup. Used by FlagRules.h.
#pragma once

#include <array>
#include <cstdint>

// S, P/V and C of an addition by the sign triple; H by the half triple.
inline constexpr std::array<std::uint8_t, 8> AddSvcTable{0x00, 0x84, 0x01, 0x80, 0x01, 0x80, 0x05, 0x81};
inline constexpr std::array<std::uint8_t, 8> AddHalfTable{0x00, 0x00, 0x10, 0x00, 0x10, 0x00, 0x10, 0x10};
// The same for a subtraction: a is the minuend, b the subtrahend.
inline constexpr std::array<std::uint8_t, 8> SubSvcTable{0x00, 0x81, 0x01, 0x85, 0x04, 0x80, 0x00, 0x81};
inline constexpr std::array<std::uint8_t, 8> SubHalfTable{0x00, 0x10, 0x10, 0x10, 0x00, 0x00, 0x00, 0x10};

// 1 when the byte has an even number of set bits.
inline constexpr std::array<std::uint8_t, 256> ParityTable = [] {
    std::array<std::uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        int bits = 0;
        for (int k = 0; k < 8; ++k)
            bits += (v >> k) & 1;
        table[v] = (bits & 1) ? 0 : 1;
    }
    return table;
}();

// Both triples packed in one index: sign triple in bits 6-4, half triple in bits 2-0.
// AddTripleTable[i] = AddSvcTable[i >> 4] | AddHalfTable[i & 7], and alike for subtraction.
inline constexpr std::array<std::uint8_t, 128> AddTripleTable = [] {
    std::array<std::uint8_t, 128> table{};
    for (int i = 0; i < 128; ++i)
        table[i] = static_cast<std::uint8_t>(AddSvcTable[(i >> 4) & 7] | AddHalfTable[i & 7]);
    return table;
}();
inline constexpr std::array<std::uint8_t, 128> SubTripleTable = [] {
    std::array<std::uint8_t, 128> table{};
    for (int i = 0; i < 128; ++i)
        table[i] = static_cast<std::uint8_t>(SubSvcTable[(i >> 4) & 7] | SubHalfTable[i & 7]);
    return table;
}();

// S, Z and P/V (parity) of a byte: the part every logical, rotate and input result shares.
inline constexpr std::array<std::uint8_t, 256> SzpTable = [] {
    std::array<std::uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v)
        table[v] = static_cast<std::uint8_t>((v & 0x80) | (v == 0 ? 0x40 : 0) | (ParityTable[v] ? 0x04 : 0));
    return table;
}();

// S, Z, H and P/V after an 8-bit increment or decrement, indexed by the new value.
inline constexpr std::array<std::uint8_t, 256> IncTable = [] {
    std::array<std::uint8_t, 256> table{};
    for (int r = 0; r < 256; ++r)
        table[r] = static_cast<std::uint8_t>((r == 0x80 ? 0x04 : 0) | ((r & 0x0F) == 0 ? 0x10 : 0) |
                                             (r == 0 ? 0x40 : 0) | (r & 0x80));
    return table;
}();
inline constexpr std::array<std::uint8_t, 256> DecTable = [] {
    std::array<std::uint8_t, 256> table{};
    for (int r = 0; r < 256; ++r)
        table[r] = static_cast<std::uint8_t>(0x02 | (r == 0x7F ? 0x04 : 0) | ((r & 0x0F) == 0x0F ? 0x10 : 0) |
                                             (r == 0 ? 0x40 : 0) | (r & 0x80));
    return table;
}();
