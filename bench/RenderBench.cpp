// Cost of one screen render: a screen of mixed text, graphics switches and blinking cells.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "bus/CMemory.h"
#include "devices/CDisplay.h"

namespace {

std::vector<std::uint8_t> PatternFont()
{
    std::vector<std::uint8_t> font(CDisplay::FONT_BYTES);
    for (std::size_t i = 0; i < font.size(); ++i)
        font[i] = static_cast<std::uint8_t>((i * 37 + i / 10) << 2);
    return font;
}

void FillScreen(CMemory& memory)
{
    const std::string text = "10 PRINT \"HELLO, WORLD\": GOTO 10  READY ";
    for (int row = 0; row < CDisplay::TEXT_ROWS; ++row) {
        const std::uint16_t start = CDisplay::RowAddress(row);
        for (int col = 0; col < CDisplay::COLUMNS; ++col) {
            std::uint8_t b = static_cast<std::uint8_t>(text[static_cast<std::size_t>((col + row) % 40)]);
            if (row % 3 == 1 && col % 10 == 0)
                b = 0x11;  // a graphics stretch ...
            if (row % 3 == 1 && col % 10 == 6)
                b = 0x01;  // ... and back to text
            if (row % 4 == 2 && col >= 20 && col < 30)
                b |= 0x80;  // a blinking field
            memory.WriteByte(start + static_cast<std::uint32_t>(col), b);
        }
    }
}

void BM_Render(benchmark::State& state)
{
    auto memory = std::make_unique<CMemory>();
    auto display = std::make_unique<CDisplay>(*memory);
    {
        TempFolder folder;
        folder.Write("font.bin", PatternFont());
        if (!display->Init()) {
            state.SkipWithError("font.bin could not be read");
            return;
        }
    }
    FillScreen(*memory);
    for (auto _ : state) {
        const std::uint8_t* image = display->Render();
        benchmark::DoNotOptimize(image);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * CDisplay::IMAGE_BYTES);
}
BENCHMARK(BM_Render);

}  // namespace

BENCHMARK_MAIN();
