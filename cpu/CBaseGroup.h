// The unprefixed instruction set: one case per opcode byte, each doing the whole instruction
// and charging its T-states. The prefixes 0xCB, 0xDD, 0xFD and 0xED hand over to their
// groups. Called only by CCpu's run loop, into which it is inlined.
#pragma once

#include <cstdint>
#include <utility>

#include "cpu/CBitGroup.h"
#include "cpu/CCpuCore.h"
#include "cpu/CExtendedGroup.h"
#include "cpu/CIndexGroup.h"

class CBaseGroup {
public:
    static VORLIX_ALWAYS_INLINE void Execute(CCpuCore& c, std::uint8_t opcode)
    {
        switch (opcode) {
                case 0x00: c.budget -= 4; break;
                case 0x01: c.bc = c.FetchWord(); c.budget -= 10; break;
                case 0x02: c.Write(c.bc, c.a); c.budget -= 7; break;
                case 0x03: ++c.bc; c.budget -= 6; break;
                case 0x04: Inc<B>(c); break;
                case 0x05: Dec<B>(c); break;
                case 0x06: LdN<B>(c); break;
                case 0x07: Rlca(c); break;
                case 0x08: ExAf(c); break;
                case 0x09: AddHl(c, c.bc); break;
                case 0x0A: c.a = c.Read(c.bc); c.budget -= 7; break;
                case 0x0B: --c.bc; c.budget -= 6; break;
                case 0x0C: Inc<C>(c); break;
                case 0x0D: Dec<C>(c); break;
                case 0x0E: LdN<C>(c); break;
                case 0x0F: Rrca(c); break;
                case 0x10: Djnz(c); break;
                case 0x11: c.de = c.FetchWord(); c.budget -= 10; break;
                case 0x12: c.Write(c.de, c.a); c.budget -= 7; break;
                case 0x13: ++c.de; c.budget -= 6; break;
                case 0x14: Inc<D>(c); break;
                case 0x15: Dec<D>(c); break;
                case 0x16: LdN<D>(c); break;
                case 0x17: Rla(c); break;
                case 0x18: c.JumpRelative(); c.budget -= 12; break;
                case 0x19: AddHl(c, c.de); break;
                case 0x1A: c.a = c.Read(c.de); c.budget -= 7; break;
                case 0x1B: --c.de; c.budget -= 6; break;
                case 0x1C: Inc<E>(c); break;
                case 0x1D: Dec<E>(c); break;
                case 0x1E: LdN<E>(c); break;
                case 0x1F: Rra(c); break;
                case 0x20: JrCc<0>(c); break;
                case 0x21: c.hl = c.FetchWord(); c.budget -= 10; break;
                case 0x22: c.WriteWord(c.FetchWord(), c.hl); c.budget -= 16; break;
                case 0x23: ++c.hl; c.budget -= 6; break;
                case 0x24: Inc<H>(c); break;
                case 0x25: Dec<H>(c); break;
                case 0x26: LdN<H>(c); break;
                case 0x27: Daa(c); break;
                case 0x28: JrCc<1>(c); break;
                case 0x29: AddHl(c, c.hl); break;
                case 0x2A: c.hl = c.ReadWord(c.FetchWord()); c.budget -= 16; break;
                case 0x2B: --c.hl; c.budget -= 6; break;
                case 0x2C: Inc<L>(c); break;
                case 0x2D: Dec<L>(c); break;
                case 0x2E: LdN<L>(c); break;
                case 0x2F: c.a = static_cast<std::uint8_t>(~c.a); c.f |= 0x12; c.budget -= 4; break;
                case 0x30: JrCc<2>(c); break;
                case 0x31: c.sp = c.FetchWord(); c.budget -= 10; break;
                case 0x32: c.Write(c.FetchWord(), c.a); c.budget -= 13; break;
                case 0x33: ++c.sp; c.budget -= 6; break;
                case 0x34: Inc<M>(c); break;
                case 0x35: Dec<M>(c); break;
                case 0x36: LdN<M>(c); break;
                case 0x37: c.f = static_cast<std::uint8_t>((c.f & 0xED) | 0x01); c.budget -= 4; break;
                case 0x38: JrCc<3>(c); break;
                case 0x39: AddHl(c, c.sp); break;
                case 0x3A: c.a = c.Read(c.FetchWord()); c.budget -= 13; break;
                case 0x3B: --c.sp; c.budget -= 6; break;
                case 0x3C: Inc<A>(c); break;
                case 0x3D: Dec<A>(c); break;
                case 0x3E: LdN<A>(c); break;
                case 0x3F: c.f = static_cast<std::uint8_t>((c.f ^ 0x01) & 0xFD); c.budget -= 4; break;
                case 0x40: Ld<B, B>(c); break;
                case 0x41: Ld<B, C>(c); break;
                case 0x42: Ld<B, D>(c); break;
                case 0x43: Ld<B, E>(c); break;
                case 0x44: Ld<B, H>(c); break;
                case 0x45: Ld<B, L>(c); break;
                case 0x46: Ld<B, M>(c); break;
                case 0x47: Ld<B, A>(c); break;
                case 0x48: Ld<C, B>(c); break;
                case 0x49: Ld<C, C>(c); break;
                case 0x4A: Ld<C, D>(c); break;
                case 0x4B: Ld<C, E>(c); break;
                case 0x4C: Ld<C, H>(c); break;
                case 0x4D: Ld<C, L>(c); break;
                case 0x4E: Ld<C, M>(c); break;
                case 0x4F: Ld<C, A>(c); break;
                case 0x50: Ld<D, B>(c); break;
                case 0x51: Ld<D, C>(c); break;
                case 0x52: Ld<D, D>(c); break;
                case 0x53: Ld<D, E>(c); break;
                case 0x54: Ld<D, H>(c); break;
                case 0x55: Ld<D, L>(c); break;
                case 0x56: Ld<D, M>(c); break;
                case 0x57: Ld<D, A>(c); break;
                case 0x58: Ld<E, B>(c); break;
                case 0x59: Ld<E, C>(c); break;
                case 0x5A: Ld<E, D>(c); break;
                case 0x5B: Ld<E, E>(c); break;
                case 0x5C: Ld<E, H>(c); break;
                case 0x5D: Ld<E, L>(c); break;
                case 0x5E: Ld<E, M>(c); break;
                case 0x5F: Ld<E, A>(c); break;
                case 0x60: Ld<H, B>(c); break;
                case 0x61: Ld<H, C>(c); break;
                case 0x62: Ld<H, D>(c); break;
                case 0x63: Ld<H, E>(c); break;
                case 0x64: Ld<H, H>(c); break;
                case 0x65: Ld<H, L>(c); break;
                case 0x66: Ld<H, M>(c); break;
                case 0x67: Ld<H, A>(c); break;
                case 0x68: Ld<L, B>(c); break;
                case 0x69: Ld<L, C>(c); break;
                case 0x6A: Ld<L, D>(c); break;
                case 0x6B: Ld<L, E>(c); break;
                case 0x6C: Ld<L, H>(c); break;
                case 0x6D: Ld<L, L>(c); break;
                case 0x6E: Ld<L, M>(c); break;
                case 0x6F: Ld<L, A>(c); break;
                case 0x70: Ld<M, B>(c); break;
                case 0x71: Ld<M, C>(c); break;
                case 0x72: Ld<M, D>(c); break;
                case 0x73: Ld<M, E>(c); break;
                case 0x74: Ld<M, H>(c); break;
                case 0x75: Ld<M, L>(c); break;
                case 0x76: c.events |= CCpu::EVENT_HALT; c.budget -= 4; break;
                case 0x77: Ld<M, A>(c); break;
                case 0x78: Ld<A, B>(c); break;
                case 0x79: Ld<A, C>(c); break;
                case 0x7A: Ld<A, D>(c); break;
                case 0x7B: Ld<A, E>(c); break;
                case 0x7C: Ld<A, H>(c); break;
                case 0x7D: Ld<A, L>(c); break;
                case 0x7E: Ld<A, M>(c); break;
                case 0x7F: Ld<A, A>(c); break;
                case 0x80: Alu<0, B>(c); break;
                case 0x81: Alu<0, C>(c); break;
                case 0x82: Alu<0, D>(c); break;
                case 0x83: Alu<0, E>(c); break;
                case 0x84: Alu<0, H>(c); break;
                case 0x85: Alu<0, L>(c); break;
                case 0x86: Alu<0, M>(c); break;
                case 0x87: Alu<0, A>(c); break;
                case 0x88: Alu<1, B>(c); break;
                case 0x89: Alu<1, C>(c); break;
                case 0x8A: Alu<1, D>(c); break;
                case 0x8B: Alu<1, E>(c); break;
                case 0x8C: Alu<1, H>(c); break;
                case 0x8D: Alu<1, L>(c); break;
                case 0x8E: Alu<1, M>(c); break;
                case 0x8F: Alu<1, A>(c); break;
                case 0x90: Alu<2, B>(c); break;
                case 0x91: Alu<2, C>(c); break;
                case 0x92: Alu<2, D>(c); break;
                case 0x93: Alu<2, E>(c); break;
                case 0x94: Alu<2, H>(c); break;
                case 0x95: Alu<2, L>(c); break;
                case 0x96: Alu<2, M>(c); break;
                case 0x97: Alu<2, A>(c); break;
                case 0x98: Alu<3, B>(c); break;
                case 0x99: Alu<3, C>(c); break;
                case 0x9A: Alu<3, D>(c); break;
                case 0x9B: Alu<3, E>(c); break;
                case 0x9C: Alu<3, H>(c); break;
                case 0x9D: Alu<3, L>(c); break;
                case 0x9E: Alu<3, M>(c); break;
                case 0x9F: Alu<3, A>(c); break;
                case 0xA0: Alu<4, B>(c); break;
                case 0xA1: Alu<4, C>(c); break;
                case 0xA2: Alu<4, D>(c); break;
                case 0xA3: Alu<4, E>(c); break;
                case 0xA4: Alu<4, H>(c); break;
                case 0xA5: Alu<4, L>(c); break;
                case 0xA6: Alu<4, M>(c); break;
                case 0xA7: Alu<4, A>(c); break;
                case 0xA8: Alu<5, B>(c); break;
                case 0xA9: Alu<5, C>(c); break;
                case 0xAA: Alu<5, D>(c); break;
                case 0xAB: Alu<5, E>(c); break;
                case 0xAC: Alu<5, H>(c); break;
                case 0xAD: Alu<5, L>(c); break;
                case 0xAE: Alu<5, M>(c); break;
                case 0xAF: Alu<5, A>(c); break;
                case 0xB0: Alu<6, B>(c); break;
                case 0xB1: Alu<6, C>(c); break;
                case 0xB2: Alu<6, D>(c); break;
                case 0xB3: Alu<6, E>(c); break;
                case 0xB4: Alu<6, H>(c); break;
                case 0xB5: Alu<6, L>(c); break;
                case 0xB6: Alu<6, M>(c); break;
                case 0xB7: Alu<6, A>(c); break;
                case 0xB8: Alu<7, B>(c); break;
                case 0xB9: Alu<7, C>(c); break;
                case 0xBA: Alu<7, D>(c); break;
                case 0xBB: Alu<7, E>(c); break;
                case 0xBC: Alu<7, H>(c); break;
                case 0xBD: Alu<7, L>(c); break;
                case 0xBE: Alu<7, M>(c); break;
                case 0xBF: Alu<7, A>(c); break;
                case 0xC0: RetCc<0>(c); break;
                case 0xC1: c.bc = c.Pop(); c.budget -= 10; break;
                case 0xC2: JpCc<0>(c); break;
                case 0xC3: c.pc = c.FetchWord(); c.budget -= 10; break;
                case 0xC4: CallCc<0>(c); break;
                case 0xC5: c.Push(c.bc); c.budget -= 11; break;
                case 0xC6: AluN<0>(c); break;
                case 0xC7: Rst<0x00>(c); break;
                case 0xC8: RetCc<1>(c); break;
                case 0xC9: c.pc = c.Pop(); c.budget -= 10; break;
                case 0xCA: JpCc<1>(c); break;
                case 0xCB: CBitGroup::ExecuteCb(c); break;
                case 0xCC: CallCc<1>(c); break;
                case 0xCD: Call(c); break;
                case 0xCE: AluN<1>(c); break;
                case 0xCF: Rst<0x08>(c); break;
                case 0xD0: RetCc<2>(c); break;
                case 0xD1: c.de = c.Pop(); c.budget -= 10; break;
                case 0xD2: JpCc<2>(c); break;
                case 0xD3: c.Out(c.Fetch(), c.a); c.budget -= 11; break;
                case 0xD4: CallCc<2>(c); break;
                case 0xD5: c.Push(c.de); c.budget -= 11; break;
                case 0xD6: AluN<2>(c); break;
                case 0xD7: Rst<0x10>(c); break;
                case 0xD8: RetCc<3>(c); break;
                case 0xD9: Exx(c); break;
                case 0xDA: JpCc<3>(c); break;
                case 0xDB: { const std::uint8_t port = c.Fetch(); c.a = c.In(port); c.budget -= 11; break; }
                case 0xDC: CallCc<3>(c); break;
                case 0xDD: CIndexGroup::ExecuteIndexed(c, c.ix); break;
                case 0xDE: AluN<3>(c); break;
                case 0xDF: Rst<0x18>(c); break;
                case 0xE0: RetCc<4>(c); break;
                case 0xE1: c.hl = c.Pop(); c.budget -= 10; break;
                case 0xE2: JpCc<4>(c); break;
                case 0xE3: ExSpHl(c); break;
                case 0xE4: CallCc<4>(c); break;
                case 0xE5: c.Push(c.hl); c.budget -= 11; break;
                case 0xE6: AluN<4>(c); break;
                case 0xE7: Rst<0x20>(c); break;
                case 0xE8: RetCc<5>(c); break;
                case 0xE9: c.pc = c.hl; c.budget -= 4; break;
                case 0xEA: JpCc<5>(c); break;
                case 0xEB: std::swap(c.de, c.hl); c.budget -= 4; break;
                case 0xEC: CallCc<5>(c); break;
                case 0xED: CExtendedGroup::ExecuteEd(c); break;
                case 0xEE: AluN<5>(c); break;
                case 0xEF: Rst<0x28>(c); break;
                case 0xF0: RetCc<6>(c); break;
                case 0xF1: PopAf(c); break;
                case 0xF2: JpCc<6>(c); break;
                case 0xF3: SetIff(c, 0); break;
                case 0xF4: CallCc<6>(c); break;
                case 0xF5: c.Push(static_cast<std::uint16_t>((c.a << 8) | c.f)); c.budget -= 11; break;
                case 0xF6: AluN<6>(c); break;
                case 0xF7: Rst<0x30>(c); break;
                case 0xF8: RetCc<7>(c); break;
                case 0xF9: c.sp = c.hl; c.budget -= 6; break;
                case 0xFA: JpCc<7>(c); break;
                case 0xFB: SetIff(c, 1); break;
                case 0xFC: CallCc<7>(c); break;
                case 0xFD: CIndexGroup::ExecuteIndexed(c, c.iy); break;
                case 0xFE: AluN<7>(c); break;
                case 0xFF: Rst<0x38>(c); break;
        }
    }

private:
    static constexpr int B = CCpuCore::RB, C = CCpuCore::RC, D = CCpuCore::RD, E = CCpuCore::RE;
    static constexpr int H = CCpuCore::RH, L = CCpuCore::RL, M = CCpuCore::RM, A = CCpuCore::RA;

