// The 0xDD and 0xFD groups: instructions on IX or IY and on the byte at index + displacement,
// including the indexed bit operations (prefix, 0xCB, displacement, operation). The run loop
// hands ExecuteIndexed the index register by reference; the code never knows which one it
// has. Forms without a documented indexed meaning are not executed. Inlined into the run loop.
#pragma once

#include <cstdint>

#include "cpu/CBitGroup.h"
#include "cpu/CCpuCore.h"

class CIndexGroup {
public:
    static VORLIX_ALWAYS_INLINE void ExecuteIndexed(CCpuCore& c, std::uint16_t& x)
    {
        const std::uint8_t op = c.Fetch();
        switch (op) {
        case 0x09: AddX(c, x, c.bc); break;
        case 0x19: AddX(c, x, c.de); break;
        case 0x29: AddX(c, x, x); break;
        case 0x39: AddX(c, x, c.sp); break;
        case 0x21: x = c.FetchWord(); c.budget -= 14; break;
        case 0x22: c.WriteWord(c.FetchWord(), x); c.budget -= 20; break;
        case 0x2A: x = c.ReadWord(c.FetchWord()); c.budget -= 20; break;
        case 0x23: ++x; c.budget -= 10; break;
        case 0x2B: --x; c.budget -= 10; break;
        case 0x34: {
            const std::uint16_t address = c.Displaced(x);
            const std::uint8_t r = static_cast<std::uint8_t>(c.Read(address) + 1);
            c.f = IncFlags8(c.f, r);
            c.Write(address, r);
            c.budget -= 23;
            break;
        }
        case 0x35: {
            const std::uint16_t address = c.Displaced(x);
            const std::uint8_t r = static_cast<std::uint8_t>(c.Read(address) - 1);
            c.f = DecFlags8(c.f, r);
            c.Write(address, r);
            c.budget -= 23;
            break;
        }
        case 0x36: {
            const std::uint16_t address = c.Displaced(x);
            c.Write(address, c.Fetch());
            c.budget -= 19;
            break;
        }
        case 0x46: LdFromIndex<CCpuCore::RB>(c, x); break;
        case 0x4E: LdFromIndex<CCpuCore::RC>(c, x); break;
        case 0x56: LdFromIndex<CCpuCore::RD>(c, x); break;
        case 0x5E: LdFromIndex<CCpuCore::RE>(c, x); break;
        case 0x66: LdFromIndex<CCpuCore::RH>(c, x); break;
        case 0x6E: LdFromIndex<CCpuCore::RL>(c, x); break;
        case 0x7E: LdFromIndex<CCpuCore::RA>(c, x); break;
        case 0x70: LdToIndex<CCpuCore::RB>(c, x); break;
        case 0x71: LdToIndex<CCpuCore::RC>(c, x); break;
        case 0x72: LdToIndex<CCpuCore::RD>(c, x); break;
        case 0x73: LdToIndex<CCpuCore::RE>(c, x); break;
        case 0x74: LdToIndex<CCpuCore::RH>(c, x); break;
        case 0x75: LdToIndex<CCpuCore::RL>(c, x); break;
        case 0x77: LdToIndex<CCpuCore::RA>(c, x); break;
        case 0x86: AluIndex<0>(c, x); break;
        case 0x8E: AluIndex<1>(c, x); break;
        case 0x96: AluIndex<2>(c, x); break;
        case 0x9E: AluIndex<3>(c, x); break;
        case 0xA6: AluIndex<4>(c, x); break;
        case 0xAE: AluIndex<5>(c, x); break;
        case 0xB6: AluIndex<6>(c, x); break;
        case 0xBE: AluIndex<7>(c, x); break;
        case 0xCB: ExecuteIndexedBit(c, x); break;
        case 0xE1: x = c.Pop(); c.budget -= 14; break;
        case 0xE3: {
            const std::uint16_t value = c.ReadWord(c.sp);
            c.WriteWord(c.sp, x);
            x = value;
            c.budget -= 23;
            break;
        }
        case 0xE5: c.Push(x); c.budget -= 15; break;
        case 0xE9: c.pc = x; c.budget -= 8; break;
        case 0xF9: c.sp = x; c.budget -= 10; break;
        default:
            // Not executed: back to the prefix.
            c.pc = static_cast<std::uint16_t>(c.pc - 2);
            c.budget -= CCpuCore::UNDEFINED_CYCLES;
            break;
        }
    }

private:
    static VORLIX_ALWAYS_INLINE void AddX(CCpuCore& c, std::uint16_t& x, std::uint16_t value)
    {
        const unsigned r = x + value;
        c.f = HlAddFlags16(c.f, x, value, r);
        x = static_cast<std::uint16_t>(r);
        c.budget -= 15;
    }
    template <int R>
    static VORLIX_ALWAYS_INLINE void LdFromIndex(CCpuCore& c, std::uint16_t x)
    {
        c.Set<R>(c.Read(c.Displaced(x)));
        c.budget -= 19;
    }
    template <int R>
    static VORLIX_ALWAYS_INLINE void LdToIndex(CCpuCore& c, std::uint16_t x)
    {
        c.Write(c.Displaced(x), c.Get<R>());
        c.budget -= 19;
    }
    template <int OP>
    static VORLIX_ALWAYS_INLINE void AluIndex(CCpuCore& c, std::uint16_t x)
    {
        c.Alu<OP>(c.Read(c.Displaced(x)));
        c.budget -= 19;
    }

    // Prefix, 0xCB, displacement, operation: only the forms on the byte itself (operand
    // field 110, not 0x36) exist; the result is never copied into a register.
    static VORLIX_ALWAYS_INLINE void ExecuteIndexedBit(CCpuCore& c, std::uint16_t x)
    {
        const std::uint16_t address = c.Displaced(x);
        const std::uint8_t op = c.Fetch();
        if ((op & 7) != 6 || op == 0x36) {
            c.pc = static_cast<std::uint16_t>(c.pc - 4);
            c.budget -= CCpuCore::UNDEFINED_CYCLES;
            return;
        }
        const unsigned y = (op >> 3) & 7;
        const std::uint8_t v = c.Read(address);
        switch (op >> 6) {
        case 0:
            c.Write(address, CBitGroup::Shift(c, y, v));
            c.budget -= 23;
            break;
        case 1:
            c.f = BitFlags(c.f, v & (1u << y));
            c.budget -= 20;
            break;
        case 2:
            c.Write(address, static_cast<std::uint8_t>(v & ~(1u << y)));
            c.budget -= 23;
            break;
        default:
            c.Write(address, static_cast<std::uint8_t>(v | (1u << y)));
            c.budget -= 23;
            break;
        }
    }
};
