// The 0xED group: input and output through C, 16-bit add and subtract with carry, loads at an
// absolute address, NEG, RETN and RETI, IM, I and R moves, RLD and RRD, and the block
// instructions. A repeating block instruction does one step per execution and moves PC back
// to the prefix while it is not finished, so interrupts and slice ends fall between steps.
// Undocumented second bytes are not executed. Inlined into the run loop.
#pragma once

#include <cstdint>

#include "cpu/CCpuCore.h"

class CExtendedGroup {
public:
    static VORLIX_ALWAYS_INLINE void ExecuteEd(CCpuCore& c)
    {
        const std::uint8_t op = c.Fetch();
        switch (op) {
        case 0x40: case 0x48: case 0x50: case 0x58: case 0x60: case 0x68: case 0x78: {
            const std::uint8_t v = c.In(CCpuCore::Lo(c.bc));
            c.SetR(op >> 3, v);
            c.f = SzpFlags(c.f, v);
            c.budget -= 12;
            break;
        }
        case 0x41: case 0x49: case 0x51: case 0x59: case 0x61: case 0x69: case 0x79:
            c.Out(CCpuCore::Lo(c.bc), c.GetR(op >> 3));
            c.budget -= 12;
            break;
        case 0x42: SbcHl(c, c.bc); break;
        case 0x52: SbcHl(c, c.de); break;
        case 0x62: SbcHl(c, c.hl); break;
        case 0x72: SbcHl(c, c.sp); break;
        case 0x4A: AdcHl(c, c.bc); break;
        case 0x5A: AdcHl(c, c.de); break;
        case 0x6A: AdcHl(c, c.hl); break;
        case 0x7A: AdcHl(c, c.sp); break;
        case 0x43: c.WriteWord(c.FetchWord(), c.bc); c.budget -= 20; break;
        case 0x53: c.WriteWord(c.FetchWord(), c.de); c.budget -= 20; break;
        case 0x63: c.WriteWord(c.FetchWord(), c.hl); c.budget -= 20; break;
        case 0x73: c.WriteWord(c.FetchWord(), c.sp); c.budget -= 20; break;
        case 0x4B: c.bc = c.ReadWord(c.FetchWord()); c.budget -= 20; break;
        case 0x5B: c.de = c.ReadWord(c.FetchWord()); c.budget -= 20; break;
        case 0x6B: c.hl = c.ReadWord(c.FetchWord()); c.budget -= 20; break;
        case 0x7B: c.sp = c.ReadWord(c.FetchWord()); c.budget -= 20; break;
        case 0x44: {
            const std::uint8_t old = c.a;
            c.f = SubFlags8(c.f, 0, old, 0u - old);
            c.a = static_cast<std::uint8_t>(0u - old);
            c.budget -= 8;
            break;
        }
        case 0x45:
            c.pc = c.Pop();
            c.cpu.Regs().iff1 = c.cpu.Regs().iff2;
            c.budget -= 14;
            break;
        case 0x4D:
            c.pc = c.Pop();
            c.budget -= 14;
            break;
        case 0x46: c.cpu.Regs().im = 0; c.budget -= 8; break;
        case 0x56: c.cpu.Regs().im = 1; c.budget -= 8; break;
        case 0x5E: c.cpu.Regs().im = 2; c.budget -= 8; break;
        case 0x47: c.cpu.Regs().i = c.a; c.budget -= 9; break;
        case 0x4F: c.budget -= 9; break;  // there is no refresh register to load
        case 0x57: LoadAFromIr(c, c.cpu.Regs().i); break;
        case 0x5F: LoadAFromIr(c, static_cast<std::uint8_t>(c.NextRandom() >> 8)); break;
        case 0x67: {
            const std::uint8_t m = c.Read(c.hl);
            const std::uint8_t old = c.a;
            c.a = static_cast<std::uint8_t>((old & 0xF0) | (m & 0x0F));
            c.f = SzpFlags(c.f, c.a);
            c.Write(c.hl, static_cast<std::uint8_t>(((old & 0x0F) << 4) | (m >> 4)));
            c.budget -= 18;
            break;
        }
        case 0x6F: {
            const std::uint8_t m = c.Read(c.hl);
            const std::uint8_t old = c.a;
            c.a = static_cast<std::uint8_t>((old & 0xF0) | (m >> 4));
            c.f = SzpFlags(c.f, c.a);
            c.Write(c.hl, static_cast<std::uint8_t>(((m & 0x0F) << 4) | (old & 0x0F)));
            c.budget -= 18;
            break;
        }
        case 0xA0: Ld(c, 1, false); break;
        case 0xA8: Ld(c, -1, false); break;
        case 0xB0: Ld(c, 1, true); break;
        case 0xB8: Ld(c, -1, true); break;
        case 0xA1: Cp(c, 1, false); break;
        case 0xA9: Cp(c, -1, false); break;
        case 0xB1: Cp(c, 1, true); break;
        case 0xB9: Cp(c, -1, true); break;
        case 0xA2: In(c, 1, false); break;
        case 0xAA: In(c, -1, false); break;
        case 0xB2: In(c, 1, true); break;
        case 0xBA: In(c, -1, true); break;
        case 0xA3: Out(c, 1, false); break;
        case 0xAB: Out(c, -1, false); break;
        case 0xB3: Out(c, 1, true); break;
        case 0xBB: Out(c, -1, true); break;
        default:
            // Not executed: back to the prefix.
            c.pc = static_cast<std::uint16_t>(c.pc - 2);
            c.budget -= CCpuCore::UNDEFINED_CYCLES;
            break;
        }
    }

private:
    static VORLIX_ALWAYS_INLINE void SbcHl(CCpuCore& c, std::uint16_t value)
    {
        const unsigned r = c.hl - value - (c.f & CCpu::FLAG_C);
        c.f = SubFlags16(c.f, c.hl, value, r);
        c.hl = static_cast<std::uint16_t>(r);
        c.budget -= 15;
    }
    static VORLIX_ALWAYS_INLINE void AdcHl(CCpuCore& c, std::uint16_t value)
    {
        const unsigned r = c.hl + value + (c.f & CCpu::FLAG_C);
        c.f = AddFlags16(c.f, c.hl, value, r);
        c.hl = static_cast<std::uint16_t>(r);
        c.budget -= 15;
    }
    // LD A,I and LD A,R: S and Z from the value, H and N cleared, P/V = IFF2, C kept.
    static VORLIX_ALWAYS_INLINE void LoadAFromIr(CCpuCore& c, std::uint8_t value)
    {
        c.a = value;
        c.f = static_cast<std::uint8_t>((c.f & 0x29) | (SzpTable[value] & 0xC0) |
                                        (c.cpu.Regs().iff2 ? CCpu::FLAG_PV : 0));
        c.budget -= 9;
    }

