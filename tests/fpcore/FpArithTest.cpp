// fp.s: arithmetic, comparison and integer conversions against host results rounded the
// way the ROM rounds (to 24 bits, halves away from zero), literal edge cases and seeded sweeps.
#include <cmath>
#include <random>

#include "FpRig.h"

namespace {

using FpNumber::Pack;
using FpNumber::Unpack;

constexpr int OK = 0, OV = 6, DZ = 11, FC = 5;
const long double MAX = std::ldexp(1.0L - std::ldexp(1.0L, -24), 127);  // exponent byte 255
const long double MIN = std::ldexp(1.0L, -128);                          // exponent byte 1

std::uint32_t P(long double x) { return Pack(x).value(); }

class FpArith : public FpRig {
protected:
    // BCDE = a, FAC = b, then the routine; FAC or the error number.
    int Binary(const char* routine, long double a, long double b)
    {
        SetBcde(P(a));
        SetFac(P(b));
        return Run(routine);
    }
};

TEST_F(FpArith, BinaryOperationsOnEdgeCases)
{
    struct Row {
        const char* routine;
        long double a, b;
        int error;
        long double result;
    };
    const long double ULP1 = std::ldexp(1.0L, -23);  // the last place of numbers in [1,2)
    const Row rows[] = {
        {"fp_add", 1, 1, OK, 2},
        {"fp_add", 3, -5, OK, -2},
        {"fp_add", -5, 3, OK, -2},
        {"fp_add", 1, -1, OK, 0},
        {"fp_add", 0, -7.5, OK, -7.5},
        {"fp_add", -7.5, 0, OK, -7.5},
        {"fp_add", 16777215, 1, OK, 16777216},
        {"fp_add", 0.5, std::ldexp(1.0L, -25), OK, 0.5 + std::ldexp(1.0L, -24)},  // a half rounds away
        {"fp_add", 1 + ULP1, -1, OK, ULP1},                                         // cancellation
        {"fp_add", 1, -(1 - std::ldexp(1.0L, -24)), OK, std::ldexp(1.0L, -24)},
        {"fp_add", 1e30L, 1, OK, 1e30L},
        {"fp_add", 1, std::ldexp(1.0L, -26), OK, 1},
        {"fp_add", MAX, MAX, OV, 0},
        {"fp_add", MAX, -MAX, OK, 0},
        {"fp_add", 3 * MIN, -2 * MIN, OK, MIN},
        {"fp_sub", 10, 4, OK, 6},
        {"fp_sub", 4, 10, OK, -6},
        {"fp_sub", 0, 3, OK, -3},
        {"fp_sub", 3, 0, OK, 3},
        {"fp_sub", 2.5, 2.5, OK, 0},
        {"fp_sub", 0, 0, OK, 0},  // not -0
        {"fp_sub", -MAX, MAX, OV, 0},
        {"fp_mul", 3, 4, OK, 12},
        {"fp_mul", -2, 3, OK, -6},
        {"fp_mul", -2, -0.25, OK, 0.5},
        {"fp_mul", 0, 5, OK, 0},
        {"fp_mul", 5, 0, OK, 0},
        {"fp_mul", 1.5, 1.5, OK, 2.25},
        {"fp_mul", 16777215, 16777215, OK, 16777215.0L * 16777215.0L},
        {"fp_mul", std::ldexp(1.0L, 126), 1, OK, std::ldexp(1.0L, 126)},  // exponent 256 brought back
        {"fp_mul", 1, std::ldexp(1.0L, 126), OK, std::ldexp(1.0L, 126)},
        {"fp_mul", std::ldexp(0.75L, 127), 1.5, OV, 0},
        {"fp_mul", MAX, 2, OV, 0},
        {"fp_mul", MIN, 0.5, OK, 0},
        {"fp_mul", MIN, 1, OK, MIN},
        {"fp_mul", MIN, MIN, OK, 0},
        {"fp_div", 1, 3, OK, 1.0L / 3},
        {"fp_div", 10, 4, OK, 2.5},
        {"fp_div", -7, 2, OK, -3.5},
        {"fp_div", 7, -7, OK, -1},
        {"fp_div", 0, 5, OK, 0},
        {"fp_div", 5, 0, DZ, 0},
        {"fp_div", 0, 0, DZ, 0},
        {"fp_div", MAX, 0.5, OV, 0},
        {"fp_div", MAX, 1, OK, MAX},
        {"fp_div", MIN, 2, OK, 0},
        {"fp_div", MIN, 1, OK, MIN},
        {"fp_div", 2 * MIN, 2, OK, MIN},
        {"fp_div", MIN, 0.75, OK, MIN / 0.75L},
        {"fp_div", 16777215, 16777216, OK, 16777215.0L / 16777216},
    };
    for (const Row& r : rows) {
        const int error = Binary(r.routine, r.a, r.b);
        EXPECT_EQ(error, r.error) << r.routine << " " << (double)r.a << " " << (double)r.b;
        if (r.error == OK && error == OK) {
            EXPECT_EQ(Fac(), P(r.result)) << r.routine << " " << (double)r.a << " " << (double)r.b << " gives "
                                          << Unpack(Fac());
        }
    }
}

TEST_F(FpArith, SweepsMatchTheHostRoundedToNearest)
{
    std::mt19937 rng(1234);
    std::uniform_int_distribution<std::uint32_t> mant(0x800000, 0xFFFFFF);
    std::uniform_int_distribution<int> sign(0, 1), spread(-30, 30), shape(0, 3);
    auto number = [&](int exponent) {
        std::uint32_t m = mant(rng);
        if (shape(rng) == 0)
            m &= 0xFFFF00;  // some with zero low bytes, as whole numbers have
        const long double x = std::ldexp(static_cast<long double>(m), exponent - 24);
        return sign(rng) ? -x : x;
    };
    const char* const ops[] = {"fp_add", "fp_sub", "fp_mul", "fp_div"};
    for (const char* op : ops) {
        int wrong = 0;
        for (int i = 0; i < 1500; ++i) {
            const int ea = spread(rng);
            const long double a = number(ea), b = number(ea + spread(rng) / (op[3] == 'a' || op[3] == 's' ? 1 : 3));
            long double exact = 0;
            switch (op[3]) {
            case 'a': exact = a + b; break;
            case 's': exact = a - b; break;
            case 'm': exact = a * b; break;
            default: exact = a / b; break;
            }
            ASSERT_EQ(Binary(op, a, b), OK);
            if (Fac() != P(exact) && ++wrong < 5)
                ADD_FAILURE() << op << " " << (double)a << " " << (double)b << " gives " << Unpack(Fac())
                              << " not " << (double)exact;
        }
        EXPECT_EQ(wrong, 0) << op;
    }
}

TEST_F(FpArith, ComparisonSignsAndWholeParts)
{
    // fp_cmp: FAC against BCDE.
    const long double pairs[][2] = {{1, 2}, {2, 1}, {-1, -2}, {-2, -1}, {0, 1}, {1, 0}, {0, -1}, {-1, 0}, {0, 0},
                                    {3, 3}, {-3, -3}, {1.5, 1.5000001L}, {-1.5, 1.5}, {1e-30L, 1e30L}};
    for (const auto& p : pairs) {
        SetFac(P(p[0]));
        SetBcde(P(p[1]));
        z80.Regs().hl = 0x1234;
        ASSERT_EQ(Run("fp_cmp"), OK);
        const int expected = p[0] > p[1] ? 1 : p[0] < p[1] ? 0xFF : 0;
        EXPECT_EQ(z80.Regs().af >> 8, expected) << (double)p[0] << " " << (double)p[1];
        EXPECT_EQ(z80.Regs().bc, P(p[1]) >> 16);
        EXPECT_EQ(z80.Regs().hl, 0x1234);
    }
    // fp_int, fp_fix, fp_neg, fp_abs and fp_sgn on one table: x, floor, trunc.
    const long double whole[][3] = {{2.75, 2, 2}, {-2.75, -3, -2}, {-2, -2, -2}, {0.3, 0, 0}, {-0.3, -1, 0},
                                    {0, 0, 0}, {1e10L, 1e10L, 1e10L}, {8388607.5, 8388607, 8388607},
                                    {-8388607.5, -8388608, -8388607}, {1, 1, 1}, {-0.5, -1, 0},
                                    {65535.99L, 65535, 65535}, {-1e-30L, -1, 0}};
    for (const auto& w : whole) {
        SetFac(P(w[0]));
        ASSERT_EQ(Run("fp_int"), OK);
        EXPECT_EQ(Fac(), P(w[1])) << "INT " << (double)w[0];
        SetFac(P(w[0]));
        ASSERT_EQ(Run("fp_fix"), OK);
        EXPECT_EQ(Fac(), P(w[2])) << "FIX " << (double)w[0];
        SetFac(P(w[0]));
        ASSERT_EQ(Run("fp_neg"), OK);
        EXPECT_EQ(Fac(), P(-w[0]));
        ASSERT_EQ(Run("fp_abs"), OK);
        EXPECT_EQ(Fac(), P(std::fabs(w[0])));
        SetFac(P(w[0]));
        ASSERT_EQ(Run("fp_sgn"), OK);
        EXPECT_EQ(static_cast<std::int8_t>(z80.Regs().af >> 8), (w[0] > 0) - (w[0] < 0));
    }
}

TEST_F(FpArith, IntegerConversions)
{
    for (int v : {0, 1, -1, 2, 5, 10, 127, 128, 255, 256, 1000, 12345, -12345, 32767, -32767, -32768, 16384}) {
        z80.Regs().hl = static_cast<std::uint16_t>(v);
        ASSERT_EQ(Run("fp_from_int"), OK);
        EXPECT_EQ(Fac(), P(v)) << v;
        EXPECT_EQ(z80.Regs().hl, static_cast<std::uint16_t>(v));
    }
    for (unsigned v : {0u, 1u, 32768u, 40000u, 65535u}) {
        z80.Regs().hl = static_cast<std::uint16_t>(v);
        ASSERT_EQ(Run("fp_from_u16"), OK);
        EXPECT_EQ(Fac(), P(v)) << v;
    }
    for (unsigned v : {0u, 1u, 0x123456u, 0xFFFFFFu, 0x800000u, 0x10000u}) {
        z80.Regs().hl = static_cast<std::uint16_t>(v);
        z80.Regs().af = static_cast<std::uint16_t>((v >> 16) << 8);
        ASSERT_EQ(Run("fp_from_u24"), OK);
        EXPECT_EQ(Fac(), P(v)) << v;
        EXPECT_EQ(z80.Regs().hl, static_cast<std::uint16_t>(v));
    }
    struct Row {
        long double x;
        int toIntError, toInt, toU16Error, toU16;
    };
    const Row rows[] = {
        {0, OK, 0, OK, 0},
        {0.49L, OK, 0, OK, 0},
        {0.5, OK, 1, OK, 1},
        {-0.5, OK, -1, OK, 0xFFFF},
        {-0.49L, OK, 0, OK, 0},
        {1.5, OK, 2, OK, 2},
        {2.5, OK, 3, OK, 3},
        {-2.5, OK, -3, OK, 0xFFFD},
        {10, OK, 10, OK, 10},
        {255.5, OK, 256, OK, 256},
        {32767.4L, OK, 32767, OK, 32767},
        {32767.5L, OV, 0, OK, 32768},
        {-32768, OK, -32768, OK, 0x8000},
        {-32768.49L, OK, -32768, OK, 0x8000},
        {-32768.5L, OV, 0, FC, 0},
        {65535, OV, 0, OK, 65535},
        {65535.49L, OV, 0, OK, 65535},
        {65535.5L, OV, 0, FC, 0},
        {1e10L, OV, 0, FC, 0},
        {-1e10L, OV, 0, FC, 0},
        {1e-30L, OK, 0, OK, 0},
    };
    for (const Row& r : rows) {
        SetFac(P(r.x));
        EXPECT_EQ(Run("fp_to_int"), r.toIntError) << (double)r.x;
        if (r.toIntError == OK) {
            EXPECT_EQ(z80.Regs().hl, static_cast<std::uint16_t>(r.toInt)) << (double)r.x;
        }
        SetFac(P(r.x));
        EXPECT_EQ(Run("fp_to_u16"), r.toU16Error) << (double)r.x;
        if (r.toU16Error == OK) {
            EXPECT_EQ(z80.Regs().hl, static_cast<std::uint16_t>(r.toU16)) << (double)r.x;
        }
    }
}

TEST_F(FpArith, RoundingToIntegersSweep)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> wide(-70000, 70000), magnitude(0, 17);
    for (int i = 0; i < 3000; ++i) {
        // Half the values spread evenly, half over every binary exponent up to 2^17.
        const double raw = i % 2 ? wide(rng) : std::copysign(std::exp2(magnitude(rng)), wide(rng));
        const std::uint32_t x = P(i % 7 == 0 ? std::round(raw * 2) / 2 : raw);  // some exact halves
        const double v = Unpack(x);
        const double rounded = std::copysign(std::floor(std::fabs(v) + 0.5), v);
        SetFac(x);
        const int error = Run("fp_to_int");
        if (rounded < -32768 || rounded > 32767) {
            EXPECT_EQ(error, 6) << v;
        } else {
            ASSERT_EQ(error, 0) << v;
            EXPECT_EQ(static_cast<std::int16_t>(z80.Regs().hl), rounded) << v;
        }
        SetFac(x);
        const int error16 = Run("fp_to_u16");
        if (rounded < -32768 || rounded > 65535) {
            EXPECT_EQ(error16, 5) << v;
        } else {
            ASSERT_EQ(error16, 0) << v;
            EXPECT_EQ(z80.Regs().hl, static_cast<std::uint16_t>(static_cast<std::int32_t>(rounded))) << v;
        }
    }
}

