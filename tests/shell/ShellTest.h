// The desktop shell's tests: one Qt Test class whose slots live in the Test*.cpp files, and
// what they share: recorders for messages and keys, the machine's files in a temporary
// working folder, an isolated settings store, and TestRig, the emulator wired as main() wires it.
#pragma once

#include <chrono>
#include <functional>

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "TempFolder.h"
#include "core/CEmuApp.h"
#include "host/CNullWaveOut.h"
#include "shell/CDesktopShell.h"
#include "shell/CEventPoster.h"
#include "shell/CKeyTarget.h"
#include "shell/CMainWnd.h"
#include "shell/CMessenger.h"
#include "shell/CSettingsStore.h"
#include "shell/ShellEvents.h"

class ShellTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void StartupFailuresShowOneMessageAndRunNothing();
    void StartupReadsTheSettingsAndShowsTheWindow();
    void MessagesAreWarningBoxesWithOneOkButton();
    void GeometryMatchesTheLayout();
    void ScreenShowsTheImageInTwoColoursOnBlack();
    void TicksRunSlicesButNotWhileConfiguring();
    void WaveNotificationsReachTheirHandler();
    void ResetKeepsMemoryLatchesAndDevices();
    void KeysReachTheMachineThroughTheFocusedScreen();
    void ExitAndCloseEndTheEventLoop();
    void AboutBoxOpensFromTheContextMenuWhileTheMachineRuns();
    void ConvertsNativeCodesToSetOne();
    void KeyScriptsGiveOneDownAndOneUpPerStroke();
    void DialogRoundTrips();
    void DialogRejectsOverlongFolderAndReportsFailedWrites();
    void ColourButtonsTintOnlyTheSample();
    void TickSourceCallsOncePerExpiryUntilStopped();
    void TicksArriveAsEventsAndTheJitterIsLogged();
};

class RecordingMessenger final : public CMessenger {
public:
    void Show(QWidget* parent, const QString& text) override;
    QStringList texts;
    std::vector<bool> windowVisible;  // whether any top-level window showed at each message
    std::function<void()> onShow;     // runs where a real box would run its own event loop
};

// Keeps what reached the translator as "D1E U1E F" (down, up, focus lost).
class RecordingKeys final : public CKeyTarget {
public:
    void KeyDown(std::uint8_t scan) override { Add(QString::asprintf("D%02X", scan)); }
    void KeyUp(std::uint8_t scan) override { Add(QString::asprintf("U%02X", scan)); }
    void FocusLost() override { Add("F"); }
    QString events;

private:
    void Add(const QString& event) { events += (events.isEmpty() ? "" : " ") + event; }
};

// A wave output whose device can never be opened.
class FailingWaveOut final : public CWaveOut {
public:
    bool Open() override { return false; }
    bool Prepare(WaveBuffer&) override { return false; }
    bool Write(WaveBuffer&) override { return false; }
    bool Unprepare(WaveBuffer&) override { return false; }
};

// The files start-up reads: three ROM images (BASIC an endless JR -2), the font, five samples.
struct MachineFiles {
    bool roms = true;
    std::size_t basicSize = 16384;
    bool font = true;
    bool samples = true;
    void WriteTo(const TempFolder& folder) const;
};

// Points the per-user settings store at a fresh folder while it lives.
class IsolatedSettings {
public:
    IsolatedSettings() { PointAt(dir.path()); }
    // Points the store below a regular file, where nothing can be written.
    void MakeUnwritable();

private:
    static void PointAt(const QString& path);
    QTemporaryDir dir;
};

inline const QString TEST_COMPANY = QStringLiteral("Quentra");
inline const QString TEST_APPLICATION = QStringLiteral("vorlix-test");

struct TestRig {
    explicit TestRig(MachineFiles files = MachineFiles(), CWaveOut* waveOut = nullptr,
                     std::chrono::milliseconds tickPeriod = CDesktopShell::TICK_PERIOD)
        : store(TEST_COMPANY, TEST_APPLICATION),
          shell(store, messenger, waveOut ? *waveOut : nullWaveOut, poster, tickPeriod),
          app(shell)
    {
        files.WriteTo(folder);
        shell.Attach(app);
        app.Sound().SetRetryDelay([](int) {});  // no waiting between the device's open attempts
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

// Posts `count` ticks and dispatches them, as the tick source and event loop would.
inline void Tick(CMainWnd& window, int count = 1)
{
    for (int i = 0; i < count; ++i)
        QCoreApplication::postEvent(&window, new QEvent(WM_EMU_TICK));
    QCoreApplication::sendPostedEvents(&window, WM_EMU_TICK);
}

// Runs `inside` with the next modal dialog (null when it is not a `Dialog`) once it is up.
template <typename Dialog, typename Action>
void WhenModal(Action inside)
{
    QTimer::singleShot(0, [inside] { inside(dynamic_cast<Dialog*>(QApplication::activeModalWidget())); });
}
