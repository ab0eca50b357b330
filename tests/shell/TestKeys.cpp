// Keys from native codes to the translator: the set-1 conversion, the release/press pairs
// of held keys, system combinations and focus loss, driven through the screen window.
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTest>

#include "ShellTestSupport.h"
#include "TestRegistry.h"
#include "bus/CMemory.h"
#include "devices/CDisplay.h"
#include "shell/CKeyCodes.h"
#include "shell/CRepeatFilter.h"
#include "shell/CScreenWnd.h"

namespace {

// XKB keycodes (kernel code + 8) of the keys the tests press.
constexpr quint32 XK_ESCAPE = 9, XK_A = 38, XK_S = 39, XK_TAB = 23, XK_LCTRL = 37, XK_LALT = 64;
constexpr quint32 XK_F10 = 76, XK_F12 = 96, XK_KP4 = 83, XK_KPENTER = 104, XK_RCTRL = 105;
constexpr quint32 XK_UP = 111, XK_LEFT = 113, XK_RIGHT = 114, XK_DOWN = 116, XK_RALT = 108;

using Events = std::vector<std::string>;

class KeyTest : public QObject {
    Q_OBJECT

    CMemory memory;
    CDisplay display{memory};

    void Send(QWidget& target, QEvent::Type type, quint32 native, quint64 time,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false)
    {
        QKeyEvent event(type, Qt::Key_unknown, modifiers, native, 0, 0, QString(), autoRepeat);
        event.setTimestamp(time);
        QCoreApplication::sendEvent(&target, &event);
    }
    void Press(QWidget& w, quint32 native, quint64 time, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        Send(w, QEvent::KeyPress, native, time, m);
    }
    void Release(QWidget& w, quint32 native, quint64 time, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        Send(w, QEvent::KeyRelease, native, time, m);
    }

private Q_SLOTS:
    void ConvertsNativeCodesToSetOne()
    {
        const std::vector<std::pair<quint32, int>> table = {
            {XK_ESCAPE, 0x01}, {XK_A, 0x1E}, {XK_S, 0x1F}, {XK_TAB, 0x0F}, {XK_LCTRL, 0x1D},
            {XK_LALT, 0x38}, {XK_F10, 0x44}, {XK_F12, 0x58}, {XK_KP4, 0x4B}, {94, 0x56},
            {XK_KPENTER, 0x1C}, {XK_RCTRL, 0x1D}, {XK_RALT, 0x38}, {XK_UP, 0x48},
            {XK_LEFT, 0x4B}, {XK_RIGHT, 0x4D}, {XK_DOWN, 0x50}, {118, 0x52}, {119, 0x53},
            // no set-1 make code: nothing, below the offset, unknown high codes
            {0, 0}, {8, 0}, {97, 0}, {8 + 101, 0}, {200, 0}, {255, 0}, {0xFFFFFFFF, 0},
        };
        for (const auto& [native, scan] : table)
            QCOMPARE(int(CKeyCodes::FromXkb(native)), scan);
        // Windows: the scan-code field with its extended bit, which is dropped.
        QCOMPARE(int(CKeyCodes::FromWindows(0x14B)), 0x4B);
        QCOMPARE(int(CKeyCodes::FromWindows(0x01E)), 0x1E);
    }

    void RepeatFilterDropsRepeatsAndKeepsOrder()
    {
        Events out;
        CRepeatFilter filter([&out](bool down, std::uint8_t scan) {
            out.push_back((down ? "D" : "U") + RecordingKeys::Hex(scan));
        });
        // X11: held A gives release/press pairs with one timestamp each.
        filter.Press(XK_A, 0x1E, 100);
        QVERIFY(filter.Release(XK_A, 0x1E, 130));
        filter.Press(XK_A, 0x1E, 130);
        QVERIFY(filter.Release(XK_A, 0x1E, 160));
        filter.Press(XK_A, 0x1E, 160);
        // A press without a release in between (Windows/Wayland style repeat).
        filter.Press(XK_A, 0x1E, 170);
        QCOMPARE(out, Events({"D1E"}));
        QVERIFY(filter.IsHeld(XK_A));
        // The real release: a different timestamp follows, so the release is real.
        QVERIFY(filter.Release(XK_A, 0x1E, 200));
        QVERIFY(filter.HasPending());
        filter.Press(XK_A, 0x1E, 201);
        QCOMPARE(out, Events({"D1E", "U1E", "D1E"}));
        // A waiting release goes out before the next key's press.
        QVERIFY(filter.Release(XK_A, 0x1E, 300));
        filter.Press(XK_S, 0x1F, 300);
        QCOMPARE(out, Events({"D1E", "U1E", "D1E", "U1E", "D1F"}));
        // Two keys mapped to one scan code stay two keys.
        filter.Press(XK_LEFT, 0x4B, 400);
        filter.Press(XK_KP4, 0x4B, 401);
        QCOMPARE(out.size(), size_t(7));
        // A release of a key never pressed, and focus loss forgetting everything.
        QVERIFY(!filter.Release(XK_ESCAPE, 0x01, 500));
        QVERIFY(filter.Release(XK_S, 0x1F, 510));
        filter.Forget();
        QVERIFY(!filter.HasPending());
        QVERIFY(!filter.IsHeld(XK_LEFT));
        filter.Flush();
        QCOMPARE(out.size(), size_t(7));
        QVERIFY(!filter.Release(XK_LEFT, 0x4B, 600));
    }

