// The desktop emulator: reads its command line, starts the machine with its window, runs the
// event loop and shuts down. It reads its files from the working directory.
#include <iostream>

#include <QApplication>
#include <QIcon>

#include "core/CEmuApp.h"
#include "host/CSdlWaveOut.h"
#include "host/CSilentWaveOut.h"
#include "shell/CCommandLine.h"
#include "shell/CDesktopShell.h"
#include "shell/CEventPoster.h"
#include "shell/CMainWnd.h"
#include "shell/CMessenger.h"
#include "shell/CSettingsStore.h"
#include "shell/CSignalWatcher.h"
#include "shell/ShellEvents.h"

namespace {

const char VERSION[] = "1.1";

// One row per option; --help and --version come with the table.
CCommandLine CommandLine()
{
    return CCommandLine("vorlix", VERSION,
                        "Runs the emulator with the ROM images, font and samples in the working folder.",
                        {
                            {"--no-sound", "", "run silently, without a sound device (for machines that have none)"},
                        });
}

}  // namespace

int main(int argc, char* argv[])
{
    // Before Qt: --help and --version need no display, and a bad argument starts nothing.
    CCommandLine commandLine = CommandLine();
    if (const auto status = commandLine.Parse(argc, argv, std::cout, std::cerr))
        return *status;
    const bool silent = commandLine.Has("--no-sound");

    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(VERSION));
    QIcon icon;
    icon.addFile(QStringLiteral(":/vorlix/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/vorlix/icon48.png"), QSize(48, 48));
    QApplication::setWindowIcon(icon);
    // SIGTERM, SIGINT and SIGHUP end the program as Exit does, start-up included.
    CSignalWatcher signalWatcher([](int) { QCoreApplication::exit(0); });

    // Declared first so that it outlives the audio device, whose thread posts through it.
    CEventPoster poster;
    CSdlWaveOut deviceWaveOut;
    CSilentWaveOut silentWaveOut;
    CWaveOut& waveOut = silent ? static_cast<CWaveOut&>(silentWaveOut) : deviceWaveOut;
    deviceWaveOut.SetWakeup([&poster] { poster.Post(WM_WAVE_DONE); });

    // The application name is the program file's base name.
    const CSettingsStore store(QStringLiteral("Quentra"), QCoreApplication::applicationName());
    CMessenger messenger;
    CDesktopShell shell(store, messenger, waveOut, poster);
    CEmuApp app(shell);
    shell.Attach(app);
    shell.SetWaveDoneHandler([&deviceWaveOut, &app] {
        deviceWaveOut.DeliverFinished([&app](WaveBuffer& buffer) { app.Sound().OnBufferDone(buffer); });
    });
    if (silent) {
        // Without a device the sound still plays out in emulated time, slice by slice.
        app.SetAfterSlice([&silentWaveOut, &app] {
            silentWaveOut.Play(CSilentWaveOut::SLICE_BYTES,
                               [&app](WaveBuffer& buffer) { app.Sound().OnBufferDone(buffer); });
        });
    }

    if (!app.Startup()) {
        app.Shutdown();
        return 1;
    }
    const int status = QApplication::exec();
    app.Shutdown();
    return status;
}
