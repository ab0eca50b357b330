// Start-up with the window: each failure's message alone, a window that never shows and ticks
// that run nothing; the settings read once; a complete start; the message boxes; and the 20 ms
// tick source, whose intervals as events arrive here are logged as the tick jitter (nothing
// asserts on time).
#include <algorithm>
#include <cmath>

#include <QMessageBox>
#include <QSettings>

#include <sstream>

#include "ShellTest.h"
#include "host/CTickSource.h"
#include "shell/CCommandLine.h"

namespace {

// A wave output whose device can never be opened.
class FailingWaveOut final : public CWaveOut {
public:
    bool Open() override { return false; }
    bool Prepare(WaveBuffer&) override { return false; }
    bool Write(WaveBuffer&) override { return false; }
    bool Unprepare(WaveBuffer&) override { return false; }
    std::string OpenError() const override { return "no device here"; }
};

}  // namespace

void ShellTest::StartupFailuresShowOneMessageAndRunNothing()
{
    FailingWaveOut deaf;
    // Where a file is at fault, the line on stderr names it, the folder and the reason.
    const QString advice = "): start the emulator in the folder that holds its ROM images, font and samples";
    const struct {
        MachineFiles files;
        CWaveOut* waveOut;
        int tickMs;  // 0: the tick source cannot start, which fails the window's creation
        QString message;
        QString line;  // %1 is the folder
    } cases[] = {
        {{.roms = false}, nullptr, 20, "Memory initialization failed!", "cannot read basic.rom in %1 (no such file" + advice},
        {{.basicSize = 16383}, nullptr, 20, "Memory initialization failed!",
         "cannot read basic.rom in %1 (needs 16384 bytes, found 16383" + advice},
        {{.font = false}, nullptr, 20, "Display initialization failed!", "cannot read font.bin in %1 (no such file" + advice},
        {{.samples = false}, nullptr, 20, "Sound initialization failed!", "cannot read slf.snd in %1 (no such file" + advice},
        {{}, &deaf, 20, "Sound initialization failed!",
         "no sound output could be opened (no device here); start with --no-sound to run silently"},
        {{}, nullptr, 0, "MainWnd creation failed!", "the main window or its 20 ms timer could not be created"},
    };
    for (const auto& c : cases) {
        TestRig rig(c.files, c.waveOut, std::chrono::milliseconds(c.tickMs));
        const QString line = c.line.contains("%1") ? c.line.arg(QString::fromStdString(rig.folder.Path().string())) : c.line;
        // No window shows with the message, and the box's own loop dispatches ticks, for which
        // the machine is not ready.
        int ran = -1;
        bool visible = false;
        rig.messenger.onShow = [&rig, &ran, &visible] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                visible = visible || widget->isVisible();
            if (!rig.shell.MainWindow())
                return;
            rig.app.Cpu().pendingEvents = 0;
            Tick(rig.Window(), 3);
            ran = int(rig.app.Cpu().pendingEvents + rig.app.Display().FrameCounter());
        };
        QVERIFY2(!rig.app.Startup(), qPrintable(c.message));
        QCOMPARE(rig.messenger.texts, QStringList{c.message});
        QCOMPARE(rig.messenger.lines, QStringList{line});
        QVERIFY(!visible);
        QCOMPARE(ran, c.tickMs ? 0 : -1);
        QVERIFY(!rig.shell.MainWindow() || (!rig.Window().isVisible() && !rig.Window().RunEnabled()));
        rig.app.Shutdown();
        QVERIFY(rig.shell.MainWindow() == nullptr && !rig.app.HasMainWindow());
    }
}

void ShellTest::StartupReadsTheSettingsAndShowsTheWindow()
{
    // What is stored, and the five values read.
    const std::pair<QVariantMap, QString> cases[] = {
        {{}, "||1|1|3500"},
        {{{"Config/FileFolder", "disk/"}, {"Config/PrintDestination", "printer.txt"}, {"Config/PrintAppend", 0},
          {"Config/EmulatorSpeed", 6000}},
         "disk/|printer.txt|0|1|6000"},
        {{{"Config/PrintAppend", "often"}, {"Config/PrintTranslate", -7}, {"Config/EmulatorSpeed", "12"},
          {"Other/EmulatorSpeed", 99}},
         "||1|-7|12"},
        // Integers are 32 bits: beyond that a value is unreadable (cut down, 2^32 would be 0).
        {{{"Config/PrintAppend", qlonglong(4294967296)}, {"Config/PrintTranslate", qlonglong(-2147483648LL)},
          {"Config/EmulatorSpeed", qlonglong(2147483648LL)}},
         "||1|-2147483648|3500"},
        {{{"Config/PrintAppend", "-2147483649"}, {"Config/EmulatorSpeed", "2147483647"}}, "||1|1|2147483647"},
    };
    for (const auto& [stored, expected] : cases) {
        TestRig rig;
        QSettings store(TEST_COMPANY, TEST_APPLICATION);
        for (auto it = stored.begin(); it != stored.end(); ++it)
            store.setValue(it.key(), it.value());
        store.sync();
        QVERIFY(rig.app.Startup());
        QCOMPARE(Describe(rig.app.Config()), expected);
        QVERIFY(rig.messenger.texts.isEmpty() && rig.Window().isVisible() && rig.Window().RunEnabled());
        QCOMPARE(rig.app.Cpu().Regs().pc, std::uint16_t(0));
        // The tick source's first tick runs a slice, which asks for the periodic interrupt.
        QTRY_VERIFY(rig.app.Cpu().pendingEvents & CCpu::EVENT_NMI);
    }
}