    template <int DST, int SRC>
    static VORLIX_ALWAYS_INLINE void Ld(CCpuCore& c)
    {
        c.Set<DST>(c.Get<SRC>());
        c.budget -= (DST == M || SRC == M) ? 7 : 4;
    }
    template <int R>
    static VORLIX_ALWAYS_INLINE void LdN(CCpuCore& c)
    {
        c.Set<R>(c.Fetch());
        c.budget -= R == M ? 10 : 7;
    }
    template <int OP, int SRC>
    static VORLIX_ALWAYS_INLINE void Alu(CCpuCore& c)
    {
        c.Alu<OP>(c.Get<SRC>());
        c.budget -= SRC == M ? 7 : 4;
    }
    template <int OP>
    static VORLIX_ALWAYS_INLINE void AluN(CCpuCore& c)
    {
        c.Alu<OP>(c.Fetch());
        c.budget -= 7;
    }
    template <int R>
    static VORLIX_ALWAYS_INLINE void Inc(CCpuCore& c)
    {
        const std::uint8_t v = static_cast<std::uint8_t>(c.Get<R>() + 1);
        c.f = IncFlags8(c.f, v);
        c.Set<R>(v);
        c.budget -= R == M ? 11 : 4;
    }
    template <int R>
    static VORLIX_ALWAYS_INLINE void Dec(CCpuCore& c)
    {
        const std::uint8_t v = static_cast<std::uint8_t>(c.Get<R>() - 1);
        c.f = DecFlags8(c.f, v);
        c.Set<R>(v);
        c.budget -= R == M ? 11 : 4;
    }

