// Start-up with the window: the first failure's message and a window that never shows;
// settings read once; a complete start showing the window with the machine reset.
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <QTest>

#include "TestRegistry.h"
#include "TestRig.h"
#include "shell/ShellEvents.h"

namespace {

class StartupTest : public QObject {
    Q_OBJECT

    // Runs a start-up that must fail with `message` alone, the window never shown.
    void ExpectFailure(TestRig& rig, const QString& message)
    {
        QVERIFY(!rig.app.Startup());
        QCOMPARE(rig.messenger.texts, QStringList{message});
        QCOMPARE(rig.messenger.windowVisible, std::vector<bool>{false});
        if (rig.shell.MainWindow()) {
            QVERIFY(!rig.Window().isVisible());
            QVERIFY(!rig.Window().RunEnabled());
        }
        rig.app.Shutdown();
        QVERIFY(rig.shell.MainWindow() == nullptr);
        QVERIFY(!rig.app.HasMainWindow());
    }

private Q_SLOTS:
    void EachFailureShowsItsMessageOnly()
    {
        {
            MachineFiles files;
            files.roms = false;
            TestRig rig(files);
            ExpectFailure(rig, "Memory initialization failed!");
        }
        {
            MachineFiles files;
            files.basicSize = 16383;
            TestRig rig(files);
            ExpectFailure(rig, "Memory initialization failed!");
        }
        {
            MachineFiles files;
            files.font = false;
            TestRig rig(files);
            ExpectFailure(rig, "Display initialization failed!");
        }
        {
            MachineFiles files;
            files.samples = false;
            TestRig rig(files);
            ExpectFailure(rig, "Sound initialization failed!");
        }
        {
            FailingWaveOut deaf;
            TestRig rig(MachineFiles(), &deaf);
            ExpectFailure(rig, "Sound initialization failed!");
        }
        {
            // A tick source that cannot start fails the window's creation itself.
            TestRig rig(MachineFiles(), nullptr, std::chrono::milliseconds(0));
            ExpectFailure(rig, "MainWnd creation failed!");
        }
    }

    void TicksDuringAFailureMessageRunNothing()
    {
        // The message box's own loop dispatches ticks; the machine is not ready for them.
        MachineFiles files;
        files.samples = false;
        TestRig rig(files);
        std::uint32_t pendingAfterTicks = 0xFFFFFFFF;
        std::uint32_t framesAfterTicks = 0xFFFFFFFF;
        rig.messenger.onShow = [&rig, &pendingAfterTicks, &framesAfterTicks] {
            rig.app.Cpu().pendingEvents = 0;
            for (int i = 0; i < 3; ++i)
                QCoreApplication::postEvent(&rig.Window(), new QEvent(WM_EMU_TICK));
            QCoreApplication::sendPostedEvents(&rig.Window());
            pendingAfterTicks = rig.app.Cpu().pendingEvents;
            framesAfterTicks = rig.app.Display().FrameCounter();
        };
        QVERIFY(!rig.app.Startup());
        QCOMPARE(rig.messenger.texts, QStringList{"Sound initialization failed!"});
        QCOMPARE(pendingAfterTicks, 0u);
        QCOMPARE(framesAfterTicks, 0u);
    }

    void StartsWithStoredSettingsAndShowsTheWindow()
    {
        TestRig rig;
        {
            QSettings stored(TEST_COMPANY, TEST_APPLICATION);
            stored.setValue("Config/FileFolder", "disk/");
            stored.setValue("Config/PrintDestination", "printer.txt");
            stored.setValue("Config/PrintAppend", 0);
            stored.setValue("Config/EmulatorSpeed", 6000);
        }
        QVERIFY(rig.app.Startup());
        QVERIFY(rig.messenger.texts.isEmpty());
        const Settings& settings = rig.app.Config();
        QCOMPARE(settings.fileFolder, std::string("disk/"));
        QCOMPARE(settings.printDestination, std::string("printer.txt"));
        QCOMPARE(settings.printAppend, 0);
        QCOMPARE(settings.printTranslate, 1);
        QCOMPARE(settings.emulatorSpeed, 6000);

        QVERIFY(rig.Window().isVisible());
        QVERIFY(rig.Window().RunEnabled());
        QCOMPARE(rig.app.Cpu().Regs().pc, std::uint16_t(0));
        // The first tick runs a slice and asks for the periodic interrupt.
        QTRY_VERIFY(rig.app.Cpu().pendingEvents & CCpu::EVENT_NMI);
        rig.app.Shutdown();
        QVERIFY(rig.shell.MainWindow() == nullptr);
    }

    void MessagesAreWarningBoxesWithOneOkButton()
    {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            box->accept();
        });
        CMessenger messenger;
        messenger.Show(nullptr, "Display initialization failed!");
        QCOMPARE(title, QCoreApplication::applicationName());
        QCOMPARE(text, QString("Display initialization failed!"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void SettingsDefaultWhenMissingOrUnreadable()
    {
        IsolatedSettings isolated;
        const CSettingsStore store(TEST_COMPANY, TEST_APPLICATION);
        Settings settings;
        store.Read(settings);
        QCOMPARE(settings.fileFolder, std::string());
        QCOMPARE(settings.printDestination, std::string());
        QCOMPARE(settings.printAppend, 1);
        QCOMPARE(settings.printTranslate, 1);
        QCOMPARE(settings.emulatorSpeed, 3500);
        {
            QSettings stored(TEST_COMPANY, TEST_APPLICATION);
            stored.setValue("Config/PrintAppend", "often");
            stored.setValue("Config/PrintTranslate", -7);
            stored.setValue("Config/EmulatorSpeed", "12");
            stored.setValue("Other/EmulatorSpeed", 99);
        }
        Settings again;
        store.Read(again);
        QCOMPARE(again.printAppend, 1);
        QCOMPARE(again.printTranslate, -7);
        QCOMPARE(again.emulatorSpeed, 12);
    }
};

}  // namespace

const ShellTests::Registration startupTest([] { return static_cast<QObject*>(new StartupTest); });
#include "TestStartup.moc"
