// The desktop shell's tests: one Qt Test class whose slots live in the Test*.cpp files, and
// what they share: recorders for messages and keys, the machine's files in a temporary working
// folder, and TestRig, the emulator wired as main() wires it with a settings store of its own.
#pragma once

#include <chrono>
#include <functional>

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QTest>
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
    void TickSourcePostsEveryTickUntilStoppedAndLogsTheJitter();
    void WindowLayoutAndScreenColours();
    void TicksRunSlicesButNotWhileConfiguringAndWaveNotificationsArrive();
    void ResetKeepsMemoryLatchesAndDevices();
    void KeysReachTheMachineAcrossFocusChanges();
    void ExitAndCloseEndTheEventLoop();
    void AboutBoxOpensFromTheContextMenuWhileTheMachineRuns();
    void ConvertsNativeCodesToSetOne();
    void KeyScriptsGiveOneDownAndOneUpPerStroke();
    void CommandLineRowsGiveTheHelpTheValuesAndOneLineErrors();
    void TypesByCharacterOnUsAndGermanLayouts();
    void DroppedAndPastedTextRoundTripsThroughSaveAndAKeyStopsIt();
    void KeyboardModeMenuAndMapKeepTheirSettingsApart();
    void KeyboardMapAgreesWithTheTranslatorAndTheCommittedPicture();
    void DialogRoundTrips();
    void DialogRejectsOverlongFolderAndReportsFailedWrites();
    void ColourButtonsTintOnlyTheSample();
    void ZoomAndFullScreenKeepEveryMachinePixelASolidSquare();
    void ScreenshotsAreTheScreenInItsColoursAtTheZoom();
    void PauseMuteRecordAndWarpKeepTheMachineInStep();
    void WindowChoicesAreReadFromTheirOwnGroup();
};

class RecordingMessenger final : public CMessenger {
public:
    void Show(QWidget*, const QString& text) override
    {
        texts << text;
        if (onShow)
            onShow();
    }
    void Log(const QString& line) override { lines << line; }
    QStringList texts;
    QStringList lines;             // what went to stderr
    std::function<void()> onShow;  // runs where a real box would run its own event loop
};

// Keeps what reached the translator as "D1E U1E F" (down, up, focus lost).
class RecordingKeys final : public CKeyTarget {
public:
    void KeyDown(std::uint8_t scan) override { Add(QString::asprintf("D%02X", scan)); }
    void KeyUp(std::uint8_t scan) override { Add(QString::asprintf("U%02X", scan)); }
    void FocusLost() override { Add("F"); }
    void Add(const QString& event) { events += (events.isEmpty() ? "" : " ") + event; }
    QString events;
};

// The files start-up reads: three ROM images (BASIC an endless JR -2), the font, five samples.
struct MachineFiles {
    bool roms = true;
    std::size_t basicSize = 16384;
    bool font = true;
    bool samples = true;
    void WriteTo(const TempFolder& folder) const;
};

inline const QString TEST_COMPANY = QStringLiteral("Quentra");
inline const QString TEST_APPLICATION = QStringLiteral("vorlix-test");

struct TestRig {
    explicit TestRig(MachineFiles files = MachineFiles(), CWaveOut* waveOut = nullptr,
                     std::chrono::milliseconds tickPeriod = CDesktopShell::TICK_PERIOD)
        : shell(store, messenger, waveOut ? *waveOut : nullWaveOut, poster, tickPeriod), app(shell)
    {
        files.WriteTo(folder);
        PointSettingsAt(settingsDir.path());
        shell.Attach(app);
        app.Sound().SetRetryDelay([](int) {});  // no waiting between the device's open attempts
    }
    ~TestRig() { app.Shutdown(); }
    CMainWnd& Window() { return *shell.MainWindow(); }
    static void PointSettingsAt(const QString& path);
    // Points the settings below a regular file, where nothing can be written.
    void MakeSettingsUnwritable();

    TempFolder folder;
    QTemporaryDir settingsDir;
    RecordingMessenger messenger;
    CEventPoster poster;
    CNullWaveOut nullWaveOut;
    CSettingsStore store{TEST_COMPANY, TEST_APPLICATION};
    CDesktopShell shell;
    CEmuApp app;
};

// The five settings as "folder|destination|append|translate|speed".
inline QString Describe(const QVariantList& values)
{
    QStringList texts;
    for (const QVariant& value : values)
        texts << value.toString();
    return texts.join('|');
}

inline QString Describe(const Settings& s)
{
    return Describe({QString::fromStdString(s.fileFolder), QString::fromStdString(s.printDestination), s.printAppend,
                     s.printTranslate, s.emulatorSpeed});
}

// Posts `count` ticks and dispatches them, as the tick source and event loop would.
inline void Tick(CMainWnd& window, int count = 1)
{
    for (int i = 0; i < count; ++i)
        QCoreApplication::postEvent(&window, new QEvent(WM_EMU_TICK));
    QCoreApplication::sendPostedEvents(&window, WM_EMU_TICK);
}

// Runs `inside` with the next modal dialog (null when it is not a `Dialog`) once it is up, then
// closes it if still open, so that a failed check inside ends the test rather than hanging it.
template <typename Dialog, typename Action>
void WhenModal(Action inside)
{
    QTimer::singleShot(0, [inside] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        inside(dynamic_cast<Dialog*>(dialog));
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
}