    static VORLIX_ALWAYS_INLINE void AddHl(CCpuCore& c, std::uint16_t value)
    {
        const unsigned r = c.hl + value;
        c.f = HlAddFlags16(c.f, c.hl, value, r);
        c.hl = static_cast<std::uint16_t>(r);
        c.budget -= 11;
    }

    // The accumulator rotates: H and N cleared, S, Z, P/V and bits 5 and 3 kept.
    static VORLIX_ALWAYS_INLINE void Rlca(CCpuCore& c)
    {
        const unsigned carry = c.a >> 7;
        c.a = static_cast<std::uint8_t>((c.a << 1) | carry);
        c.f = static_cast<std::uint8_t>((c.f & 0xEC) | carry);
        c.budget -= 4;
    }
    static VORLIX_ALWAYS_INLINE void Rrca(CCpuCore& c)
    {
        const unsigned carry = c.a & 1;
        c.a = static_cast<std::uint8_t>((c.a >> 1) | (carry << 7));
        c.f = static_cast<std::uint8_t>((c.f & 0xEC) | carry);
        c.budget -= 4;
    }
    static VORLIX_ALWAYS_INLINE void Rla(CCpuCore& c)
    {
        const unsigned carry = c.a >> 7;
        c.a = static_cast<std::uint8_t>((c.a << 1) | (c.f & CCpu::FLAG_C));
        c.f = static_cast<std::uint8_t>((c.f & 0xEC) | carry);
        c.budget -= 4;
    }
    static VORLIX_ALWAYS_INLINE void Rra(CCpuCore& c)
    {
        const unsigned carry = c.a & 1;
        c.a = static_cast<std::uint8_t>((c.a >> 1) | ((c.f & CCpu::FLAG_C) << 7));
        c.f = static_cast<std::uint8_t>((c.f & 0xEC) | carry);
        c.budget -= 4;
    }

