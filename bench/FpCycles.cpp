// Exact emulated cost of the assembly BASIC's floating-point routines: each benchmark calls
// one routine of the fpcore test image on typical operands through Z80Routine. The counter
// "T" is the routine's T-states including its CALL (exact, the same every run); the time
// is only the emulator's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Z80Routine.h"
#include "tests/fpcore/FpNumber.h"

namespace {

struct Case {
    std::string routine, label;
    long double bcde, fac;
    std::uint16_t hl;
    std::string text;  // for fp_fin
};

void Place(Z80Routine& z80, const Case& c)
{
    const std::uint32_t b = FpNumber::Pack(c.bcde).value(), f = FpNumber::Pack(c.fac).value();
    z80.Regs().bc = static_cast<std::uint16_t>(b >> 16);
    z80.Regs().de = static_cast<std::uint16_t>(b);
    for (int i = 0; i < 4; ++i)
        z80.Memory().WriteByte(z80["fac"] + i, static_cast<std::uint8_t>(f >> (8 * i)));
    z80.Regs().hl = c.hl;
    if (!c.text.empty()) {
        for (std::size_t i = 0; i <= c.text.size(); ++i)
            z80.Memory().WriteByte(0x5000 + i, i < c.text.size() ? c.text[i] : 0);
        z80.Regs().hl = 0x5000;
    }
}

void Run(benchmark::State& state, Z80Routine* z80, Case c)
{
    std::uint64_t cycles = 0;
    for (auto _ : state) {
        Place(*z80, c);
        const Z80Routine::Result r = z80->Call(c.routine);
        if (r.outcome != Z80Routine::Outcome::Returned) {
            state.SkipWithError("the routine did not return");
            return;
        }
        cycles = r.cycles;
    }
    state.counters["T"] = static_cast<double>(cycles);
}

}  // namespace

int main(int argc, char** argv)
{
#if defined(FPCORE_IMAGE) && defined(FPCORE_MAP)
    static Z80Routine z80;
    if (!z80.Load(FPCORE_IMAGE, FPCORE_MAP)) {
        std::fprintf(stderr, "cannot load %s\n", FPCORE_IMAGE);
        return 1;
    }
    const long double PI = 3.14159265358979L, E = 2.71828182845905L;
    const std::vector<Case> cases = {
        {"fp_add", "3.14159+2.71828", PI, E, 0, ""},   {"fp_add", "12+34", 12, 34, 0, ""},
        {"fp_add", "1000+7", 1000, 7, 0, ""},          {"fp_add", "0.1+0.3", 0.1L, 0.3L, 0, ""},
        {"fp_add", "100+1", 100, 1, 0, ""},            {"fp_add", "1+100", 1, 100, 0, ""},
        {"fp_add", "34+12", 34, 12, 0, ""},
        {"fp_sub", "3.14159-2.71828", PI, E, 0, ""},   {"fp_sub", "34-12", 34, 12, 0, ""},
        {"fp_sub", "1000-7", 1000, 7, 0, ""},          {"fp_sub", "0.3-0.1", 0.3L, 0.1L, 0, ""},
        {"fp_mul", "3.14159*2.71828", PI, E, 0, ""},   {"fp_mul", "12*34", 12, 34, 0, ""},
        {"fp_mul", "1000*7", 1000, 7, 0, ""},          {"fp_mul", "0.1*0.3", 0.1L, 0.3L, 0, ""},
        {"fp_mul", "3.14159*2", PI, 2, 0, ""},
        {"fp_div", "3.14159/2.71828", PI, E, 0, ""},   {"fp_div", "34/12", 34, 12, 0, ""},
        {"fp_div", "1000/7", 1000, 7, 0, ""},          {"fp_div", "1/3", 1, 3, 0, ""},
        {"fp_cmp", "12:34", 34, 12, 0, ""},            {"fp_cmp", "1000:7", 7, 1000, 0, ""},
        {"fp_cmp", "3.14159:3.14159", PI, PI, 0, ""},  {"fp_cmp", "-1:2", 2, -1, 0, ""},
        {"fp_from_int", "1", 0, 0, 1, ""},             {"fp_from_int", "10", 0, 0, 10, ""},
        {"fp_from_int", "1000", 0, 0, 1000, ""},       {"fp_from_int", "-12345", 0, 0, 0xCFC7, ""},
        {"fp_to_int", "1", 0, 1, 0, ""},               {"fp_to_int", "10", 0, 10, 0, ""},
        {"fp_to_int", "1000.4", 0, 1000.4L, 0, ""},    {"fp_to_int", "-12345", 0, -12345, 0, ""},
        {"fp_int", "3.7", 0, 3.7L, 0, ""},             {"fp_int", "-3.7", 0, -3.7L, 0, ""},
        {"fp_fout", "1/3", 0, 1.0L / 3, 0, ""},        {"fp_fout", "1000", 0, 1000, 0, ""},
        {"fp_fin", "\"3.14159\"", 0, 0, 0, "3.14159"}, {"fp_fin", "\"1000\"", 0, 0, 0, "1000"},
        {"fp_sqr", "2", 0, 2, 0, ""},                  {"fp_sin", "1", 0, 1, 0, ""},
        {"fp_cos", "1", 0, 1, 0, ""},                  {"fp_tan", "1", 0, 1, 0, ""},
        {"fp_atn", "1", 0, 1, 0, ""},                  {"fp_log", "10", 0, 10, 0, ""},
        {"fp_exp", "1", 0, 1, 0, ""},                  {"fp_pow", "2^10", 2, 10, 0, ""},
        {"fp_pow", "2^0.5", 2, 0.5L, 0, ""},           {"fp_rnd", "1", 0, 1, 0, ""},
    };
    for (const Case& c : cases)
        benchmark::RegisterBenchmark((c.routine + "/" + c.label).c_str(), Run, &z80, c);
#else
    std::fprintf(stderr, "built without the fpcore image (firmware off)\n");
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
