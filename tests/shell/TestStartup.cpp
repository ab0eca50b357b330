// Start-up with the window: each failure's message alone, a window that never shows and ticks
// that run nothing; the settings read once; a complete start; the message boxes themselves.
#include <QMessageBox>
#include <QSettings>
#include <QTest>

#include "ShellTest.h"

void ShellTest::StartupFailuresShowOneMessageAndRunNothing()
{
    FailingWaveOut deaf;
    const struct {
        MachineFiles files;
        CWaveOut* waveOut;
        int tickMs;
        QString message;
    } cases[] = {
        {{.roms = false}, nullptr, 20, "Memory initialization failed!"},
        {{.basicSize = 16383}, nullptr, 20, "Memory initialization failed!"},
        {{.font = false}, nullptr, 20, "Display initialization failed!"},
        {{.samples = false}, nullptr, 20, "Sound initialization failed!"},
        {{}, &deaf, 20, "Sound initialization failed!"},
        // A tick source that cannot start fails the window's creation itself.
        {{}, nullptr, 0, "MainWnd creation failed!"},
    };
    for (const auto& c : cases) {
        TestRig rig(c.files, c.waveOut, std::chrono::milliseconds(c.tickMs));
        // The message box's own loop dispatches ticks; the machine is not ready for them.
        int slices = -1;
        rig.messenger.onShow = [&rig, &slices] {
            if (!rig.shell.MainWindow())
                return;
            rig.app.Cpu().pendingEvents = 0;
            Tick(rig.Window(), 3);
            slices = int(rig.app.Cpu().pendingEvents + rig.app.Display().FrameCounter());
        };
        QVERIFY2(!rig.app.Startup(), qPrintable(c.message));
        QCOMPARE(rig.messenger.texts, QStringList{c.message});
        QCOMPARE(rig.messenger.windowVisible, std::vector<bool>{false});
        QCOMPARE(slices, c.tickMs ? 0 : -1);
        if (rig.shell.MainWindow())
            QVERIFY(!rig.Window().isVisible() && !rig.Window().RunEnabled());
        rig.app.Shutdown();
        QVERIFY(rig.shell.MainWindow() == nullptr && !rig.app.HasMainWindow());
    }
}

void ShellTest::StartupReadsTheSettingsAndShowsTheWindow()
{
    // What is stored, and the five values read: folder|destination|append|translate|speed.
    const std::vector<std::pair<QVariantMap, QString>> cases = {
        {{}, "||1|1|3500"},
        {{{"Config/FileFolder", "disk/"}, {"Config/PrintDestination", "printer.txt"}, {"Config/PrintAppend", 0},
          {"Config/EmulatorSpeed", 6000}},
         "disk/|printer.txt|0|1|6000"},
        {{{"Config/PrintAppend", "often"}, {"Config/PrintTranslate", -7}, {"Config/EmulatorSpeed", "12"},
          {"Other/EmulatorSpeed", 99}},
         "||1|-7|12"},
    };
    for (const auto& [stored, expected] : cases) {
        TestRig rig;
        QSettings store(TEST_COMPANY, TEST_APPLICATION);
        for (auto it = stored.begin(); it != stored.end(); ++it)
            store.setValue(it.key(), it.value());
        store.sync();
        QVERIFY(rig.app.Startup());
        const Settings& s = rig.app.Config();
        QCOMPARE(QString("%1|%2|%3|%4|%5").arg(QString::fromStdString(s.fileFolder),
                                               QString::fromStdString(s.printDestination))
                     .arg(s.printAppend).arg(s.printTranslate).arg(s.emulatorSpeed),
                 expected);
        QVERIFY(rig.messenger.texts.isEmpty());
        QVERIFY(rig.Window().isVisible() && rig.Window().RunEnabled());
        QCOMPARE(rig.app.Cpu().Regs().pc, std::uint16_t(0));
    }
    // The tick source's first tick runs a slice, which asks for the periodic interrupt.
    TestRig rig;
    QVERIFY(rig.app.Startup());
    QTRY_VERIFY(rig.app.Cpu().pendingEvents & CCpu::EVENT_NMI);
    rig.app.Shutdown();
    QVERIFY(rig.shell.MainWindow() == nullptr);
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
