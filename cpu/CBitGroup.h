// The 0xCB group: rotates and shifts, BIT, RES and SET on a register or the byte at HL.
// The run loop calls ExecuteCb() after the prefix byte; the shift rule is shared with the
// indexed bit operations of CIndexGroup. Inlined into the run loop.
#pragma once

#include <cstdint>

#include "cpu/CCpuCore.h"

class CBitGroup {
public:
    static VORLIX_ALWAYS_INLINE void ExecuteCb(CCpuCore& c)
    {
        const std::uint8_t op = c.Fetch();
        const unsigned code = op & 7;
        const unsigned y = (op >> 3) & 7;
        const bool memory = code == CCpuCore::RM;
        switch (op >> 6) {
        case 0:
            if (y == 6) {
                // 0x30-0x37 are not executed: PC goes back to the prefix.
                c.pc = static_cast<std::uint16_t>(c.pc - 2);
                c.budget -= CCpuCore::UNDEFINED_CYCLES;
                return;
            }
            c.SetR(code, Shift(c, y, c.GetR(code)));
            c.budget -= memory ? 15 : 8;
            break;
        case 1:
            c.f = BitFlags(c.f, c.GetR(code) & (1u << y));
            c.budget -= memory ? 12 : 8;
            break;
        case 2:
            c.SetR(code, static_cast<std::uint8_t>(c.GetR(code) & ~(1u << y)));
            c.budget -= memory ? 15 : 8;
            break;
        default:
            c.SetR(code, static_cast<std::uint8_t>(c.GetR(code) | (1u << y)));
            c.budget -= memory ? 15 : 8;
            break;
        }
    }

    // Rotate or shift y (RLC, RRC, RL, RR, SLA, SRA, SRL; never 6) of v: sets F, returns the result.
    static VORLIX_ALWAYS_INLINE std::uint8_t Shift(CCpuCore& c, unsigned y, std::uint8_t v)
    {
        const unsigned oldCarry = c.f & CCpu::FLAG_C;
        unsigned r = 0;
        unsigned carry = 0;
        switch (y) {
        case 0: r = (v << 1) | (v >> 7); carry = v >> 7; break;
        case 1: r = (v >> 1) | ((v & 1) << 7); carry = v & 1; break;
        case 2: r = (v << 1) | oldCarry; carry = v >> 7; break;
        case 3: r = (v >> 1) | (oldCarry << 7); carry = v & 1; break;
        case 4: r = v << 1; carry = v >> 7; break;
        case 5: r = (v >> 1) | (v & 0x80); carry = v & 1; break;
        default: r = v >> 1; carry = v & 1; break;
        }
        c.f = ShiftFlags(c.f, r & 0xFF, carry);
        return static_cast<std::uint8_t>(r);
    }
};
