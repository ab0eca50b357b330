// PLACEHOLDER: runs the machine's start-up without a window and reports what it did.
#include <cstdio>
#include <string>

#include "core/CEmuApp.h"
#include "core/CEmuShell.h"
#include "devices/CWaveOut.h"

namespace {

class NullWaveOut final : public CWaveOut {
public:
    bool Open() override { return true; }
    bool Prepare(WaveBuffer&) override { return true; }
    bool Write(WaveBuffer&) override { return true; }
    bool Unprepare(WaveBuffer&) override { return true; }
};

class HeadlessShell final : public CEmuShell {
public:
    void ReadSettings(Settings&) override { std::puts("settings: defaults"); }
    bool CreateMainWindow() override { return true; }
    void DestroyMainWindow() override {}
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    CWaveOut& WaveOut() override { return waveOut; }
    void AppendAboutItem() override {}
    void ShowMainWindow() override {}
    void EnableRun() override { std::puts("start-up complete"); }

private:
    NullWaveOut waveOut;
};

}  // namespace

int main()
{
    HeadlessShell shell;
    CEmuApp app(shell);
    bool ok = app.Startup();
    app.Shutdown();
    return ok ? 0 : 1;
}
