// What start-up needs from the user interface around the machine. The desktop shell
// implements it with its main window; the headless runner and the tests with their own.
#pragma once

#include <string>

class CWaveOut;
struct Settings;

class CEmuShell {
public:
    virtual ~CEmuShell() = default;

    // Reads the five settings from the per-user store; missing values keep their defaults.
    virtual void ReadSettings(Settings& settings) = 0;
    // Creates the main window hidden, with its screen and buttons, and starts the 20 ms tick
    // source. Ticks must not run the machine until EnableRun().
    virtual bool CreateMainWindow() = 0;
    virtual void DestroyMainWindow() = 0;
    // A warning message box with the application name as caption and one OK button; returns
    // when the user has dismissed it.
    virtual void ShowMessage(const std::string& text) = 0;
    // One line for the log (stderr, after the program's name), written just before a failed
    // start-up step's message: what could not be used, where, and how to go on.
    virtual void ExplainFailure(const std::string& line) { (void)line; }
    // The wave output the sound generator opens; its buffers come back to CSound::OnBufferDone.
    virtual CWaveOut& WaveOut() = 0;
    // Adds a separator and "About..." to the window menu (or its stand-in on this platform).
    virtual void AppendAboutItem() = 0;
    virtual void ShowMainWindow() = 0;
    // Lets ticks run slices: every component has been initialised.
    virtual void EnableRun() = 0;
};
