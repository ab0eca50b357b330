// fpio.s: numbers to PRINT's text and text to numbers, on literal tables, round trips and a
// seeded sweep of decimal texts against the host's correctly rounded conversion.
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "FpRig.h"

namespace {

using FpNumber::Pack;
using FpNumber::Unpack;

std::uint32_t P(long double x) { return Pack(x).value(); }

class FpIo : public FpRig {
protected:
    static constexpr std::uint16_t TEXT = 0x5000;

    std::string Fout(std::uint32_t v)
    {
        SetFac(v);
        EXPECT_EQ(Run("fp_fout"), 0);
        EXPECT_EQ(Fac(), v);  // FAC is kept
        std::string text;
        for (std::uint16_t a = z80.Regs().hl; z80.Memory().ReadByte(a) != 0 && text.size() < 20; ++a)
            text += static_cast<char>(z80.Memory().ReadByte(a));
        return text;
    }
    // Reads the text; the error number, or 0.
    int Fin(const std::string& text)
    {
        for (std::size_t i = 0; i <= text.size(); ++i)
            z80.Memory().WriteByte(TEXT + i, i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
        z80.Regs().hl = TEXT;
        SetFac(P(123));
        return Run("fp_fin");
    }
    int Consumed() { return z80.Regs().hl - TEXT; }
    bool Carry() { return z80.Regs().af & 1; }
};

TEST_F(FpIo, PrintForms)
{
    const struct {
        long double x;
        const char* text;
    } rows[] = {
        {1.0L / 3, " .333333"},     {std::ldexp(1.0L, 40), " 1.09951E+12"}, {0, " 0"},
        {-2.5, "-2.5"},             {1.5e-7L, " 1.5E-07"},                  {1e6L, " 1000000"},
        {16777216, " 16777216"},    {0.01L, " .01"},                        {123456792, " 123456792"},
        {999999936, " 999999936"},  {1e9L, " 1E+09"},                       {0.5, " .5"},
        {-0.25, "-.25"},            {3.14159L, " 3.14159"},                 {1e-3L, " 1E-03"},
        {100, " 100"},              {1, " 1"},                              {-1, "-1"},
        {-32768, "-32768"},         {65535, " 65535"},                      {999999.5L, " 1000000"},
        {0.0123456L, " .0123456"},  {12345.6L, " 12345.6"},                 {1234567.5L, " 1234570"},
        {0.1L, " .1"},              {2.0L / 3, " .666667"},                 {-1e-20L, "-1E-20"},
        {1e10L, " 1E+10"},          {1.5e15L, " 1.5E+15"},                  {4e-30L, " 4E-30"},
        {std::ldexp(1.0L - std::ldexp(1.0L, -24), 127), " 1.70141E+38"},
        {std::ldexp(1.0L, -128), " 2.93874E-39"},
        {99999.99L, " 100000"},     {0.099999999L, " .1"},                  {7.0L / 4, " 1.75"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Fout(P(r.x)), r.text) << (double)r.x;
}

TEST_F(FpIo, ReadingNumbers)
{
    const struct {
        const char* text;
        int error;
        bool carry;
        int consumed;
        int kind;        // 2 or 4
        long double x;
        int whole;       // DE when kind is 2
    } rows[] = {
        {"123", 0, false, 3, 2, 123, 123},
        {"-32768", 0, false, 6, 2, -32768, -32768},
        {"32767", 0, false, 5, 2, 32767, 32767},
        {"32768", 0, false, 5, 4, 32768, 0},
        {"-32769", 0, false, 6, 4, -32769, 0},
        {"  +7:", 0, false, 4, 2, 7, 7},
        {"00012", 0, false, 5, 2, 12, 12},
        {"-0", 0, false, 2, 2, 0, 0},
        {"1.5", 0, false, 3, 4, 1.5, 0},
        {".5", 0, false, 2, 4, 0.5, 0},
        {"5.", 0, false, 2, 4, 5, 0},
        {"1E3", 0, false, 3, 4, 1000, 0},
        {"1e3", 0, false, 3, 4, 1000, 0},
        {"2E", 0, false, 1, 2, 2, 2},
        {"2E+", 0, false, 1, 2, 2, 2},
        {"2E-x", 0, false, 1, 2, 2, 2},
        {"2ELSE", 0, false, 1, 2, 2, 2},
        {"12.5E-3", 0, false, 7, 4, 0.0125L, 0},
        {"1.2.3", 0, false, 3, 4, 1.2L, 0},
        {"0.1", 0, false, 3, 4, 0.1L, 0},
        {"3.14159", 0, false, 7, 4, 3.14159L, 0},
        {"0.000001", 0, false, 8, 4, 1e-6L, 0},
        {"123456789012", 0, false, 12, 4, 123456789012.0L, 0},
        {"1.70141E38", 0, false, 10, 4, 1.70141e38L, 0},     // four steps of scaling: within
        {"2.93874E-39", 0, false, 11, 4, 2.93874e-39L, 0},   // one unit of the last place
        {"1E-50", 0, false, 5, 4, 0, 0},
        {"0E999", 0, false, 5, 4, 0, 0},
        {"1E39", 6, false, 0, 0, 0, 0},
        {"1E99999", 6, false, 0, 0, 0, 0},
        {"-", 0, true, 0, 0, 0, 0},
        {".", 0, true, 0, 0, 0, 0},
        {" .E5", 0, true, 0, 0, 0, 0},
        {"ABC", 0, true, 0, 0, 0, 0},
        {"", 0, true, 0, 0, 0, 0},
    };
    for (const auto& r : rows) {
        const int error = Fin(r.text);
        EXPECT_EQ(error, r.error) << r.text;
        if (error != 0 || r.error != 0)
            continue;
        EXPECT_EQ(Carry(), r.carry) << r.text;
        EXPECT_EQ(Consumed(), r.consumed) << r.text;
        EXPECT_LE(FpNumber::UlpDistance(Fac(), P(r.x)), std::fabs(r.x) > 1e30L || std::fabs(r.x) < 1e-30L ? 1 : 0)
            << r.text << " read as " << Unpack(Fac());
        if (!r.carry) {
            EXPECT_EQ(z80.Regs().af >> 8, r.kind) << r.text;
        }
        if (r.kind == 2) {
            EXPECT_EQ(z80.Regs().de, static_cast<std::uint16_t>(r.whole)) << r.text;
        }
    }
}

TEST_F(FpIo, DecimalTextsRoundTrip)
{
    std::mt19937 rng(77);
    std::uniform_int_distribution<int> digits(1, 7), decade(-30, 30), digit(0, 9), sign(0, 1);
    int inexact = 0;
    for (int i = 0; i < 400; ++i) {
        // A decimal text with up to seven significant digits, read as the host reads it.
        std::string mantissa(1, static_cast<char>('1' + digit(rng) % 9));
        for (int n = digits(rng); n > 1; --n)
            mantissa += static_cast<char>('0' + digit(rng));
        const int e = decade(rng);
        const std::string text = (sign(rng) ? "-" : "") + mantissa.substr(0, 1) + "." + mantissa.substr(1) + "E" +
                                 std::to_string(e);
        const long double host = std::strtold(text.c_str(), nullptr);
        ASSERT_EQ(Fin(text), 0) << text;
        const std::uint32_t read = Fac();
        const double ulps = FpNumber::UlpDistance(read, P(host));
        EXPECT_LE(ulps, 1.0) << text;
        if (ulps != 0 && std::abs(e - static_cast<int>(mantissa.size()) + 1) <= 10)
            ADD_FAILURE() << text << ": one exact power of ten, one rounding: must be exact";
        inexact += ulps != 0;
        // PRINT's text of it reads back to a number that prints the same.
        const std::string shown = Fout(read);
        ASSERT_EQ(Fin(shown), 0) << shown;
        EXPECT_EQ(Fout(Fac()), shown) << text;
        EXPECT_LE(std::fabs(Unpack(Fac()) - Unpack(read)), std::fabs(Unpack(read)) * 5e-6) << text << " " << shown;
    }
    EXPECT_LE(inexact, 100);
}

}  // namespace
