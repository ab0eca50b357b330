// The fpcore test image loaded into a Z80Routine, with FAC and BCDE access by packed word.
// Shared by the tests of fp.s, fpio.s and fpfn.s.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "FpNumber.h"
#include "Z80Routine.h"

class FpRig : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(z80.Load(FPCORE_IMAGE, FPCORE_MAP)); }

    std::uint16_t fac() const { return z80["fac"]; }
    void SetFac(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            z80.Memory().WriteByte(fac() + i, static_cast<std::uint8_t>(v >> (8 * i)));
    }
    std::uint32_t Fac()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(z80.Memory().ReadByte(fac() + i)) << (8 * i);
        return v;
    }
    void SetBcde(std::uint32_t v)
    {
        z80.Regs().bc = static_cast<std::uint16_t>(v >> 16);
        z80.Regs().de = static_cast<std::uint16_t>(v);
    }
    // Calls the routine; returns the error number it raised, or 0 when it returned.
    int Run(const std::string& routine)
    {
        const Z80Routine::Result r = z80.Call(routine);
        lastCycles = r.cycles;
        if (r.outcome == Z80Routine::Outcome::Halted)
            return z80.Regs().de & 0xFF;
        EXPECT_EQ(r.outcome, Z80Routine::Outcome::Returned) << routine;
        return 0;
    }

    Z80Routine z80;
    std::uint64_t lastCycles = 0;
};
