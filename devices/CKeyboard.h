// The keyboard translator: turns host key presses, given as PC set-1 make codes, into the
// target machine's key code on input port 56 and a maskable interrupt with data byte 26.
// The screen window calls KeyDown/KeyUp (auto-repeats already dropped) and FocusLost.
#pragma once

#include <array>
#include <cstdint>

class CCpu;
class CIoBus;

class CKeyboard {
public:
    static constexpr std::uint8_t INTERRUPT_DATA = 26;
    static constexpr int SCAN_CODES = 0x60;  // scan codes from here on are ignored
    static constexpr int POSITIONS = 75;     // key positions 1 to 74; 0 is "no key"
    static constexpr std::uint8_t NO_CODE = 0xFF;

    static constexpr std::uint8_t SCAN_LEFT_SHIFT = 0x2A;
    static constexpr std::uint8_t SCAN_RIGHT_SHIFT = 0x36;
    static constexpr std::uint8_t SCAN_CTRL = 0x1D;
    static constexpr std::uint8_t SCAN_CAPS_LOCK = 0x3A;
    static constexpr std::uint8_t POSITION_CAPS_LOCK = 19;

    // Modifier bits: both Shift bits move together, whichever Shift key is used.
    static constexpr std::uint8_t MOD_SHIFT = 0x03;
    static constexpr std::uint8_t MOD_CTRL = 0x04;
    static constexpr std::uint8_t MOD_CAPS_LOCK = 0x40;

    // Shift and Ctrl: the translator keeps them held until it sees their release.
    static constexpr bool IsShiftOrCtrl(std::uint8_t scan)
    {
        return scan == SCAN_CTRL || scan == SCAN_LEFT_SHIFT || scan == SCAN_RIGHT_SHIFT;
    }

    CKeyboard(CIoBus& bus, CCpu& cpu) : bus(bus), cpu(cpu) {}

    // Clears all state and sets port 56 to 0. Never fails.
    bool Init();
    void KeyDown(std::uint8_t scan);
    void KeyUp(std::uint8_t scan);
    // Treats every held key as released; Shift and Ctrl stay as they were.
    void FocusLost();

    // Read-only views of the layout: the key position of a scan code (0 for keys the machine
    // lacks), a position's code in one of the four planes (NO_CODE for none) and whether
    // Caps Lock affects it.
    static std::uint8_t PositionOf(std::uint8_t scan);
    static std::uint8_t CodeOf(std::uint8_t position, bool shift, bool ctrl);
    static bool IsLetter(std::uint8_t position);

    // Whether Caps Lock is on; the window's typing by character keeps it off.
    bool CapsLockOn() const { return (modifiers & MOD_CAPS_LOCK) != 0; }

private:
    bool ShiftHeld() const { return (modifiers & MOD_SHIFT) != 0; }
    bool CtrlHeld() const { return (modifiers & MOD_CTRL) != 0; }
    void SetPort(std::uint8_t value);

    CIoBus& bus;
    CCpu& cpu;
    unsigned keysHeld = 0;      // code-producing keys held; modifiers are not counted
    std::uint8_t lastCode = 0;  // bit 7 set while a key is held
    bool caseFlip = false;      // last key was a letter pressed without Shift and Ctrl
    std::uint8_t modifiers = 0;
};
