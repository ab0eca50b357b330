// fpfn.s: the functions swept against the host's double results (seeded, over the usual
// ranges and up to a few thousand radians for SIN and COS), ^ on a table of exact and error
// cases, and the generator's sequences.
#include <cmath>
#include <functional>
#include <random>
#include <set>

#include "FpRig.h"

namespace {

using FpNumber::Pack;
using FpNumber::Unpack;

constexpr int OK = 0, OV = 6, DZ = 11, FC = 5;

std::uint32_t P(long double x) { return Pack(x).value(); }

class FpFn : public FpRig {
protected:
    int Unary(const char* routine, std::uint32_t x)
    {
        SetFac(x);
        return Run(routine);
    }
    // The largest error seen, relative to max(|host|, floor).
    double Sweep(const char* routine, const std::function<double(double)>& host,
                 const std::function<double(std::mt19937&)>& argument, double floor, int count = 300)
    {
        std::mt19937 rng(2024);
        double worst = 0;
        for (int i = 0; i < count; ++i) {
            const std::uint32_t x = P(argument(rng));
            const double arg = Unpack(x);
            EXPECT_EQ(Unary(routine, x), OK) << routine << " " << arg;
            const double expected = host(arg);
            const double error = std::fabs(Unpack(Fac()) - expected) / std::fmax(std::fabs(expected), floor);
            if (error > worst) {
                worst = error;
                worstArgument = arg;
            }
        }
        return worst;
    }
    double worstArgument = 0;
};

double LogUniform(std::mt19937& rng, double lo, double hi)
{
    return std::exp(std::uniform_real_distribution<double>(std::log(lo), std::log(hi))(rng));
}
double Uniform(std::mt19937& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
double Signed(std::mt19937& rng, double lo, double hi)
{
    return (rng() & 1 ? -1 : 1) * LogUniform(rng, lo, hi);
}

TEST_F(FpFn, FunctionsAgreeWithTheHost)
{
    const struct {
        const char* routine;
        double (*host)(double);
        std::function<double(std::mt19937&)> argument;
        double floor, tolerance;
    } sweeps[] = {
        {"fp_sqr", [](double x) { return std::sqrt(x); }, [](auto& r) { return LogUniform(r, 1e-37, 1e37); }, 0, 1.2e-7},
        {"fp_exp", [](double x) { return std::exp(x); }, [](auto& r) { return Uniform(r, -87, 88); }, 0, 1e-6},
        {"fp_exp", [](double x) { return std::exp(x); }, [](auto& r) { return Signed(r, 1e-8, 2); }, 0, 2e-7},
        {"fp_log", [](double x) { return std::log(x); }, [](auto& r) { return LogUniform(r, 1e-38, 1e38); }, 0, 1e-6},
        {"fp_log", [](double x) { return std::log(x); }, [](auto& r) { return Uniform(r, 0.5, 2); }, 0, 1e-6},
        {"fp_sin", [](double x) { return std::sin(x); }, [](auto& r) { return Uniform(r, -10, 10); }, 1e-1, 1e-6},
        {"fp_sin", [](double x) { return std::sin(x); }, [](auto& r) { return Signed(r, 1e-6, 1); }, 0, 3e-7},
        {"fp_sin", [](double x) { return std::sin(x); }, [](auto& r) { return Uniform(r, -4000, 4000); }, 1e-1, 1e-6},
        {"fp_cos", [](double x) { return std::cos(x); }, [](auto& r) { return Uniform(r, -10, 10); }, 1e-1, 1e-6},
        {"fp_cos", [](double x) { return std::cos(x); }, [](auto& r) { return Uniform(r, -4000, 4000); }, 1e-1, 1e-6},
        {"fp_tan", [](double x) { return std::tan(x); }, [](auto& r) { return Uniform(r, -1.5, 1.5); }, 1e-1, 1.5e-6},
        {"fp_atn", [](double x) { return std::atan(x); }, [](auto& r) { return Signed(r, 1e-6, 1e6); }, 0, 1e-6},
    };
    for (const auto& s : sweeps) {
        const double worst = Sweep(s.routine, s.host, s.argument, s.floor);
        EXPECT_LE(worst, s.tolerance) << s.routine << " worst at " << worstArgument;
    }
}

TEST_F(FpFn, SpecialValuesAndErrors)
{
    const struct {
        const char* routine;
        long double x;
        int error;
        long double result;
    } rows[] = {
        {"fp_sqr", 0, OK, 0},        {"fp_sqr", 4, OK, 2},          {"fp_sqr", 2, OK, std::sqrt(2.0L)},
        {"fp_sqr", -1, FC, 0},       {"fp_sqr", 1e-38L, OK, 1e-19L}, {"fp_exp", 0, OK, 1},
        {"fp_exp", 1, OK, std::exp(1.0L)}, {"fp_exp", 89, OV, 0},   {"fp_exp", 200, OV, 0},
        {"fp_exp", -100, OK, 0},     {"fp_exp", -1000, OK, 0},      {"fp_log", 1, OK, 0},
        {"fp_log", 0, FC, 0},        {"fp_log", -2, FC, 0},         {"fp_sin", 0, OK, 0},
        {"fp_cos", 0, OK, 1},        {"fp_atn", 0, OK, 0},          {"fp_atn", 1, OK, std::atan(1.0L)},
        {"fp_atn", -1e30L, OK, -std::atan(1.0L) * 2},               {"fp_tan", 0, OK, 0},
    };
    for (const auto& r : rows) {
        const int error = Unary(r.routine, P(r.x));
        EXPECT_EQ(error, r.error) << r.routine << " " << (double)r.x;
        if (error == OK && r.error == OK) {
            EXPECT_LE(FpNumber::UlpDistance(Fac(), P(r.result)), 1) << r.routine << " " << (double)r.x << " gives "
                                                                   << Unpack(Fac());
        }
    }
}

TEST_F(FpFn, Powers)
{
    const struct {
        long double base, exponent;
        int error;
        long double result;
        double tolerance;  // relative; 0 means exact
    } rows[] = {
        {-2, 3, OK, -8, 0},         {0, 0, OK, 1, 0},           {5, 0, OK, 1, 0},
        {2, 10, OK, 1024, 0},       {2, -2, OK, 0.25, 0},       {3, 5, OK, 243, 0},
        {1.5, 2, OK, 2.25, 0},      {-3, 2, OK, 9, 0},          {-2, -3, OK, -0.125, 0},
        {10, 2, OK, 100, 0},        {0, 2, OK, 0, 0},           {0, -1, DZ, 0, 0},
        {-8, 1.0L / 3, FC, 0, 0},   {2, 0.5, OK, std::sqrt(2.0L), 3e-7},
        {10, 2.5, OK, std::pow(10.0L, 2.5L), 1e-6},
        {-2, 64, OK, std::ldexp(1.0L, 64), 3e-6},               {-2, 65, OK, -std::ldexp(1.0L, 65), 3e-6},
        {10, 38, OK, 1e38L, 3e-6},  {10, 39, OV, 0, 0},         {2, -130, OK, 0, 0},
        {1.0001L, 63, OK, std::pow(1.0001L, 63.0L), 2e-6},
        // 1 / x^n while x^n is a number, else 0 or too large.
        {2, -63, OK, std::ldexp(1.0L, -63), 0},                  {0.5, -63, OK, std::ldexp(1.0L, 63), 0},
        {10, -39, OK, 0, 0},        {1e30L, -2, OK, 0, 0},      {-1e30L, -3, OK, 0, 0},
        {1e-30L, -2, OV, 0, 0},     {0.5, -130, OV, 0, 0},      {10, -37, OK, 1e-37L, 3e-6},
    };
    for (const auto& r : rows) {
        SetBcde(P(r.base));
        SetFac(P(r.exponent));
        const int error = Run("fp_pow");
        EXPECT_EQ(error, r.error) << (double)r.base << "^" << (double)r.exponent;
        if (error != OK || r.error != OK)
            continue;
        if (r.tolerance == 0) {
            EXPECT_EQ(Fac(), P(r.result)) << (double)r.base << "^" << (double)r.exponent << " gives " << Unpack(Fac());
        } else {
            EXPECT_NEAR(Unpack(Fac()) / (double)r.result, 1, r.tolerance) << (double)r.base << "^" << (double)r.exponent;
        }
    }
    std::mt19937 rng(5);
    for (int i = 0; i < 200; ++i) {
        const double x = Unpack(P(LogUniform(rng, 0.1, 10))), y = Unpack(P(Uniform(rng, -12, 12)));
        SetBcde(P(x));
        SetFac(P(y));
        ASSERT_EQ(Run("fp_pow"), OK);
        EXPECT_NEAR(Unpack(Fac()) / std::pow(x, y), 1, 3e-6) << x << "^" << y;
    }
}

TEST_F(FpFn, RandomSequences)
{
    auto sequence = [&](int n) {
        std::vector<std::uint32_t> values;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(Unary("fp_rnd", P(1)), OK);
            values.push_back(Fac());
        }
        return values;
    };
    z80.Regs().hl = 1234;
    ASSERT_EQ(Run("fp_seed"), OK);
    EXPECT_EQ(z80.Regs().hl, 1234);
    const std::vector<std::uint32_t> first = sequence(1000);
    double sum = 0;
    for (std::uint32_t v : first) {
        const double x = Unpack(v);
        ASSERT_GE(x, 0);
        ASSERT_LT(x, 1);
        sum += x;
    }
    EXPECT_NEAR(sum / first.size(), 0.5, 0.03);
    EXPECT_GT(std::set<std::uint32_t>(first.begin(), first.end()).size(), 990u);
    // RND(0) repeats the last value; the same seed gives the same sequence, another seed not.
    ASSERT_EQ(Unary("fp_rnd", 0), OK);
    EXPECT_EQ(Fac(), first.back());
    z80.Regs().hl = 1234;
    ASSERT_EQ(Run("fp_seed"), OK);
    EXPECT_EQ(sequence(20), std::vector<std::uint32_t>(first.begin(), first.begin() + 20));
    z80.Regs().hl = 1235;
    ASSERT_EQ(Run("fp_seed"), OK);
    EXPECT_NE(sequence(20), std::vector<std::uint32_t>(first.begin(), first.begin() + 20));
    // A negative argument restarts from itself.
    ASSERT_EQ(Unary("fp_rnd", P(-3)), OK);
    const std::vector<std::uint32_t> again = {Fac(), sequence(1)[0]};
    ASSERT_EQ(Unary("fp_rnd", P(-3)), OK);
    EXPECT_EQ(Fac(), again[0]);
    EXPECT_EQ(sequence(1)[0], again[1]);
}

}  // namespace
