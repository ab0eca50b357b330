// The desktop emulator: starts the machine with its window, runs the event loop and shuts
// down. It takes no command-line arguments and reads its files from the working directory.
#include <QApplication>
#include <QIcon>

#include "core/CEmuApp.h"
#include "host/CSdlWaveOut.h"
#include "shell/CDesktopShell.h"
#include "shell/CEventPoster.h"
#include "shell/CMainWnd.h"
#include "shell/CMessenger.h"
#include "shell/CSettingsStore.h"
#include "shell/ShellEvents.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral("1.1"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/vorlix/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/vorlix/icon48.png"), QSize(48, 48));
    QApplication::setWindowIcon(icon);

    // Declared first so that it outlives the audio device, whose thread posts through it.
    CEventPoster poster;
    CSdlWaveOut waveOut;
    waveOut.SetWakeup([&poster] { poster.Post(WM_WAVE_DONE); });

    // The application name is the program file's base name.
    const CSettingsStore store(QStringLiteral("Quentra"), QCoreApplication::applicationName());
    CMessenger messenger;
    CDesktopShell shell(store, messenger, waveOut, poster);
    CEmuApp app(shell);
    shell.Attach(app);
    shell.SetWaveDoneHandler([&waveOut, &app] {
        waveOut.DeliverFinished([&app](WaveBuffer& buffer) { app.Sound().OnBufferDone(buffer); });
    });

    if (!app.Startup()) {
        app.Shutdown();
        return 1;
    }
    const int status = QApplication::exec();
    app.Shutdown();
    return status;
}