void ShellTest::MessagesAreWarningBoxesWithOneOkButton()
{
    QString seen;
    QTimer::singleShot(0, [&seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = QString("%1|%2|%3|%4").arg(box->windowTitle(), box->text()).arg(box->icon())
                       .arg(box->standardButtons());
            box->accept();
        }
    });
    CMessenger().Show(nullptr, "Display initialization failed!");
    QCOMPARE(seen, QString("%1|Display initialization failed!|%2|%3")
                       .arg(QCoreApplication::applicationName()).arg(QMessageBox::Warning).arg(QMessageBox::Ok));
}

void ShellTest::TickSourcePostsEveryTickUntilStoppedAndLogsTheJitter()
{
    struct Receiver final : QObject {
        std::vector<std::chrono::steady_clock::time_point> arrivals;
        bool event(QEvent* event) override
        {
            if (event->type() != WM_EMU_TICK)
                return QObject::event(event);
            arrivals.push_back(std::chrono::steady_clock::now());
            return true;
        }
    } receiver;
    CEventPoster poster;
    poster.SetTarget(&receiver);
    auto post = [&poster] { poster.Post(WM_EMU_TICK); };
    CTickSource ticks(CDesktopShell::TICK_PERIOD);
    QVERIFY(!ticks.Running() && ticks.Start(post));
    QVERIFY(ticks.Running() && !ticks.Start(post));
    QTRY_VERIFY_WITH_TIMEOUT(receiver.arrivals.size() >= 101, 20000);
    ticks.Stop();
    QVERIFY(!ticks.Running());
    QCoreApplication::sendPostedEvents(&receiver);
    const std::size_t stopped = receiver.arrivals.size();
    QTest::qWait(60);
    QCOMPARE(receiver.arrivals.size(), stopped);
    QVERIFY(ticks.Start(post));  // it starts again after a stop
    QTRY_VERIFY(receiver.arrivals.size() > stopped);
    ticks.Stop();
    QVERIFY(!CTickSource(std::chrono::milliseconds(0)).Start(post));
    QVERIFY(!CTickSource(std::chrono::milliseconds(20)).Start(nullptr));

    double sum = 0, square = 0, low = 1e9, high = 0;
    for (std::size_t i = 1; i < 101; ++i) {
        const double ms = std::chrono::duration<double, std::milli>(receiver.arrivals[i] - receiver.arrivals[i - 1]).count();
        sum += ms;
        square += ms * ms;
        low = std::min(low, ms);
        high = std::max(high, ms);
    }
    qInfo("tick intervals over 100 ticks at the UI thread: mean %.3f ms, min %.3f ms, max %.3f ms, std dev %.3f ms",
          sum / 100, low, high, std::sqrt(square / 100 - (sum / 100) * (sum / 100)));
}

void ShellTest::CommandLineRowsGiveTheHelpTheValuesAndOneLineErrors()
{
    const std::vector<CCommandLine::Row> rows = {
        {"--quiet", "", "say less"}, {"FILE", "", "a listing to type in"}, {"--zoom", "N", "show N times larger"}};
    const std::string help = "usage: demo [OPTION]... [FILE]\nDoes a demonstration.\n"
                             "  --quiet    say less\n"
                             "  --zoom N   show N times larger\n"
                             "  --help     show this help and exit\n"
                             "  --version  show the version and exit\n"
                             "  FILE       a listing to type in\n";
    const struct {
        std::vector<const char*> arguments;
        int status;  // -1: the program goes on
        std::string out, err, given;
    } cases[] = {
        {{}, -1, "", "", ""},
        {{"--zoom", "3", "--quiet", "prog.bas"}, -1, "", "", "--quiet FILE=prog.bas --zoom=3"},
        {{"--zoom=2", "--zoom=", "--", "-odd.bas"}, -1, "", "", "FILE=-odd.bas --zoom="},
        {{"-"}, -1, "", "", "FILE=-"},
        {{"--zoom"}, 2, "", "demo: --zoom needs a value N (try --help)\n", ""},
        {{"--quiet=1"}, 2, "", "demo: --quiet takes no value (try --help)\n", ""},
        {{"a.bas", "b.bas"}, 2, "", "demo: unexpected argument b.bas (try --help)\n", ""},
        {{"--bogus", "--help"}, 2, "", "demo: unknown option --bogus (try --help)\n", ""},
        {{"-q"}, 2, "", "demo: unknown option -q (try --help)\n", ""},
        {{"--help", "--bogus"}, 0, help, "", ""},
        {{"--zoom", "2", "--version"}, 0, "demo 2.0\n", "", ""},
    };
    for (const auto& c : cases) {
        CCommandLine line("demo", "2.0", "Does a demonstration.", rows);
        std::vector<const char*> argv{"demo"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        std::ostringstream out, err;
        const auto status = line.Parse(int(argv.size()), argv.data(), out, err);
        const QString name = QString::fromStdString(c.err + c.given);
        QVERIFY2(status.value_or(-1) == c.status, qPrintable(name));
        QCOMPARE(out.str(), c.out);
        QCOMPARE(err.str(), c.err);
        std::string given;
        for (const auto& row : rows)
            if (line.Has(row.name))
                given += (given.empty() ? "" : " ") + row.name +
                         (row.name == "--quiet" ? "" : "=" + line.Value(row.name));
        if (c.status < 0)
            QCOMPARE(given, c.given);
    }
}
