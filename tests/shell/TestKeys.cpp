// Keys from native codes to the translator: the set-1 conversion, and scripts of key events
// sent to the screen window (held keys as X11 gives them, system keys, focus loss).
#include <QFocusEvent>
#include <QKeyEvent>

#include "ShellTest.h"
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
constexpr quint32 XK_LSHIFT = 50, XK_RSHIFT = 62;

constexpr auto ALT = Qt::AltModifier;

// 'P' press, 'p' press flagged as an auto-repeat, 'R' release, 'F' focus out.
struct KeyEvent {
    char what;
    quint32 native = 0;
    quint64 time = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

}  // namespace

void ShellTest::ConvertsNativeCodesToSetOne()
{
    const std::pair<quint32, int> table[] = {
        {XK_ESCAPE, 0x01}, {XK_A, 0x1E}, {XK_S, 0x1F}, {XK_TAB, 0x0F}, {XK_LCTRL, 0x1D},
        {XK_LALT, 0x38}, {XK_F10, 0x44}, {XK_F12, 0x58}, {XK_KP4, 0x4B}, {94, 0x56},
        {XK_KPENTER, 0x1C}, {XK_RCTRL, 0x1D}, {XK_RALT, 0x38}, {XK_UP, 0x48},
        {XK_LEFT, 0x4B}, {XK_RIGHT, 0x4D}, {XK_DOWN, 0x50}, {118, 0x52}, {119, 0x53},
        // no set-1 make code: nothing, below the offset, unknown high codes
        {0, 0}, {8, 0}, {97, 0}, {8 + 101, 0}, {200, 0}, {255, 0}, {0xFFFFFFFF, 0},
    };
    for (const auto& [native, scan] : table)
        QVERIFY2(CKeyCodes::FromXkb(native) == scan, qPrintable(QString::number(native)));
}

void ShellTest::KeyScriptsGiveOneDownAndOneUpPerStroke()
{
    const struct {
        const char* name;
        std::vector<KeyEvent> script;
        QString expected;
    } cases[] = {
        {"held A as X11 repeats it: release/press pairs with one timestamp, presses without "
         "releases, the repeat flag; then a real release",
         {{'P', XK_A, 100}, {'R', XK_A, 130}, {'P', XK_A, 130}, {'R', XK_A, 160}, {'p', XK_A, 160},
          {'P', XK_A, 170}, {'p', XK_A, 180}, {'R', XK_A, 200}},
         "D1E U1E"},
        {"a release and a press at different times are two strokes; a waiting release goes out "
         "before the next key's press",
         {{'P', XK_A, 100}, {'R', XK_A, 200}, {'P', XK_A, 201}, {'R', XK_A, 300}, {'P', XK_S, 300},
          {'R', XK_S, 400}},
         "D1E U1E D1E U1E D1F U1F"},
        {"two keys with one scan code stay two keys",
         {{'P', XK_LEFT, 400}, {'P', XK_KP4, 401}, {'R', XK_LEFT, 402}, {'R', XK_KP4, 403}},
         "D4B D4B U4B U4B"},
        {"arrows, keypad Enter and right Ctrl through the table; Tab stays a key",
         {{'P', XK_LEFT, 1}, {'R', XK_LEFT, 2}, {'P', XK_RIGHT, 3}, {'R', XK_RIGHT, 4}, {'P', XK_UP, 5},
          {'R', XK_UP, 6}, {'P', XK_DOWN, 7}, {'R', XK_DOWN, 8}, {'P', XK_KPENTER, 9}, {'R', XK_KPENTER, 10},
          {'P', XK_RCTRL, 11}, {'R', XK_RCTRL, 12}, {'P', XK_TAB, 13}, {'R', XK_TAB, 14}},
         "D4B U4B D4D U4D D48 U48 D50 U50 D1C U1C D1D U1D D0F U0F"},
        {"Alt, Alt+A, AltGr, F10, Ctrl+F10, a key released after Alt, unknown codes and a release "
         "never pressed stay unseen; a key pressed before Alt is still released",
         {{'P', XK_LALT, 10}, {'P', XK_A, 11, ALT}, {'R', XK_A, 12, ALT}, {'R', XK_LALT, 13, ALT},
          {'P', XK_RALT, 14}, {'R', XK_RALT, 15}, {'P', XK_F10, 16}, {'R', XK_F10, 17},
          {'P', XK_F10, 18, Qt::ControlModifier}, {'R', XK_F10, 19, Qt::ControlModifier},
          {'P', XK_S, 20, ALT}, {'R', XK_S, 21}, {'P', 0, 22}, {'R', 0, 23}, {'R', XK_ESCAPE, 24},
          {'P', XK_A, 30}, {'R', XK_A, 31, ALT}},
         "D1E U1E"},
        {"focus loss drops a waiting release and the releases of held keys; new presses count",
         {{'P', XK_A, 10}, {'P', XK_S, 11}, {'R', XK_S, 12}, {'F'}, {'R', XK_A, 20}, {'P', XK_A, 21}},
         "D1E D1F F D1E"},
        {"a key held across a focus change gives no press at its repeats until it is released",
         {{'P', XK_A, 10}, {'F'}, {'R', XK_A, 30}, {'P', XK_A, 30}, {'p', XK_A, 40}, {'R', XK_A, 60}, {'P', XK_A, 70}},
         "D1E F D1E"},
        {"the releases of Shift and Ctrl always go on: held across a focus change, waiting when it "
         "comes, or pressed before the focus came",
         {{'P', XK_LSHIFT, 10}, {'P', XK_LCTRL, 11}, {'F'}, {'R', XK_LSHIFT, 30}, {'R', XK_LCTRL, 31},
          {'P', XK_RSHIFT, 40}, {'R', XK_RSHIFT, 41}, {'F'}, {'R', XK_LSHIFT, 50}},
         "D2A D1D F U2A U1D D36 U36 F U2A"},
    };
    CMemory memory;
    CDisplay display(memory);
    for (const auto& c : cases) {
        RecordingKeys keys;
        CScreenWnd screen(display, &keys, nullptr);
        for (const KeyEvent& e : c.script) {
            if (e.what == 'F') {
                QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
                QCoreApplication::sendEvent(&screen, &focusOut);
                continue;
            }
            QKeyEvent key(e.what == 'R' ? QEvent::KeyRelease : QEvent::KeyPress, Qt::Key_unknown, e.modifiers,
                          e.native, 0, 0, QString(), e.what == 'p');
            key.setTimestamp(e.time);
            QCoreApplication::sendEvent(&screen, &key);
        }
        // A last release waits only briefly for the press that would make it a repeat.
        QTest::qWait(2 * CRepeatFilter::RELEASE_HOLD_MS);
        QTRY_VERIFY2(keys.events == c.expected, qPrintable(QString("%1: got \"%2\"").arg(c.name, keys.events)));
    }
}