    void ScreenPassesOneDownAndOneUpPerStroke()
    {
        RecordingKeys keys;
        CScreenWnd screen(display, &keys, nullptr);
        // Hold A with three X11 repeat pairs, then let go.
        Press(screen, XK_A, 1000);
        for (quint64 t = 1500; t < 1600; t += 33) {
            Release(screen, XK_A, t);
            Send(screen, QEvent::KeyPress, XK_A, t, Qt::NoModifier, true);
        }
        Release(screen, XK_A, 2000);
        QCOMPARE(keys.events, Events({"D1E"}));
        // The release is held back only briefly.
        QTRY_COMPARE(keys.events, Events({"D1E", "U1E"}));

        // Arrows, keypad Enter and right Ctrl through the table; Tab stays a key.
        keys.events.clear();
        for (quint32 native : {XK_LEFT, XK_RIGHT, XK_UP, XK_DOWN, XK_KPENTER, XK_RCTRL, XK_TAB}) {
            Press(screen, native, 3000 + native);
            Release(screen, native, 3100 + native);
        }
        QTRY_COMPARE(keys.events, Events({"D4B", "U4B", "D4D", "U4D", "D48", "U48", "D50", "U50", "D1C", "U1C",
                                          "D1D", "U1D", "D0F", "U0F"}));
    }

    void SystemKeysNeverReachTheTranslator()
    {
        RecordingKeys keys;
        CScreenWnd screen(display, &keys, nullptr);
        // Alt alone, Alt+A, AltGr, F10 alone and Ctrl+F10.
        Press(screen, XK_LALT, 10);
        Press(screen, XK_A, 11, Qt::AltModifier);
        Release(screen, XK_A, 12, Qt::AltModifier);
        Release(screen, XK_LALT, 13, Qt::AltModifier);
        Press(screen, XK_RALT, 14);
        Release(screen, XK_RALT, 15);
        Press(screen, XK_F10, 16);
        Release(screen, XK_F10, 17);
        Press(screen, XK_F10, 18, Qt::ControlModifier);
        Release(screen, XK_F10, 19, Qt::ControlModifier);
        // A key pressed during Alt but released after it stays unseen.
        Press(screen, XK_S, 20, Qt::AltModifier);
        Release(screen, XK_S, 21);
        // Unknown native codes are not keys of the machine.
        Press(screen, 0, 22);
        Release(screen, 0, 23);
        QTest::qWait(2 * CRepeatFilter::RELEASE_HOLD_MS);
        QCOMPARE(keys.events, Events());

        // A key pressed before Alt went down is still released: the machine must not keep it.
        Press(screen, XK_A, 30);
        Release(screen, XK_A, 31, Qt::AltModifier);
        QTRY_COMPARE(keys.events, Events({"D1E", "U1E"}));
    }

    void FocusLossReleasesEverything()
    {
        RecordingKeys keys;
        CScreenWnd screen(display, &keys, nullptr);
        Press(screen, XK_A, 10);
        Press(screen, XK_S, 11);
        Release(screen, XK_S, 12);  // still held back when the focus goes
        QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(&screen, &focusOut);
        QCOMPARE(keys.events, Events({"D1E", "D1F", "F"}));
        // Releases of keys held across the focus loss do not reach the translator; new
        // presses do.
        Release(screen, XK_A, 20);
        Press(screen, XK_A, 21);
        QTest::qWait(2 * CRepeatFilter::RELEASE_HOLD_MS);
        QCOMPARE(keys.events, Events({"D1E", "D1F", "F", "D1E"}));
    }
};

}  // namespace

const ShellTests::Registration keyTest([] { return static_cast<QObject*>(new KeyTest); });
#include "TestKeys.moc"
