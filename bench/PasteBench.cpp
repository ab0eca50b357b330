// Wall time of a paste: a 300-line listing of about 9,000 characters typed into the BASIC
// from power-on, slices back to back as the window runs them while text is queued (with a
// screen image every 100 slices), then saved and compared with the source.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "BasicListing.h"
#include "CQuietShell.h"
#include "TempFolder.h"
#include "core/CEmuApp.h"
#include "core/CKeyFeeder.h"
#include "core/CPasteText.h"
#include "core/Settings.h"

namespace {

// Makes a folder the working directory while the object lives.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& path) : previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~WorkingFolder()
    {
        std::error_code ec;
        std::filesystem::current_path(previous, ec);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path previous;
};

void BM_PasteListing(benchmark::State& state)
{
    const std::string listing = BasicListing::Make(300);
    const CPasteText::Plan plan = CPasteText::Make(listing + BasicListing::SaveCommand("BENCH"));
    TempFolder store(false);
    const WorkingFolder runtime(VORLIX_RUNTIME_DIR);  // the machine reads its files from there
    long frames = 0;
    for (auto _ : state) {
        CQuietShell shell;
        CEmuApp app(shell);
        if (!app.Startup()) {
            state.SkipWithError("the runtime files are missing");
            return;
        }
        app.Config().fileFolder = store.Path().string() + "/";
        CKeyFeeder feeder(app.Keyboard(), app.Cpu());
        feeder.WaitForPrompt();
        feeder.Queue(plan.strokes);
        for (frames = 0; feeder.Busy(); ++frames) {
            feeder.BeforeSlice();
            app.RunSlice();
            if (frames % 100 == 0)
                app.Display().Render();
        }
        for (int i = 0; i < 1500; ++i)  // the SAVE
            app.RunSlice();
        app.Shutdown();
        state.PauseTiming();
        std::ifstream saved(store.Path() / BasicListing::SavedName("BENCH"), std::ios::binary);
        if (BasicListing::FromSaved({std::istreambuf_iterator<char>(saved), {}}) != listing)
            state.SkipWithError("the saved program differs from the listing");
        state.ResumeTiming();
    }
    state.counters["characters"] = static_cast<double>(listing.size());
    state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_PasteListing)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