TEST_F(FpArith, RoutinesKeepHlIxIy)
{
    // HL unless it is the routine's output, and IX, IY always, on the interpreter's behalf.
    const struct {
        const char* routine;
        long double bcde, fac;
        bool hlOut;
    } rows[] = {
        {"fp_add", 3, 4.5, false},      {"fp_add", 100, -1, false},    {"fp_add", 1, 1e-30L, false},
        {"fp_sub", 3, 4.5, false},      {"fp_sub", 34, 12, false},     {"fp_mul", 3, 4.5, false},
        {"fp_div", 3, 4.5, false},      {"fp_cmp", 3, 4.5, false},     {"fp_neg", 0, 2, false},
        {"fp_abs", 0, -2, false},       {"fp_sgn", 0, -2, false},      {"fp_int", 0, -2.5, false},
        {"fp_fix", 0, -2.5, false},     {"fp_from_int", 0, 0, false},  {"fp_from_u16", 0, 0, false},
        {"fp_from_u24", 0, 0, false},   {"fp_sqr", 0, 2, false},       {"fp_sin", 0, 2, false},
        {"fp_cos", 0, 2, false},        {"fp_tan", 0, 2, false},       {"fp_atn", 0, 2, false},
        {"fp_log", 0, 2, false},        {"fp_exp", 0, 2, false},       {"fp_pow", 2, 0.5, false},
        {"fp_pow", -2, 3, false},       {"fp_rnd", 0, 1, false},       {"fp_seed", 0, 0, false},
        {"fp_to_int", 0, 2.5, true},    {"fp_to_u16", 0, 2.5, true},   {"fp_fout", 0, 2.5, true},
    };
    for (const auto& r : rows) {
        SetBcde(P(r.bcde));
        SetFac(P(r.fac));
        z80.Regs().hl = 0x1234;
        z80.Regs().ix = 0xABCD;
        z80.Regs().iy = 0x5EED;
        ASSERT_EQ(Run(r.routine), OK) << r.routine;
        if (!r.hlOut) {
            EXPECT_EQ(z80.Regs().hl, 0x1234) << r.routine;
        }
        EXPECT_EQ(z80.Regs().ix, 0xABCD) << r.routine;
        EXPECT_EQ(z80.Regs().iy, 0x5EED) << r.routine;
        EXPECT_EQ(z80.Regs().sp, Z80Routine::STACK) << r.routine;
    }
}

