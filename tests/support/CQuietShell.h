// A shell with no window and no sound device, for tests and benchmarks that start the whole
// machine: default settings, the last message kept, a null wave output the caller may pump.
//
//   CQuietShell shell;  CEmuApp app(shell);  app.Startup();  // in the folder of its files
#pragma once

#include <string>

#include "core/CEmuShell.h"
#include "core/Settings.h"
#include "host/CNullWaveOut.h"

class CQuietShell final : public CEmuShell {
public:
    void ReadSettings(Settings& settings) override { settings = Settings{}; }
    bool CreateMainWindow() override { return true; }
    void DestroyMainWindow() override {}
    void ShowMessage(const std::string& text) override { message = text; }
    CWaveOut& WaveOut() override { return waveOut; }
    void AppendAboutItem() override {}
    void ShowMainWindow() override {}
    void EnableRun() override {}

    CNullWaveOut waveOut;
    std::string message;
};
