#include "core/CEmuApp.h"

#include "core/CEmuShell.h"

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

    if (!shell.CreateMainWindow()) {
        shell.ShowMessage("MainWnd creation failed!");
        return false;
    }
    mainWindowCreated = true;

    if (!bus.Init()) {
        shell.ShowMessage("I/O initialization failed!");
        return false;
    }
    if (!memory.Init()) {
        shell.ShowMessage("Memory initialization failed!");
        return false;
    }
    if (!keyboard.Init()) {
        shell.ShowMessage("Keyboard initialization failed!");
        return false;
    }
    if (!display.Init()) {
        shell.ShowMessage("Display initialization failed!");
        return false;
    }
    if (!sound.Init(shell.WaveOut())) {
        shell.ShowMessage("Sound initialization failed!");
        return false;
    }

    cpu.Reset();
    shell.AppendAboutItem();
    shell.ShowMainWindow();
    // Only now may ticks run slices: every component they touch has been initialised.
    shell.EnableRun();
    return true;
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
}
