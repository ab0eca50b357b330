// Cost of refilling one 110-sample buffer, the sound generator's only per-buffer work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "TempFolder.h"
#include "devices/CSound.h"
#include "host/CNullWaveOut.h"

namespace {

void WriteSamples(const TempFolder& dir)
{
    std::vector<std::uint8_t> bytes(5000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37);
    for (const char* name : {"slf.snd", "vco_slf.snd", "vco_lo.snd", "vco_hi.snd", "noise.snd"})
        dir.Write(name, bytes);
}

void RefillBuffers(benchmark::State& state)
{
    TempFolder dir;
    WriteSamples(dir);
    CNullWaveOut out;
    CSound sound;
    if (!sound.Init(out)) {
        state.SkipWithError("Init failed");
        return;
    }
    sound.SetControl(static_cast<std::uint8_t>(state.range(0)));
    std::int64_t buffers = 0;
    for (auto _ : state) {
        out.DeliverFinished([&](WaveBuffer& b) {
            sound.OnBufferDone(b);
            benchmark::DoNotOptimize(b.data[0]);
            ++buffers;
        });
    }
    state.SetItemsProcessed(buffers);
}

}  // namespace

// 0x01 oscillator, 0x19 oscillator mixed with noise, 0x31 gated mix, 0x81 decaying
// oscillator, 0x00 switched off.
BENCHMARK(RefillBuffers)->Arg(0x01)->Arg(0x19)->Arg(0x31)->Arg(0x81)->Arg(0x00);

BENCHMARK_MAIN();
