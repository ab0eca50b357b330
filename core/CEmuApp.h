// The application: owns one instance of every machine component for the life of the
// process, starts the machine in a fixed order with a fixed message for the first failure,
// runs the 20 ms slices and shuts down. The user interface reaches it through CEmuShell.
//
//   CEmuApp app(shell);
//   if (app.Startup()) { /* each tick: */ app.RunSlice(); app.Display().Render(); }
//   app.Shutdown();
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "bus/CIoBus.h"
#include "bus/CMemory.h"
#include "core/Settings.h"
#include "cpu/CCpu.h"
#include "devices/CDisplay.h"
#include "devices/CKeyboard.h"
#include "devices/CSound.h"
#include "devices/HostFileTable.h"

class CEmuShell;

class CEmuApp {
public:
    static constexpr int TICK_INTERVAL_MS = 20;
    static constexpr std::int32_t TICK_CYCLES = 70000;

    explicit CEmuApp(CEmuShell& shell);
    CEmuApp(const CEmuApp&) = delete;
    CEmuApp& operator=(const CEmuApp&) = delete;

    // Runs the start-up steps in order; on the first failure shows its message and returns false.
    bool Startup();
    // Destroys the main window if it still exists.
    void Shutdown();
    // The shell tells the application that the main window has gone (closed by the user).
    void OnMainWindowDestroyed() { mainWindowCreated = false; }
    bool HasMainWindow() const { return mainWindowCreated; }

    // One slice of emulated time: 70000 cycles, then the periodic interrupt request, then the
    // after-slice handler (a wave output paced by emulated time lets the slice's sound play).
    void RunSlice();
    void SetAfterSlice(std::function<void()> handler) { afterSlice = std::move(handler); }
    // The Reset button: the CPU alone.
    void ResetMachine() { cpu.Reset(); }

    CCpu& Cpu() { return cpu; }
    CMemory& Memory() { return memory; }
    CIoBus& Bus() { return bus; }
    CKeyboard& Keyboard() { return keyboard; }
    CDisplay& Display() { return display; }
    CSound& Sound() { return sound; }
    Settings& Config() { return settings; }
    HostFileTable& Files() { return files; }

private:
    // Explains the failure on the log, then shows the step's message; always false.
    bool Fail(const std::string& message, const std::string& explanation);
    // The explanation of a failed step that loads files: the file, the folder and the reason.
    std::string FileFault(const std::string& otherwise) const;

    CEmuShell& shell;
    bool mainWindowCreated = false;
    std::function<void()> afterSlice;

    // The components, constructed empty in this order and destroyed in reverse: the host file
    // table first (closing what the emulated software left open).
    CCpu cpu;
    CMemory memory;
    CIoBus bus;
    CKeyboard keyboard;
    CDisplay display;
    CSound sound;
    Settings settings;
    HostFileTable files;
};
