// The user interface start-up works with: reads the settings store, creates and destroys the
// main window, shows messages and hands out the wave output. main() builds one with the
// real store, message boxes and audio; tests build one with their own.
#pragma once

#include <chrono>
#include <functional>

#include "core/CEmuShell.h"

class CEmuApp;
class CEventPoster;
class CMainWnd;
class CMessenger;
class CSettingsStore;

class CDesktopShell final : public CEmuShell {
public:
    static constexpr std::chrono::milliseconds TICK_PERIOD{20};

    CDesktopShell(const CSettingsStore& store, CMessenger& messenger, CWaveOut& waveOut, CEventPoster& poster,
                  std::chrono::milliseconds tickPeriod = TICK_PERIOD);
    ~CDesktopShell() override;

    // The application whose machine the window runs; set before Startup().
    void Attach(CEmuApp& application) { app = &application; }
    CMainWnd* MainWindow() const { return mainWnd; }
    // What the main window does when the wave output reports finished buffers.
    void SetWaveDoneHandler(std::function<void()> handler) { waveDone = std::move(handler); }
    // Called with the main window as soon as it exists, still hidden: for the window's extras
    // (zoom, screenshots and the like).
    void SetWindowCreatedHandler(std::function<void(CMainWnd&)> handler) { windowCreated = std::move(handler); }

    void ReadSettings(Settings& settings) override;
    bool CreateMainWindow() override;
    void DestroyMainWindow() override;
    void ShowMessage(const std::string& text) override;
    void ExplainFailure(const std::string& line) override;
    CWaveOut& WaveOut() override { return waveOut; }
    void AppendAboutItem() override;
    void ShowMainWindow() override;
    void EnableRun() override;

private:
    const CSettingsStore& store;
    CMessenger& messenger;
    CWaveOut& waveOut;
    CEventPoster& poster;
    std::chrono::milliseconds tickPeriod;
    std::function<void()> waveDone;
    std::function<void(CMainWnd&)> windowCreated;
    CEmuApp* app = nullptr;
    CMainWnd* mainWnd = nullptr;
};
