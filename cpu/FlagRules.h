// The flag rules every instruction group uses. Each takes the current F, the operands and
// the untruncated result as plain integers and returns the new F. Bits 5 and 3 of F are
// never computed: every rule carries them through unchanged.
#pragma once

#include <cstdint>

#include "cpu/FlagTables.h"

// Packs the sign and half triples of an 8-bit operation into an AddTripleTable index.
constexpr unsigned Triple8(unsigned a, unsigned b, unsigned r)
{
    return ((a & 0x88) >> 1) | ((b & 0x88) >> 2) | ((r & 0x88) >> 3);
}

// The same for a 16-bit operation: bits 15 and 11.
constexpr unsigned Triple16(unsigned a, unsigned b, unsigned r)
{
    return ((a & 0x8800) >> 9) | ((b & 0x8800) >> 10) | ((r & 0x8800) >> 11);
}

constexpr std::uint8_t AddFlags8(unsigned f, unsigned a, unsigned b, unsigned r)
{
    return static_cast<std::uint8_t>((f & 0x28) | AddTripleTable[Triple8(a, b, r)] | ((r & 0xFF) ? 0 : 0x40));
}

constexpr std::uint8_t SubFlags8(unsigned f, unsigned a, unsigned b, unsigned r)
{
    return static_cast<std::uint8_t>((f & 0x28) | 0x02 | SubTripleTable[Triple8(a, b, r)] | ((r & 0xFF) ? 0 : 0x40));
}

constexpr std::uint8_t AddFlags16(unsigned f, unsigned a, unsigned b, unsigned r)
{
    return static_cast<std::uint8_t>((f & 0x28) | AddTripleTable[Triple16(a, b, r)] | ((r & 0xFFFF) ? 0 : 0x40));
}

constexpr std::uint8_t SubFlags16(unsigned f, unsigned a, unsigned b, unsigned r)
{
    return static_cast<std::uint8_t>((f & 0x28) | 0x02 | SubTripleTable[Triple16(a, b, r)] |
                                     ((r & 0xFFFF) ? 0 : 0x40));
}

// ADD HL/IX/IY,rr: only H and C are computed and N cleared; S, Z and P/V stay.
constexpr std::uint8_t HlAddFlags16(unsigned f, unsigned a, unsigned b, unsigned r)
{
    return static_cast<std::uint8_t>((f & 0xEC) | (AddTripleTable[Triple16(a, b, r)] & 0x11));
}

// AND (h = 0x10), OR and XOR (h = 0).
constexpr std::uint8_t LogicFlags(unsigned f, unsigned r, unsigned h)
{
    return static_cast<std::uint8_t>((f & 0x28) | h | SzpTable[r & 0xFF]);
}

// INC and DEC keep C.
constexpr std::uint8_t IncFlags8(unsigned f, unsigned r)
{
    return static_cast<std::uint8_t>((f & 0x29) | IncTable[r & 0xFF]);
}

constexpr std::uint8_t DecFlags8(unsigned f, unsigned r)
{
    return static_cast<std::uint8_t>((f & 0x29) | DecTable[r & 0xFF]);
}

// RLD, RRD and IN r,(C): S, Z, parity; H and N cleared, C kept.
constexpr std::uint8_t SzpFlags(unsigned f, unsigned r)
{
    return static_cast<std::uint8_t>((f & 0x29) | SzpTable[r & 0xFF]);
}

// Rotates and shifts of the bit group: S, Z, parity and the new carry; H and N cleared.
constexpr std::uint8_t ShiftFlags(unsigned f, unsigned r, unsigned carry)
{
    return static_cast<std::uint8_t>((f & 0x28) | SzpTable[r & 0xFF] | (carry & 1));
}

// BIT: H set, S, P/V and N cleared, Z when the bit is 0; C kept.
constexpr std::uint8_t BitFlags(unsigned f, unsigned bitValue)
{
    return static_cast<std::uint8_t>((f & 0x39) | 0x10 | (bitValue ? 0 : 0x40));
}