    // Decimal adjust: the correction byte and new carry by N, C, H and the two digits; H comes
    // from the correction addition itself, also after a subtraction.
    static VORLIX_ALWAYS_INLINE void Daa(CCpuCore& c)
    {
        const unsigned high = c.a >> 4, low = c.a & 0x0F;
        const bool n = c.f & CCpu::FLAG_N, carry = c.f & CCpu::FLAG_C, half = c.f & CCpu::FLAG_H;
        unsigned fix = 0;
        unsigned newCarry = 0;
        if (!n) {
            if (!carry && !half) {
                if (low <= 9 && high <= 9) fix = 0x00, newCarry = 0;
                else if (low <= 9) fix = 0x60, newCarry = 1;
                else if (high <= 8) fix = 0x06, newCarry = 0;
                else fix = 0x66, newCarry = 1;
            } else if (!carry) {
                if (high <= 9) fix = 0x06, newCarry = 0;
                else fix = 0x66, newCarry = 1;
            } else if (!half) {
                fix = low <= 9 ? 0x60 : 0x66;
                newCarry = 1;
            } else {
                fix = 0x66, newCarry = 1;
            }
        } else {
            if (!carry) fix = half ? 0xFA : 0x00, newCarry = 0;
            else fix = half ? 0x9A : 0xA0, newCarry = 1;
        }
        const unsigned r = c.a + fix;
        const std::uint8_t flags = AddFlags8(c.f, c.a, fix, r);
        c.a = static_cast<std::uint8_t>(r);
        c.f = static_cast<std::uint8_t>((flags & 0xF8) | (ParityTable[c.a] ? CCpu::FLAG_PV : 0) |
                                        (n ? CCpu::FLAG_N : 0) | newCarry);
        c.budget -= 4;
    }

