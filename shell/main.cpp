// The desktop emulator: reads its command line, starts the machine with its window, runs the
// event loop and shuts down. It reads its files from the working directory; installed and
// started elsewhere, from the user's own runtime folder, which it prepares with links to the
// installed files. FILE, a program listing, is typed in once the machine's software shows
// its first prompt.
#include <filesystem>
#include <iostream>

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>

#include "core/CEmuApp.h"
#include "core/CTextFile.h"
#include "host/CRuntimeFolder.h"
#include "host/CSdlWaveOut.h"
#include "host/CSilentWaveOut.h"
#include "shell/CCommandLine.h"
#include "shell/CDesktopShell.h"
#include "shell/CEventPoster.h"
#include "shell/CMainWnd.h"
#include "shell/CMessenger.h"
#include "shell/CScreenWnd.h"
#include "shell/CSettingsStore.h"
#include "shell/CSignalWatcher.h"
#include "shell/CWindowExtras.h"
#include "shell/CWindowSettings.h"
#include "shell/ShellEvents.h"

namespace {

const char VERSION[] = VORLIX_VERSION;  // the project's, from the build

// One row per option; --help and --version come with the table.
CCommandLine CommandLine()
{
    return CCommandLine("vorlix", VERSION,
                        "Runs the emulator with the ROM images, font and samples in the working folder.",
                        {
                            {"--no-sound", "", "run silently, without a sound device (for machines that have none)"},
                            {"--zoom", "N", "show the screen N times larger, 1 to 4, for this run"},
                            {"--fullscreen", "", "start in full screen"},
                            {"--keyboard", "MODE", "type by \"character\" (what the keys show) or by \"position\""},
                            {"--run", "", "type RUN after FILE"},
                            {"FILE", "", "a program listing to type in once BASIC is ready"},
                        });
}

// --zoom's value, 0 when not given; false after one line on stderr for a bad one.
bool ReadZoom(const CCommandLine& commandLine, int& zoom)
{
    zoom = 0;
    if (!commandLine.Has("--zoom"))
        return true;
    const std::string value = commandLine.Value("--zoom");
    if (value.size() != 1 || value[0] < '1' || value[0] > '0' + CScreenWnd::MAX_ZOOM) {
        std::cerr << "vorlix: --zoom takes 1, 2, 3 or 4 (try --help)\n";
        return false;
    }
    zoom = value[0] - '0';
    return true;
}

// Installed and started in a folder without the machine's files, run in the user's own folder.
void EnterRuntimeFolder()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    const fs::path installed =
        fs::path(QCoreApplication::applicationDirPath().toStdString()) / VORLIX_DATA_FROM_BIN;
    if (ec || CRuntimeFolder::Holds(here) || !CRuntimeFolder::Holds(installed))
        return;
    const fs::path user =
        fs::path(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString()) / "vorlix";
    std::string error;
    const fs::path source = fs::weakly_canonical(installed, ec);
    if (ec)
        error = "cannot resolve " + installed.string();
    else if (CRuntimeFolder::Prepare(user, source, error)) {
        fs::current_path(user, ec);
        if (!ec)
            return;
        error = "cannot enter " + user.string();
    }
    std::cerr << "vorlix: " << error << "; starting in " << here.string() << "\n";
}

}  // namespace

int main(int argc, char* argv[])
{
    // Before Qt: --help and --version need no display, and a bad argument starts nothing.
    CCommandLine commandLine = CommandLine();
    if (const auto status = commandLine.Parse(argc, argv, std::cout, std::cerr))
        return *status;
    const bool silent = commandLine.Has("--no-sound");
    int zoom = 0;
    if (!ReadZoom(commandLine, zoom))
        return CCommandLine::STATUS_BAD_ARGUMENTS;

    CHostKeyMapper::Mode keyboardMode = CHostKeyMapper::Mode::Position;
    const bool keyboardGiven = commandLine.Has("--keyboard");
    if (keyboardGiven && !CMainWnd::ModeFromName(QString::fromStdString(commandLine.Value("--keyboard")), keyboardMode)) {
        std::cerr << "vorlix: --keyboard takes character or position, not " << commandLine.Value("--keyboard")
                  << " (try --help)\n";
        return CCommandLine::STATUS_BAD_ARGUMENTS;
    }
    QByteArray listing;
    if (commandLine.Has("FILE")) {
        std::string text, error;
        if (!CTextFile::Read(commandLine.Value("FILE"), text, error)) {
            std::cerr << "vorlix: " << error << '\n';
            return CCommandLine::STATUS_BAD_ARGUMENTS;
        }
        listing = QByteArray::fromStdString(text);
    }
    if (commandLine.Has("--run")) {
        if (!listing.isEmpty() && !listing.endsWith('\n') && !listing.endsWith('\r'))
            listing += '\n';
        listing += "RUN\n";
    }

    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(VERSION));
    QIcon icon;
    icon.addFile(QStringLiteral(":/vorlix/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/vorlix/icon48.png"), QSize(48, 48));
    QApplication::setWindowIcon(icon);
    // SIGTERM, SIGINT and SIGHUP end the program as Exit does, start-up included.
    CSignalWatcher signalWatcher([](int) { QCoreApplication::exit(0); });

    // The window's options apply to this run over its stored choices.
    // The application name is the program file's base name.
    const CSettingsStore store(QStringLiteral("Quentra"), QCoreApplication::applicationName());
    const CWindowSettings windowSettings(store);
    WindowChoices choices;
    windowSettings.Read(choices);
    choices.zoom = zoom != 0 ? zoom : choices.zoom;
    choices.fullScreen = choices.fullScreen || commandLine.Has("--fullscreen");
    EnterRuntimeFolder();

    // Declared first so that it outlives the audio device, whose thread posts through it.
    CEventPoster poster;
    CSdlWaveOut deviceWaveOut;
    CSilentWaveOut silentWaveOut;
    CWaveOut& waveOut = silent ? static_cast<CWaveOut&>(silentWaveOut) : deviceWaveOut;
    deviceWaveOut.SetWakeup([&poster] { poster.Post(WM_WAVE_DONE); });

    CMessenger messenger;
    CDesktopShell shell(store, messenger, waveOut, poster);
    CEmuApp app(shell);
    shell.Attach(app);
    shell.SetWindowCreatedHandler([&app, &windowSettings, &choices](CMainWnd& window) {
        new CWindowExtras(window, app.Sound(), &windowSettings, choices, CaptureFolders::Standard());
    });
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
    if (CMainWnd* window = shell.MainWindow()) {
        if (keyboardGiven)
            window->SetKeyboardMode(keyboardMode, false);
        if (!listing.isEmpty())
            window->TypeText(listing, true);
    }
    const int status = QApplication::exec();
    app.Shutdown();
    return status;
}
