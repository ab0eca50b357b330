// Emulated speed of the Z80 interpreter: one 70000-cycle slice (one 20 ms tick at 3.5 MHz)
// per iteration on two instruction mixes. "emulated_Hz" is T-states per second of host time
// (3.5M/s is real time for the target machine).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "bus/CMemory.h"
#include "bus/CPortBus.h"
#include "cpu/CCpu.h"
#include "tests/cpu/CpmPrograms.h"

namespace {

constexpr std::int32_t SLICE = 70000;

class CSilentBus final : public CPortBus {
public:
    std::uint8_t ReadPort(std::uint8_t) override { return 0xFF; }
    void WritePort(std::uint8_t, std::uint8_t) override {}
};

// A loop in the manner of an interpreter: scan a text byte by byte, compare, branch, call a
// small routine that reads and writes a table, keep a counter.
constexpr std::array<std::uint8_t, 0x27> INTERPRETER_LOOP = {
    0x21, 0x00, 0x80,  // 0100 LD HL,8000h
    0x16, 0x90,        // 0103 LD D,90h
    0x06, 0x00,        // 0105 LD B,0
    0x7E,              // 0107 loop: LD A,(HL)
    0x23,              // 0108 INC HL
    0xFE, 0x20,        // 0109 CP 20h
    0x28, 0x02,        // 010B JR Z,skip
    0x4F,              // 010D LD C,A
    0x81,              // 010E ADD A,C
    0xE5,              // 010F skip: PUSH HL
    0xCD, 0x20, 0x01,  // 0110 CALL 0120h
    0xE1,              // 0113 POP HL
    0x10, 0xF1,        // 0114 DJNZ loop
    0xC3, 0x00, 0x01,  // 0116 JP 0100h
    0, 0, 0, 0, 0, 0, 0,  // 0119
    0x5F,  // 0120 LD E,A
    0x1A,  // 0121 LD A,(DE)
    0xB7,  // 0122 OR A
    0xC8,  // 0123 RET Z
    0x3D,  // 0124 DEC A
    0x12,  // 0125 LD (DE),A
    0xC9,  // 0126 RET
};

template <std::size_t N>
void RunSlices(benchmark::State& state, const std::array<std::uint8_t, N>& program)
{
    static CMemory memory;
    CSilentBus bus;
    CCpu cpu(memory, bus);
    std::uint8_t* bytes = memory.Bytes();
    std::memset(bytes, 0, CMemory::SIZE);
    std::uint32_t seed = 12345;
    for (std::uint32_t a = 0x8000; a < 0xA000; ++a) {
        seed = seed * 1103515245u + 12345u;
        bytes[a] = static_cast<std::uint8_t>(seed >> 16);
    }
    bytes[0x0000] = 0x76;  // the program's end: HALT, restarted below
    bytes[0x0005] = 0xC9;  // console calls return at once
    std::memcpy(bytes + 0x0100, program.data(), program.size());
    auto start = [&] {
        cpu.Reset();
        cpu.Regs().pc = 0x0100;
        cpu.Regs().sp = 0xF000;
    };
    start();
    const std::uint64_t before = cpu.CyclesExecuted();
    for (auto _ : state) {
        cpu.AddCycles(SLICE);
        cpu.Run(SLICE);
        if (cpu.pendingEvents & CCpu::EVENT_HALT)
            start();
    }
    const double executed = static_cast<double>(cpu.CyclesExecuted() - before);
    state.counters["emulated_Hz"] = benchmark::Counter(executed, benchmark::Counter::kIsRate);
}

void BM_ExerciserSlice(benchmark::State& state) { RunSlices(state, CpmPrograms::EXERCISER); }
void BM_InterpreterLoopSlice(benchmark::State& state) { RunSlices(state, INTERPRETER_LOOP); }

}  // namespace

BENCHMARK(BM_ExerciserSlice);
BENCHMARK(BM_InterpreterLoopSlice);
BENCHMARK_MAIN();