    static VORLIX_ALWAYS_INLINE void ExAf(CCpuCore& c)
    {
        CCpu::Registers& regs = c.cpu.Regs();
        const std::uint16_t other = regs.af2;
        regs.af2 = static_cast<std::uint16_t>((c.a << 8) | c.f);
        c.a = static_cast<std::uint8_t>(other >> 8);
        c.f = static_cast<std::uint8_t>(other);
        c.budget -= 4;
    }
    static VORLIX_ALWAYS_INLINE void Exx(CCpuCore& c)
    {
        CCpu::Registers& regs = c.cpu.Regs();
        std::swap(c.bc, regs.bc2);
        std::swap(c.de, regs.de2);
        std::swap(c.hl, regs.hl2);
        c.budget -= 4;
    }
    static VORLIX_ALWAYS_INLINE void ExSpHl(CCpuCore& c)
    {
        const std::uint16_t value = c.ReadWord(c.sp);
        c.WriteWord(c.sp, c.hl);
        c.hl = value;
        c.budget -= 19;
    }
    static VORLIX_ALWAYS_INLINE void PopAf(CCpuCore& c)
    {
        const std::uint16_t value = c.Pop();
        c.a = static_cast<std::uint8_t>(value >> 8);
        c.f = static_cast<std::uint8_t>(value);
        c.budget -= 10;
    }
    static VORLIX_ALWAYS_INLINE void SetIff(CCpuCore& c, std::uint8_t value)
    {
        CCpu::Registers& regs = c.cpu.Regs();
        regs.iff1 = value;
        regs.iff2 = value;
        c.budget -= 4;
    }

