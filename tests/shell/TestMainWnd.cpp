// The main window: its geometry, the screen's colours, ticks that run slices (and nothing while
// the configuration dialog is open), wave notifications, Reset, keys and focus, Exit and closing,
// and the about box.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

#include "ShellTest.h"
#include "shell/CAboutDlg.h"
#include "shell/CConfigDlg.h"
#include "shell/CRepeatFilter.h"
#include "shell/CScreenWnd.h"

void ShellTest::WindowLayoutAndScreenColours()
{
    TestRig rig;
    QVERIFY(rig.app.Startup());
    CMainWnd& window = rig.Window();
    QCOMPARE(window.windowTitle(), QString("Vorlix"));
    QCOMPARE(window.size(), QSize(306, 246));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window.Screen()->geometry(), QRect(0, 0, 246, 246));
    QCOMPARE(window.Screen()->contentsRect(), QRect(2, 2, 242, 242));
    QCOMPARE(window.focusProxy(), static_cast<QWidget*>(window.Screen()));
    const struct {
        QPushButton* button;
        QString text;
        QRect rect;
    } buttons[] = {{window.ResetButton(), "Reset", {246, 0, 60, 40}},
                   {window.ConfigButton(), "Config", {246, 40, 60, 40}},
                   {window.ExitButton(), "Exit", {246, 80, 60, 40}}};
    for (const auto& b : buttons) {
        QCOMPARE(b.button->text(), b.text);
        QCOMPARE(b.button->geometry(), b.rect);
        QCOMPARE(b.button->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(window.Filler()->geometry(), QRect(246, 120, 60, 126));
    // Centred before it was shown, when the frame's size was not yet known.
    const QPoint off = window.frameGeometry().center() - window.screen()->availableGeometry().center();
    const int slack = window.frameGeometry().width() - window.width() + 1;
    QVERIFY2(qAbs(off.x()) <= slack && qAbs(off.y()) <= slack, "not centred");

    // The screen's image at 3, 3 inside the 2-pixel edge, a black one-pixel margin around it.
    CScreenWnd* screen = window.Screen();
    std::vector<std::uint8_t> image(CDisplay::IMAGE_BYTES);
    for (auto [fill, colour] : {std::pair{0xFF, QColor(200, 184, 32)}, std::pair{0x00, QColor(32, 32, 32)}}) {
        std::fill(image.begin(), image.end(), std::uint8_t(fill));
        screen->SetImage(image.data());
        const QImage shot = screen->grab().toImage();
        int wrong = 0;
        for (int y = 2; y < 244; ++y)
            for (int x = 2; x < 244; ++x)
                wrong += shot.pixel(x, y) != (x == 2 || y == 2 || x == 243 || y == 243 ? qRgb(0, 0, 0) : colour.rgb());
        QCOMPARE(wrong, 0);
    }
    // Rows are 30 bytes with the leftmost pixel in the top bit.
    for (auto [at, bits] : {std::pair{0, 0x80}, {29, 0x01}, {30, 0x40}, {7199, 0x01}})
        image[at] = std::uint8_t(bits);
    screen->SetImage(image.data());
    const QImage shot = screen->grab().toImage();
    QList<QPoint> set;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 240; ++x)
            if (shot.pixel(3 + x, 3 + y) == CScreenWnd::SET_COLOUR)
                set << QPoint(x, y);
    QCOMPARE(set, QList<QPoint>({{0, 0}, {239, 0}, {1, 1}, {239, 239}}));
}

