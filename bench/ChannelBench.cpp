// Cost of the device channels' commands as the emulated software issues them: record
// transfers, printer runs and opens, the last in a folder of a thousand files, where a name
// that differs only in case has to be found by reading the folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "MachineRig.h"

namespace {

struct Machine : MachineRig {
    void Name(const char* eleven)
    {
        for (std::uint32_t i = 0; i < 11; ++i)
            memory.WriteByte(0x9000 + i, static_cast<std::uint8_t>(eleven[i]));
        cpu.Regs().de = 0x9000;
    }
    void Slot(std::uint8_t slot) { cpu.Regs().bc = static_cast<std::uint16_t>(slot << 8 | (cpu.Regs().bc & 0xFF)); }
};

constexpr int RECORDS = 4096;

void BM_ReadRecord(benchmark::State& state)
{
    TempFolder folder(false);
    folder.Write("DATA.BIN", std::size_t{RECORDS} * 256, 0x5A);
    Machine m;
    m.settings.fileFolder = folder.Path().string() + "/";
    m.Name("DATA    BIN");
    m.Slot(1);
    int left = 0;
    for (auto _ : state) {
        if (left == 0) {
            m.bus.WritePort(255, 0);  // open again at the start
            left = RECORDS;
        }
        m.bus.WritePort(255, 5);
        --left;
    }
    state.SetBytesProcessed(state.iterations() * 256);
}
BENCHMARK(BM_ReadRecord);

void BM_WriteRecord(benchmark::State& state)
{
    TempFolder folder(false);
    Machine m;
    m.settings.fileFolder = folder.Path().string() + "/";
    m.Name("DATA    BIN");
    m.Slot(1);
    int written = RECORDS;
    for (auto _ : state) {
        if (written == RECORDS) {
            m.bus.WritePort(255, 1);  // the create truncates
            written = 0;
        }
        m.bus.WritePort(255, 6);
        ++written;
    }
    state.SetBytesProcessed(state.iterations() * 256);
}
BENCHMARK(BM_WriteRecord);

void BM_PrintRun(benchmark::State& state)
{
    Machine m;
    m.settings.printDestination = "/dev/null";
    m.Slot(0);
    m.bus.WritePort(254, 1);
    m.cpu.Regs().bc = 0x00FF;  // slot 0, 255 bytes
    m.cpu.Regs().hl = 0x4000;
    for (auto _ : state)
        m.bus.WritePort(254, 4);
    state.SetBytesProcessed(state.iterations() * 255);
}
BENCHMARK(BM_PrintRun);

// Opens and closes one file among a thousand; arg 0 gives the exact name, arg 1 a name that
// is found only without regard to case.
void BM_OpenInLargeFolder(benchmark::State& state)
{
    TempFolder folder(false);
    for (int i = 0; i < 1000; ++i)
        folder.Write("FILE" + std::to_string(i) + ".DAT", 256, 0);
    folder.Write(state.range(0) ? "game.bas" : "GAME.BAS", 256, 0);
    Machine m;
    m.settings.fileFolder = folder.Path().string() + "/";
    m.Name("GAME    BAS");
    m.Slot(2);
    for (auto _ : state) {
        m.bus.WritePort(255, 0);
        m.bus.WritePort(255, 2);
    }
    if (m.bus.ReadPort(255) != 0)
        state.SkipWithError("the file was not found");
}
BENCHMARK(BM_OpenInLargeFolder)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
