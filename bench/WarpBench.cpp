// Emulated speed in warp: the window's unpaced mode runs slices back to back, each with its
// screen render, as fast as the host allows. The machine runs our BASIC from the built
// runtime folder: idle at its prompt (mostly halted), and running a program typed into it.
// "emulated_MHz" is the figure warp shows in the caption.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CQuietShell.h"
#include "TempFolder.h"
#include "core/CEmuApp.h"
#include "core/CKeyFeeder.h"
#include "core/CTypist.h"

namespace {

// Types text as the headless runner does, at the key feeder's pace; false when the text
// cannot be typed.
bool Type(CEmuApp& app, const std::string& text)
{
    std::vector<KeyStroke> strokes;
    std::string error;
    if (!CTypist::Plan(text, strokes, error))
        return false;
    CKeyFeeder feeder(app.Keyboard(), app.Cpu());
    feeder.Queue(strokes);
    while (feeder.Busy()) {
        feeder.BeforeSlice();
        app.RunSlice();
    }
    return true;
}

void WarpSlices(benchmark::State& state, const std::string& typed)
{
    TempFolder folder;
    for (const auto& entry : std::filesystem::directory_iterator(VORLIX_RUNTIME_DIR))
        std::filesystem::copy(entry.path(), folder.Path() / entry.path().filename());
    CQuietShell shell;
    CEmuApp app(shell);
    if (!app.Startup()) {
        state.SkipWithError("the runtime files do not start the machine");
        return;
    }
    for (int boot = 0; boot < 100; ++boot)
        app.RunSlice();
    if (!Type(app, typed)) {
        state.SkipWithError("the text cannot be typed");
        app.Shutdown();
        return;
    }
    for (auto _ : state) {
        app.RunSlice();
        benchmark::DoNotOptimize(app.Display().Render());
    }
    state.counters["emulated_MHz"] = benchmark::Counter(double(state.iterations()) * CEmuApp::TICK_CYCLES / 1e6,
                                                        benchmark::Counter::kIsRate);
    app.Shutdown();
}
BENCHMARK_CAPTURE(WarpSlices, idle, "")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WarpSlices, loop, "10 A=A+1:GOTO 10\nRUN\n")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