void ShellTest::TicksRunSlicesButNotWhileConfiguringAndWaveNotificationsArrive()
{
    TestRig rig;
    int waveDone = 0;
    rig.shell.SetWaveDoneHandler([&waveDone] { ++waveDone; });
    QVERIFY(rig.app.Startup());
    CMainWnd& window = rig.Window();
    CCpu& cpu = rig.app.Cpu();
    // The poster is how other threads reach the window: wave notifications, one call each.
    for (int i = 0; i < 3; ++i)
        QVERIFY(rig.poster.Post(WM_WAVE_DONE));
    rig.poster.SetTarget(nullptr);  // withdrawn, it posts nothing: only the ticks this test posts
    QVERIFY(!rig.poster.Post(WM_WAVE_DONE));
    QCoreApplication::sendPostedEvents(&window, WM_WAVE_DONE);
    QCOMPARE(waveDone, 3);
    auto frames = [&rig] { return rig.app.Display().FrameCounter(); };
    const std::uint32_t before = frames();
    cpu.Reset();
    QCOMPARE(window.OnEmuTick(), 1);
    QVERIFY(cpu.pendingEvents & CCpu::EVENT_NMI);
    Tick(window, 2);  // late ticks are not merged
    QCOMPARE(frames(), before + 3);

    bool checked = false;
    WhenModal<CConfigDlg>([&](CConfigDlg* dialog) {
        QVERIFY(dialog && !window.RunEnabled());
        cpu.Reset();
        const std::uint32_t paused = frames();
        Tick(window, 5);
        QCOMPARE(window.OnEmuTick(), 0);
        QVERIFY(cpu.pendingEvents == 0 && cpu.cycleBudget == 0 && frames() == paused);
        checked = true;
        dialog->reject();
    });
    window.OnConfig();
    QVERIFY(checked && window.RunEnabled());
    QCOMPARE(window.focusWidget(), static_cast<QWidget*>(window.Screen()));
    // The ticks that came while it was open are not made up; the next one runs.
    const std::uint32_t resumed = frames();
    Tick(window);
    QVERIFY(cpu.pendingEvents & CCpu::EVENT_NMI);
    QCOMPARE(frames(), resumed + 1);
}

void ShellTest::ResetKeepsMemoryLatchesAndDevices()
{
    TestRig rig;
    QVERIFY(rig.app.Startup());
    rig.poster.SetTarget(nullptr);
    CEmuApp& app = rig.app;
    CCpu& cpu = app.Cpu();
    app.Memory().WriteByte(0x7C00, 0x41);
    app.Bus().SetInputLatch(56, 0xE1);
    app.Bus().WritePort(100, 0x33);
    app.Config().fileFolder = "kept/";
    QVERIFY(app.Files().Slot(2).Open("open.txt", CHostFile::Mode::Create));
    const std::uint32_t frames = app.Display().FrameCounter();
    cpu.Regs().pc = 0x1234;
    cpu.Regs().im = 2;
    cpu.Regs().iff1 = cpu.Regs().iff2 = 1;
    cpu.RequestInterrupt(26);
    cpu.RequestNmi();

    rig.Window().ResetButton()->click();

    QVERIFY(cpu.Regs().pc == 0 && cpu.Regs().im == 0 && cpu.Regs().iff1 == 0 && cpu.pendingEvents == 0);
    QVERIFY(app.Memory().ReadByte(0x7C00) == 0x41 && app.Memory().ReadByte(0) == 0x18);
    QVERIFY(app.Bus().ReadPort(56) == 0xE1 && app.Bus().OutputLatch(100) == 0x33);
    QVERIFY(app.Config().fileFolder == "kept/" && app.Files().Slot(2).IsOpen());
    QVERIFY(app.Display().FrameCounter() == frames && rig.Window().RunEnabled());
    app.Files().CloseAll();
}

