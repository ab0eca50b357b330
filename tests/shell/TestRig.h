// A whole desktop emulator for a test: machine files in a temporary working folder, an
// isolated settings store, recorded messages, a wave output without a device, and the shell
// and application wired as main() wires them.
#pragma once

#include <chrono>
#include <memory>

#include "ShellTestSupport.h"
#include "TempFolder.h"
#include "core/CEmuApp.h"
#include "host/CNullWaveOut.h"
#include "shell/CDesktopShell.h"
#include "shell/CEventPoster.h"
#include "shell/CMainWnd.h"
#include "shell/CSettingsStore.h"

struct TestRig {
    explicit TestRig(MachineFiles files = MachineFiles(), CWaveOut* waveOutOverride = nullptr,
                     std::chrono::milliseconds tickPeriod = CDesktopShell::TICK_PERIOD)
        : store(TEST_COMPANY, TEST_APPLICATION),
          shell(store, messenger, waveOutOverride ? *waveOutOverride : nullWaveOut, poster, tickPeriod),
          app(shell)
    {
        files.WriteTo(folder);
        shell.Attach(app);
        // No waiting between the sound device's open attempts.
        app.Sound().SetRetryDelay([](int) {});
    }
    ~TestRig() { app.Shutdown(); }

    CMainWnd& Window() { return *shell.MainWindow(); }

    TempFolder folder;
    IsolatedSettings settings;
    RecordingMessenger messenger;
    CEventPoster poster;
    CNullWaveOut nullWaveOut;
    CSettingsStore store;
    CDesktopShell shell;
    CEmuApp app;
};
