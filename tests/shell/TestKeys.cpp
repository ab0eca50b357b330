// Keys from native codes to the translator: the set-1 conversion, and scripts of key events
// sent to the screen window (held keys as X11 gives them, system keys, focus loss; typing by
// character on US and German layouts).
#include <QFocusEvent>
#include <QKeyEvent>

#include "MachineRig.h"
#include "ShellTest.h"
#include "bus/CMemory.h"
#include "devices/CKeyboard.h"
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

namespace {

// A host key event for the typing-by-character scripts: 'P' press, 'R' release, with the
// text the host layout gives and the modifiers held.
struct CharEvent {
    char what;
    quint32 native;
    const char* text;
    Qt::KeyboardModifiers modifiers;
};

constexpr auto SHIFT = Qt::ShiftModifier;
constexpr auto CTRL = Qt::ControlModifier;
constexpr auto ALTGR = Qt::GroupSwitchModifier;

// A key stroke: press and release.
std::vector<CharEvent> Stroke(quint32 native, const char* text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return {{'P', native, text, modifiers}, {'R', native, text, modifiers}};
}

std::vector<CharEvent> operator+(std::vector<CharEvent> a, const std::vector<CharEvent>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<CharEvent> SHIFT_DOWN = {{'P', XK_LSHIFT, "", Qt::NoModifier}};
const std::vector<CharEvent> SHIFT_UP = {{'R', XK_LSHIFT, "", SHIFT}};

// What the machine types from the translator events "D2A D19 U19 ...": the codes of the
// key presses that interrupt, as text.
QString Typed(const QString& events)
{
    MachineRig rig;
    CKeyboard keyboard(rig.bus, rig.cpu);
    keyboard.Init();
    QString text;
    for (const QString& event : events.split(' ', Qt::SkipEmptyParts)) {
        const auto scan = static_cast<std::uint8_t>(event.mid(1).toUInt(nullptr, 16));
        rig.cpu.pendingEvents = 0;
        event[0] == 'D' ? keyboard.KeyDown(scan) : keyboard.KeyUp(scan);
        if (rig.cpu.pendingEvents & CCpu::EVENT_INT)
            text += QChar(rig.bus.ReadPort(56) & 0x7F);
    }
    return text;
}

}  // namespace

void ShellTest::TypesByCharacterOnUsAndGermanLayouts()
{
    // XKB keycodes; the texts are what each layout gives for them.
    const auto print = SHIFT_DOWN + Stroke(33, "P", SHIFT) + Stroke(27, "R", SHIFT) + Stroke(31, "I", SHIFT) +
                       Stroke(57, "N", SHIFT) + Stroke(28, "T", SHIFT) + SHIFT_UP + Stroke(65, " ") + Stroke(15, "6");
    const auto ctrlC = std::vector<CharEvent>{{'P', XK_LCTRL, "", Qt::NoModifier}} + Stroke(54, "\x03", CTRL) +
                       std::vector<CharEvent>{{'R', XK_LCTRL, "", CTRL}};
    const struct {
        const char* name;
        std::vector<CharEvent> script;
        QString events;  // reaching the translator; empty: not checked
        QString typed;
    } cases[] = {
        // The host's Shift held over PRINT: the machine's goes down and up with each letter.
        {"US: PRINT 6*7", print + SHIFT_DOWN + Stroke(17, "*", SHIFT) + SHIFT_UP + Stroke(16, "7"),
         "D2A D19 U19 U2A D2A D13 U13 U2A D2A D17 U17 U2A D2A D31 U31 U2A D2A D14 U14 U2A D39 U39 D07 U07 "
         "D2A D2B U2B U2A D08 U08",
         "PRINT 6*7"},
        {"US: '=' needs the machine's Shift, '<' (host Shift) does not",
         Stroke(21, "=") + SHIFT_DOWN + Stroke(59, "<", SHIFT) + Stroke(60, ">", SHIFT) + SHIFT_UP,
         "D2A D0B U0B U2A D56 U56 D2A D56 U56 U2A", "=<>"},
        {"US: IF A<B THEN and a quote",
         SHIFT_DOWN + Stroke(31, "I", SHIFT) + Stroke(41, "F", SHIFT) + SHIFT_UP + Stroke(65, " ") + SHIFT_DOWN +
             Stroke(38, "A", SHIFT) + Stroke(59, "<", SHIFT) + Stroke(56, "B", SHIFT) + Stroke(48, "\"", SHIFT) + SHIFT_UP,
         "", "IF A<B\""},
        {"US: the national letters through [ { \\ | ] } and ` @",
         Stroke(34, "[") + Stroke(34, "{", SHIFT) + Stroke(51, "\\") + Stroke(51, "|", SHIFT) + Stroke(35, "]") +
             Stroke(35, "}", SHIFT) + Stroke(49, "`") + Stroke(11, "@", SHIFT),
         "D2A D28 U28 U2A D28 U28 D2A D27 U27 U2A D27 U27 D2A D1A U1A U2A D1A U1A D0D U0D D2A D0D U0D U2A",
         "[{\\|]}`@"},
        {"US: Ctrl+C stays by position, Ctrl only around it", ctrlC, "D1D D2E U2E U1D", "\x03"},
        {"US: Enter, Backspace and the arrows by position; Tab and F1 type nothing",
         Stroke(36, "\r") + Stroke(22, "\b") + Stroke(XK_LEFT, "") + Stroke(XK_RIGHT, "") + Stroke(XK_TAB, "\t") +
             Stroke(67, ""),
         "D1C U1C D0E U0E D4B U4B D4D U4D", "\r\b\b\t"},
        {"German: PRINT 6*7, * on the key right of the Ü", print + SHIFT_DOWN + Stroke(35, "*", SHIFT) + SHIFT_UP + Stroke(16, "7"),
         "", "PRINT 6*7"},
        {"German: Y and Z, IF A<B THEN, quote and equals",
         Stroke(29, "z") + Stroke(52, "y") + SHIFT_DOWN + Stroke(31, "I", SHIFT) + Stroke(41, "F", SHIFT) + SHIFT_UP +
             Stroke(94, "<") + Stroke(94, ">", SHIFT) + Stroke(11, "\"", SHIFT) + Stroke(19, "=", SHIFT),
         "D2C U2C D15 U15 D2A D17 U17 U2A D2A D21 U21 U2A D56 U56 D2A D56 U56 U2A D2A D03 U03 U2A D2A D0B U0B U2A",
         "zyIF<>\"="},
        {"German: umlauts on their own keys, @ with AltGr, Ctrl+C",
         Stroke(48, "\xC3\xA4") + Stroke(47, "\xC3\x96", SHIFT) + Stroke(34, "\xC3\xBC") + Stroke(24, "@", ALTGR) + ctrlC,
         "D28 U28 D2A D27 U27 U2A D1B U1B D2A D0D U0D U2A D1D D2E U2E U1D", "{\\~@\x03"},
        {"German: the euro sign, a dead key and the Eszett type nothing", Stroke(26, "\xE2\x82\xAC", ALTGR) +
             Stroke(21, "") + Stroke(49, "") + Stroke(20, "\xC3\x9F"), "", ""},
    };
    CMemory memory;
    CDisplay display(memory);
    for (const auto& c : cases) {
        RecordingKeys keys;
        CScreenWnd screen(display, &keys, nullptr);
        screen.SetKeyboardMode(CHostKeyMapper::Mode::Character);
        quint64 time = 0;
        for (const CharEvent& e : c.script) {
            QKeyEvent key(e.what == 'R' ? QEvent::KeyRelease : QEvent::KeyPress, Qt::Key_unknown, e.modifiers, e.native,
                          0, 0, QString::fromUtf8(e.text));
            key.setTimestamp(time += 10);
            QCoreApplication::sendEvent(&screen, &key);
        }
        // The last release waits briefly for a press that would make it a repeat.
        const auto done = [&] {
            return (c.events.isEmpty() || keys.events == c.events) && Typed(keys.events) == c.typed &&
                   // whatever was typed, the machine's Shift and Ctrl are up again
                   keys.events.count("D2A") == keys.events.count("U2A") &&
                   keys.events.count("D1D") == keys.events.count("U1D");
        };
        QTRY_VERIFY2(done(), qPrintable(QString("%1: got \"%2\", typed \"%3\"").arg(c.name, keys.events, Typed(keys.events))));
    }
}