void ShellTest::KeysReachTheMachineAcrossFocusChanges()
{
    TestRig rig;
    QVERIFY(rig.app.Startup());
    CMainWnd& window = rig.Window();
    rig.poster.SetTarget(nullptr);
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.Screen()));
    // Keys by their XKB keycodes: A, C, left Shift, left Ctrl.
    constexpr quint32 A = 38, C = 54, SHIFT = 50, CTRL = 37;
    auto send = [&window](QEvent::Type type, quint32 native, quint64 time) {
        QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, native, 0, 0, QString());
        key.setTimestamp(time);
        QCoreApplication::sendEvent(window.Screen(), &key);
    };
    QWidget other;
    auto focusAwayAndBack = [&] {
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    };
    // The translator latches the code with bit 7 set while held, and interrupts.
    send(QEvent::KeyPress, A, 100);
    QCOMPARE(rig.app.Bus().ReadPort(56), std::uint8_t(0xE1));
    QVERIFY(rig.app.Cpu().pendingEvents & CCpu::EVENT_INT);
    send(QEvent::KeyRelease, A, 200);
    QTRY_COMPARE(rig.app.Bus().ReadPort(56), std::uint8_t(0x61));
    // Held while another window takes the focus, it is released for the machine, and its
    // repeats after the focus is back are no new presses.
    send(QEvent::KeyPress, A, 300);
    QCOMPARE(rig.app.Bus().ReadPort(56), std::uint8_t(0xE1));
    focusAwayAndBack();
    QCOMPARE(rig.app.Bus().ReadPort(56), std::uint8_t(0x61));
    rig.app.Cpu().pendingEvents = 0;
    send(QEvent::KeyRelease, A, 400);
    send(QEvent::KeyPress, A, 400);
    send(QEvent::KeyRelease, A, 500);
    QTest::qWait(2 * CRepeatFilter::RELEASE_HOLD_MS);
    QVERIFY(rig.app.Bus().ReadPort(56) == 0x61 && !(rig.app.Cpu().pendingEvents & CCpu::EVENT_INT));
    // Shift or Ctrl held while the focus is away and released after it is back: the machine
    // sees the release, so the next letter is plain (held, A would give 0xC1 and C a Break).
    const struct {
        quint32 modifier, letter;
        std::uint8_t code;
    } modifiers[] = {{SHIFT, A, 0xE1}, {CTRL, C, 0xE3}};
    quint64 time = 1000;
    for (const auto& m : modifiers) {
        send(QEvent::KeyPress, m.modifier, time += 10);
        focusAwayAndBack();
        send(QEvent::KeyRelease, m.modifier, time += 10);
        send(QEvent::KeyPress, m.letter, time += 10);
        QCOMPARE(rig.app.Bus().ReadPort(56), m.code);
        send(QEvent::KeyRelease, m.letter, time += 10);
    }
}

void ShellTest::ExitAndCloseEndTheEventLoop()
{
    for (bool viaButton : {true, false}) {
        TestRig rig;
        QVERIFY(rig.app.Startup());
        CMainWnd& window = rig.Window();
        QTimer::singleShot(0, &window, [&window, viaButton] {
            viaButton ? window.ExitButton()->click() : void(window.close());
        });
        // Only a loop nobody ended meets this; it goes with the window, not to disturb later loops.
        QTimer::singleShot(10000, &window, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
    }
}

void ShellTest::AboutBoxOpensFromTheContextMenuWhileTheMachineRuns()
{
    TestRig rig;
    QVERIFY(rig.app.Startup());
    CMainWnd& window = rig.Window();
    rig.poster.SetTarget(nullptr);
    // The context menu offers "About..."; the box closes by Enter, then by Escape.
    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            WhenModal<CAboutDlg>([&](CAboutDlg* about) {
                QVERIFY(about != nullptr);
                QCOMPARE(about->windowTitle(), QString("About Vorlix"));
                QStringList texts;
                QSize logo;
                for (QLabel* label : about->findChildren<QLabel*>()) {
                    texts << label->text();
                    logo = label->pixmap().isNull() ? logo : label->pixmap().size();
                }
                QVERIFY(texts.contains("Vorlix Version 1.1"));
                QCOMPARE(logo, QSize(231, 87));
                rig.app.Cpu().Reset();
                Tick(window);
                QVERIFY(rig.app.Cpu().pendingEvents & CCpu::EVENT_NMI);
                checked = true;
                QTest::keyClick(about, Qt::Key(key));
            });
            for (QAction* action : menu->actions())
                if (action->text() == "About...")
                    action->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), window.mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(&window, &event);
        QVERIFY(checked);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
}
