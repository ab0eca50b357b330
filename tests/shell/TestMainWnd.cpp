// The main window: its geometry, the screen's colours, ticks that run slices (and do
// nothing while the configuration dialog is open), Reset, Exit, closing, and the about box.
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "TestRegistry.h"
#include "TestRig.h"
#include "shell/CAboutDlg.h"
#include "shell/CConfigDlg.h"
#include "shell/CScreenWnd.h"
#include "shell/ShellEvents.h"

namespace {

// Runs `inside` once the next modal dialog is up, with that dialog.
template <typename Dialog, typename Action>
void WhenModal(Action inside)
{
    QTimer::singleShot(0, [inside] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        inside(dynamic_cast<Dialog*>(dialog));
    });
}

void Tick(CMainWnd& window, int count = 1)
{
    for (int i = 0; i < count; ++i)
        QCoreApplication::postEvent(&window, new QEvent(WM_EMU_TICK));
    QCoreApplication::sendPostedEvents(&window, WM_EMU_TICK);
}

class MainWndTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void GeometryMatchesTheLayout()
    {
        TestRig rig;
        QVERIFY(rig.app.Startup());
        CMainWnd& window = rig.Window();
        QCOMPARE(window.windowTitle(), QString("Vorlix"));
        QCOMPARE(window.size(), QSize(306, 246));
        QCOMPARE(window.minimumSize(), QSize(306, 246));
        QCOMPARE(window.maximumSize(), QSize(306, 246));
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);

        CScreenWnd* screen = window.Screen();
        QCOMPARE(screen->geometry(), QRect(0, 0, 246, 246));
        QCOMPARE(screen->contentsRect(), QRect(2, 2, 242, 242));
        QCOMPARE(window.ResetButton()->geometry(), QRect(246, 0, 60, 40));
        QCOMPARE(window.ConfigButton()->geometry(), QRect(246, 40, 60, 40));
        QCOMPARE(window.ExitButton()->geometry(), QRect(246, 80, 60, 40));
        QCOMPARE(window.Filler()->geometry(), QRect(246, 120, 60, 126));
        QCOMPARE(window.ResetButton()->text(), QString("Reset"));
        QCOMPARE(window.ConfigButton()->text(), QString("Config"));
        QCOMPARE(window.ExitButton()->text(), QString("Exit"));
        for (QPushButton* button : {window.ResetButton(), window.ConfigButton(), window.ExitButton()})
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QCOMPARE(window.focusProxy(), static_cast<QWidget*>(screen));

        const QRect available = window.screen()->availableGeometry();
        // Centred before it was shown, when the frame's size was not yet known.
        const int slack = window.frameGeometry().width() - window.width() + 1;
        QVERIFY(qAbs(window.frameGeometry().center().x() - available.center().x()) <= slack);
        QVERIFY(qAbs(window.frameGeometry().center().y() - available.center().y()) <= slack);
    }

    void ScreenShowsTheImageInTwoColoursOnBlack()
    {
        TestRig rig;
        QVERIFY(rig.app.Startup());
        CScreenWnd* screen = rig.Window().Screen();
        std::vector<std::uint8_t> image(CDisplay::IMAGE_BYTES);
        for (auto [fill, colour] : {std::pair{0xFF, CScreenWnd::SET_COLOUR}, std::pair{0x00, CScreenWnd::CLEAR_COLOUR}}) {
            std::fill(image.begin(), image.end(), std::uint8_t(fill));
            screen->SetImage(image.data());
            const QImage shot = screen->grab().toImage();
            int wrong = 0;
            for (int y = 0; y < 240; ++y)
                for (int x = 0; x < 240; ++x)
                    wrong += shot.pixel(3 + x, 3 + y) != colour;
            QCOMPARE(wrong, 0);
            // The one-pixel margin inside the edge.
            for (int i = 2; i < 244; ++i) {
                QCOMPARE(shot.pixel(i, 2), qRgb(0, 0, 0));
                QCOMPARE(shot.pixel(i, 243), qRgb(0, 0, 0));
                QCOMPARE(shot.pixel(2, i), qRgb(0, 0, 0));
                QCOMPARE(shot.pixel(243, i), qRgb(0, 0, 0));
            }
        }
        // Rows are 30 bytes with the leftmost pixel in the top bit.
        std::fill(image.begin(), image.end(), std::uint8_t(0));
        image[0] = 0x80;
        image[29] = 0x01;
        image[30] = 0x40;
        image[7199] = 0x01;
        screen->SetImage(image.data());
        const QImage shot = screen->grab().toImage();
        QCOMPARE(shot.pixel(3, 3), CScreenWnd::SET_COLOUR);
        QCOMPARE(shot.pixel(4, 3), CScreenWnd::CLEAR_COLOUR);
        QCOMPARE(shot.pixel(3 + 239, 3), CScreenWnd::SET_COLOUR);
        QCOMPARE(shot.pixel(3 + 1, 4), CScreenWnd::SET_COLOUR);
        QCOMPARE(shot.pixel(3, 4), CScreenWnd::CLEAR_COLOUR);
        QCOMPARE(shot.pixel(3 + 239, 3 + 239), CScreenWnd::SET_COLOUR);
    }

    void TicksRunSlicesButNotWhileConfiguring()
    {
        TestRig rig;
        QVERIFY(rig.app.Startup());
        CMainWnd& window = rig.Window();
        CCpu& cpu = rig.app.Cpu();
        rig.poster.SetTarget(nullptr);  // only the ticks this test posts
        const std::uint32_t framesBefore = rig.app.Display().FrameCounter();
        cpu.Reset();
        QCOMPARE(window.OnEmuTick(), 1);
        QVERIFY(cpu.pendingEvents & CCpu::EVENT_NMI);
        Tick(window, 2);
        QCOMPARE(rig.app.Display().FrameCounter(), framesBefore + 3);

        bool checked = false;
        WhenModal<CConfigDlg>([&](CConfigDlg* dialog) {
            QVERIFY(dialog != nullptr);
            QVERIFY(!window.RunEnabled());
            cpu.Reset();
            const std::uint32_t frames = rig.app.Display().FrameCounter();
            Tick(window, 5);
            QCOMPARE(window.OnEmuTick(), 0);
            QCOMPARE(cpu.pendingEvents, 0u);
            QCOMPARE(cpu.cycleBudget, 0);
            QCOMPARE(rig.app.Display().FrameCounter(), frames);
            checked = true;
            dialog->reject();
        });
        window.OnConfig();
        QVERIFY(checked);
        QVERIFY(window.RunEnabled());
        // The ticks that came while it was open are not made up; the next one runs.
        const std::uint32_t frames = rig.app.Display().FrameCounter();
        Tick(window);
        QVERIFY(cpu.pendingEvents & CCpu::EVENT_NMI);
        QCOMPARE(rig.app.Display().FrameCounter(), frames + 1);
    }

    void WaveNotificationsReachTheirHandlerOneByOne()
    {
        TestRig rig;
        int calls = 0;
        rig.shell.SetWaveDoneHandler([&calls] { ++calls; });
        QVERIFY(rig.app.Startup());
        rig.poster.SetTarget(nullptr);
        for (int i = 0; i < 4; ++i)
            QCoreApplication::postEvent(&rig.Window(), new QEvent(WM_WAVE_DONE));
        QCoreApplication::sendPostedEvents(&rig.Window(), WM_WAVE_DONE);
        QCOMPARE(calls, 4);
        // The poster is how other threads reach the window; withdrawn, it posts nothing.
        rig.poster.SetTarget(&rig.Window());
        QVERIFY(rig.poster.Post(WM_WAVE_DONE));
        rig.poster.SetTarget(nullptr);
        QVERIFY(!rig.poster.Post(WM_WAVE_DONE));
        QCoreApplication::sendPostedEvents(&rig.Window(), WM_WAVE_DONE);
        QCOMPARE(calls, 5);
    }

    void ResetKeepsMemoryLatchesAndDevices()
    {
        TestRig rig;
        QVERIFY(rig.app.Startup());
        CMainWnd& window = rig.Window();
        rig.poster.SetTarget(nullptr);
        CCpu& cpu = rig.app.Cpu();
        rig.app.Memory().WriteByte(0x7C00, 0x41);
        rig.app.Memory().WriteByte(0xFFFF, 0x5A);
        rig.app.Bus().SetInputLatch(56, 0xE1);
        rig.app.Bus().SetInputLatch(255, 0x00);
        rig.app.Bus().WritePort(100, 0x33);
        rig.app.Config().fileFolder = "kept/";
        QVERIFY(rig.app.Files().Slot(2).Open("open.txt", CHostFile::Mode::Create));
        const std::uint32_t frames = rig.app.Display().FrameCounter();
        cpu.Regs().pc = 0x1234;
        cpu.Regs().im = 2;
        cpu.Regs().iff1 = cpu.Regs().iff2 = 1;
        cpu.RequestInterrupt(26);
        cpu.RequestNmi();

        window.ResetButton()->click();

        QCOMPARE(cpu.Regs().pc, std::uint16_t(0));
        QCOMPARE(cpu.Regs().im, std::uint8_t(0));
        QCOMPARE(cpu.Regs().iff1, std::uint8_t(0));
        QCOMPARE(cpu.pendingEvents, 0u);
        QCOMPARE(rig.app.Memory().ReadByte(0x7C00), std::uint8_t(0x41));
        QCOMPARE(rig.app.Memory().ReadByte(0xFFFF), std::uint8_t(0x5A));
        QCOMPARE(rig.app.Memory().ReadByte(0x0000), std::uint8_t(0x18));
        QCOMPARE(rig.app.Bus().ReadPort(56), std::uint8_t(0xE1));
        QCOMPARE(rig.app.Bus().ReadPort(255), std::uint8_t(0x00));
        QCOMPARE(rig.app.Bus().OutputLatch(100), std::uint8_t(0x33));
        QCOMPARE(rig.app.Config().fileFolder, std::string("kept/"));
        QVERIFY(rig.app.Files().Slot(2).IsOpen());
        QCOMPARE(rig.app.Display().FrameCounter(), frames);
        QVERIFY(window.RunEnabled());
        rig.app.Files().CloseAll();
    }

    void KeysReachTheTranslatorAndTheFocusStaysOnTheScreen()
    {
        TestRig rig;
        QVERIFY(rig.app.Startup());
        CMainWnd& window = rig.Window();
        rig.poster.SetTarget(nullptr);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.Screen()));

        // A, by its XKB keycode, through the translator: the code with bit 7 set while held.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a");
        press.setTimestamp(100);
        QCoreApplication::sendEvent(window.Screen(), &press);
        QCOMPARE(rig.app.Bus().ReadPort(56), std::uint8_t(0xE1));
        QVERIFY(rig.app.Cpu().pendingEvents & CCpu::EVENT_INT);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a");
        release.setTimestamp(200);
        QCoreApplication::sendEvent(window.Screen(), &release);
        QTRY_COMPARE(rig.app.Bus().ReadPort(56), std::uint8_t(0x61));

        // Clicking the buttons leaves the keys with the screen.
        QTest::mouseClick(window.ResetButton(), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.Screen()));
        WhenModal<CConfigDlg>([](CConfigDlg* dialog) {
            if (dialog)
                dialog->reject();
        });
        QTest::mouseClick(window.ConfigButton(), Qt::LeftButton);
        // The window's focus goes back to the screen; this platform leaves re-activating the
        // window after the dialog to the test.
        QCOMPARE(window.focusWidget(), static_cast<QWidget*>(window.Screen()));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.Screen()));

        // Holding a key while the focus goes elsewhere releases it for the machine.
        QKeyEvent again(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a");
        again.setTimestamp(300);
        QCoreApplication::sendEvent(window.Screen(), &again);
        QCOMPARE(rig.app.Bus().ReadPort(56), std::uint8_t(0xE1));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTRY_COMPARE(rig.app.Bus().ReadPort(56), std::uint8_t(0x61));
    }

    void ExitAndCloseEndTheEventLoop()
    {
        for (int way = 0; way < 2; ++way) {
            TestRig rig;
            QVERIFY(rig.app.Startup());
            CMainWnd& window = rig.Window();
            QTimer::singleShot(0, &window, [&window, way] {
                if (way == 0)
                    window.ExitButton()->click();
                else
                    window.close();
            });
            // Only a loop that nobody ended would meet this.
            QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
            QCOMPARE(QApplication::exec(), 0);
        }
    }

    void AboutBoxOpensFromTheContextMenuAndKeepsTheMachineRunning()
    {
        TestRig rig;
        QVERIFY(rig.app.Startup());
        CMainWnd& window = rig.Window();
        rig.poster.SetTarget(nullptr);

        // Twice, closed once by Enter and once by Escape.
        for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
            bool checked = false;
            WhenModal<CAboutDlg>([&](CAboutDlg* about) {
                QVERIFY(about != nullptr);
                QCOMPARE(about->windowTitle(), QString("About Vorlix"));
                QStringList texts;
                QSize logo;
                for (QLabel* label : about->findChildren<QLabel*>()) {
                    texts << label->text();
                    if (!label->pixmap().isNull())
                        logo = label->pixmap().size();
                }
                QVERIFY(texts.contains("Vorlix Version 1.1"));
                QCOMPARE(logo, QSize(231, 87));
                rig.app.Cpu().Reset();
                Tick(window);
                QVERIFY(rig.app.Cpu().pendingEvents & CCpu::EVENT_NMI);
                checked = true;
                QTest::keyClick(about, Qt::Key(key));
            });
            window.OnAbout();
            QVERIFY(checked);
        }

        // The context menu offers "About..." and it opens the box.
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            QAction* about = nullptr;
            for (QAction* action : menu->actions())
                if (action->text() == "About...")
                    about = action;
            QVERIFY(about != nullptr);
            WhenModal<CAboutDlg>([&](CAboutDlg* box) {
                opened = box != nullptr;
                if (box)
                    box->accept();
            });
            about->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), window.mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(&window, &event);
        QVERIFY(opened);
    }
};

}  // namespace

const ShellTests::Registration mainWndTest([] { return static_cast<QObject*>(new MainWndTest); });
#include "TestMainWnd.moc"