    static VORLIX_ALWAYS_INLINE void Djnz(CCpuCore& c)
    {
        const std::uint8_t b = static_cast<std::uint8_t>(CCpuCore::Hi(c.bc) - 1);
        CCpuCore::SetHi(c.bc, b);
        if (b != 0) {
            c.JumpRelative();
            c.budget -= 13;
        } else {
            ++c.pc;
            c.budget -= 8;
        }
    }
    template <int CC>
    static VORLIX_ALWAYS_INLINE void JrCc(CCpuCore& c)
    {
        if (c.Condition<CC>()) {
            c.JumpRelative();
            c.budget -= 12;
        } else {
            ++c.pc;
            c.budget -= 7;
        }
    }
    template <int CC>
    static VORLIX_ALWAYS_INLINE void JpCc(CCpuCore& c)
    {
        const std::uint16_t target = c.FetchWord();
        if (c.Condition<CC>())
            c.pc = target;
        c.budget -= 10;
    }
    static VORLIX_ALWAYS_INLINE void Call(CCpuCore& c)
    {
        const std::uint16_t target = c.FetchWord();
        c.Push(c.pc);
        c.pc = target;
        c.budget -= 17;
    }
    template <int CC>
    static VORLIX_ALWAYS_INLINE void CallCc(CCpuCore& c)
    {
        const std::uint16_t target = c.FetchWord();
        if (c.Condition<CC>()) {
            c.Push(c.pc);
            c.pc = target;
            c.budget -= 17;
        } else {
            c.budget -= 10;
        }
    }
    template <int CC>
    static VORLIX_ALWAYS_INLINE void RetCc(CCpuCore& c)
    {
        if (c.Condition<CC>()) {
            c.pc = c.Pop();
            c.budget -= 11;
        } else {
            c.budget -= 5;
        }
    }
    template <std::uint16_t TARGET>
    static VORLIX_ALWAYS_INLINE void Rst(CCpuCore& c)
    {
        c.Push(c.pc);
        c.pc = TARGET;
        c.budget -= 11;
    }
};
