#include "core/CEmuApp.h"

#include <filesystem>
#include <system_error>

#include "core/CEmuShell.h"
#include "devices/CWaveOut.h"
#include "host/CStartupFiles.h"

CEmuApp::CEmuApp(CEmuShell& shell)
    : shell(shell),
      cpu(memory, bus),
      bus(cpu, memory, sound, files, settings),
      keyboard(bus, cpu),
      display(memory)
{
}

bool CEmuApp::Startup()
{
    shell.ReadSettings(settings);

    if (!shell.CreateMainWindow())
        return Fail("MainWnd creation failed!", "the main window or its 20 ms timer could not be created");
    mainWindowCreated = true;

    CStartupFiles& startupFiles = files.StartupFiles();
    if (!bus.Init())
        return Fail("I/O initialization failed!", "the port bus could not be initialised");
    if (!memory.Init(&startupFiles))
        return Fail("Memory initialization failed!", FileFault("a ROM image could not be read"));
    if (!keyboard.Init())
        return Fail("Keyboard initialization failed!", "the keyboard could not be initialised");
    if (!display.Init(&startupFiles))
        return Fail("Display initialization failed!", FileFault("the font could not be read"));
    CWaveOut& waveOut = shell.WaveOut();
    if (!sound.Init(waveOut, &startupFiles)) {
        // The samples are loaded once the device is open: no file at fault means no device.
        std::string reason = waveOut.OpenError();
        return Fail("Sound initialization failed!",
                    FileFault("no sound output could be opened (" + (reason.empty() ? "no reason given" : reason) +
                              "); start with --no-sound to run silently"));
    }

    cpu.Reset();
    shell.AppendAboutItem();
    shell.ShowMainWindow();
    // Only now may ticks run slices: every component they touch has been initialised.
    shell.EnableRun();
    return true;
}

bool CEmuApp::Fail(const std::string& message, const std::string& explanation)
{
    shell.ExplainFailure(explanation);
    shell.ShowMessage(message);
    return false;
}

std::string CEmuApp::FileFault(const std::string& otherwise) const
{
    const CStartupFiles::Fault& fault = files.StartupFiles().FirstFault();
    if (fault.file.empty())
        return otherwise;
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    if (error)
        folder = "the working folder";
    return "cannot read " + fault.file + " in " + folder + " (" + fault.reason +
           "): start the emulator in the folder that holds its ROM images, font and samples";
}

void CEmuApp::Shutdown()
{
    if (mainWindowCreated) {
        mainWindowCreated = false;
        shell.DestroyMainWindow();
    }
}

void CEmuApp::RunSlice()
{
    cpu.AddCycles(TICK_CYCLES);
    cpu.Run(TICK_CYCLES);
    cpu.RequestNmi();
    if (afterSlice)
        afterSlice();
}