TEST_F(FpArith, MovingNumbersKeepsTheOtherRegisters)
{
    const std::uint32_t x = P(-1234.5L), y = P(0.1L);
    const std::uint16_t at = 0x5000;
    for (int i = 0; i < 4; ++i)
        z80.Memory().WriteByte(at + i, static_cast<std::uint8_t>(x >> (8 * i)));
    z80.Regs().hl = at;
    SetBcde(y);
    ASSERT_EQ(Run("fp_ld_fac_hl"), OK);
    EXPECT_EQ(Fac(), x);
    EXPECT_EQ(z80.Regs().hl, at);
    EXPECT_EQ(z80.Regs().bc, y >> 16);
    ASSERT_EQ(Run("fp_ld_bcde_hl"), OK);
    EXPECT_EQ((std::uint32_t{z80.Regs().bc} << 16) | z80.Regs().de, x);
    SetFac(y);
    ASSERT_EQ(Run("fp_st_fac_hl"), OK);
    EXPECT_EQ(z80.Memory().ReadWord(at) | (std::uint32_t{z80.Memory().ReadWord(at + 2)} << 16), y);
    ASSERT_EQ(Run("fp_ld_bcde_fac"), OK);
    EXPECT_EQ((std::uint32_t{z80.Regs().bc} << 16) | z80.Regs().de, y);
    SetBcde(x);
    ASSERT_EQ(Run("fp_ld_fac_bcde"), OK);
    EXPECT_EQ(Fac(), x);
    // fp_push_fac leaves FAC on the stack for `pop de`, `pop bc`; HL and BC stay.
    z80.Regs().bc = 0x4242;
    ASSERT_EQ(Run("fp_push_fac"), OK);
    const std::uint16_t sp = z80.Regs().sp;
    EXPECT_EQ(sp, Z80Routine::STACK - 4);
    EXPECT_EQ(z80.Memory().ReadWord(sp) | (std::uint32_t{z80.Memory().ReadWord(sp + 2)} << 16), x);
    EXPECT_EQ(z80.Regs().hl, at);
    EXPECT_EQ(z80.Regs().bc, 0x4242);
}

}  // namespace