    // The end of one block step: repeat by going back to the prefix, or finish.
    static VORLIX_ALWAYS_INLINE void EndStep(CCpuCore& c, bool again)
    {
        if (again) {
            c.pc = static_cast<std::uint16_t>(c.pc - 2);
            c.budget -= 21;
        } else {
            c.budget -= 16;
        }
    }
    static VORLIX_ALWAYS_INLINE void Ld(CCpuCore& c, int step, bool repeat)
    {
        c.Write(c.de, c.Read(c.hl));
        c.de = static_cast<std::uint16_t>(c.de + step);
        c.hl = static_cast<std::uint16_t>(c.hl + step);
        --c.bc;
        c.f = static_cast<std::uint8_t>((c.f & 0xE9) | (c.bc ? CCpu::FLAG_PV : 0));
        EndStep(c, repeat && c.bc != 0);
    }
    static VORLIX_ALWAYS_INLINE void Cp(CCpuCore& c, int step, bool repeat)
    {
        const std::uint8_t v = c.Read(c.hl);
        const std::uint8_t flags = SubFlags8(c.f, c.a, v, c.a - v);
        c.hl = static_cast<std::uint16_t>(c.hl + step);
        --c.bc;
        c.f = static_cast<std::uint8_t>((flags & 0xFA) | (c.f & CCpu::FLAG_C) | (c.bc ? CCpu::FLAG_PV : 0));
        EndStep(c, repeat && c.bc != 0 && !(c.f & CCpu::FLAG_Z));
    }
    // Z from B after its decrement, N set, everything else kept.
    static VORLIX_ALWAYS_INLINE void CountDownB(CCpuCore& c)
    {
        const std::uint8_t b = static_cast<std::uint8_t>(CCpuCore::Hi(c.bc) - 1);
        CCpuCore::SetHi(c.bc, b);
        c.f = static_cast<std::uint8_t>((c.f & 0xBF) | CCpu::FLAG_N | (b == 0 ? CCpu::FLAG_Z : 0));
    }
    static VORLIX_ALWAYS_INLINE void In(CCpuCore& c, int step, bool repeat)
    {
        const std::uint8_t v = c.In(CCpuCore::Lo(c.bc));
        c.Write(c.hl, v);
        c.hl = static_cast<std::uint16_t>(c.hl + step);
        CountDownB(c);
        EndStep(c, repeat && CCpuCore::Hi(c.bc) != 0);
    }
    // The device sees HL and B as they were before the step; the step then applies to the
    // values the device left.
    static VORLIX_ALWAYS_INLINE void Out(CCpuCore& c, int step, bool repeat)
    {
        c.Out(CCpuCore::Lo(c.bc), c.Read(c.hl));
        c.hl = static_cast<std::uint16_t>(c.hl + step);
        CountDownB(c);
        EndStep(c, repeat && CCpuCore::Hi(c.bc) != 0);
    }
};
