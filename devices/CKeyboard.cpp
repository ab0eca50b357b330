#include "devices/CKeyboard.h"

#include "bus/CIoBus.h"
#include "cpu/CCpu.h"

namespace {

// One physical key of the target layout, by the PC key in its place. Codes are the plain,
// Shift, Ctrl and Ctrl+Shift planes; NO_CODE marks Shift, Ctrl and Caps Lock.
struct KeyDef {
    std::uint8_t scan;
    std::uint8_t position;
    std::uint8_t plain, shift, ctrl, ctrlShift;
    bool letter;
};

constexpr std::uint8_t NONE = CKeyboard::NO_CODE;

constexpr KeyDef KEYS[] = {
    {0x02, 1, 0x31, 0x21, 0x31, 0x21, false},   // 1
    {0x03, 2, 0x32, 0x22, 0x32, 0x22, false},   // 2
    {0x04, 3, 0x33, 0x23, 0x33, 0x23, false},   // 3
    {0x05, 4, 0x34, 0x24, 0x34, 0x24, false},   // 4
    {0x06, 5, 0x35, 0x25, 0x35, 0x25, false},   // 5
    {0x07, 6, 0x36, 0x26, 0x36, 0x26, false},   // 6
    {0x08, 7, 0x37, 0x2F, 0x37, 0x2F, false},   // 7
    {0x09, 8, 0x38, 0x28, 0x38, 0x28, false},   // 8
    {0x0A, 9, 0x39, 0x29, 0x39, 0x29, false},   // 9
    {0x0B, 10, 0x30, 0x3D, 0x30, 0x3D, false},  // 0
    {0x0C, 11, 0x2B, 0x3F, 0x2B, 0x3F, false},  // key right of 0
    {0x0D, 12, 0x60, 0x40, 0x00, 0x00, true},   // second key right of 0
    {0x0E, 50, 0x08, 0x08, 0x08, 0x08, false},  // Backspace
    {0x10, 20, 0x71, 0x51, 0x11, 0x11, true},   // Q
    {0x11, 21, 0x77, 0x57, 0x17, 0x17, true},   // W
    {0x12, 22, 0x65, 0x45, 0x05, 0x05, true},   // E
    {0x13, 23, 0x72, 0x52, 0x12, 0x12, true},   // R
    {0x14, 24, 0x74, 0x54, 0x14, 0x14, true},   // T
    {0x15, 25, 0x79, 0x59, 0x19, 0x19, true},   // Y
    {0x16, 26, 0x75, 0x55, 0x15, 0x15, true},   // U
    {0x17, 27, 0x69, 0x49, 0x09, 0x09, true},   // I
    {0x18, 28, 0x6F, 0x4F, 0x0F, 0x1F, true},   // O
    {0x19, 29, 0x70, 0x50, 0x10, 0x00, true},   // P
    {0x1A, 30, 0x7D, 0x5D, 0x1D, 0x1D, true},   // key right of P
    {0x1B, 31, 0x7E, 0x5E, 0x1E, 0x1E, true},   // second key right of P
    {0x1C, 32, 0x0D, 0x0D, 0x0D, 0x0D, false},  // Enter
    {0x1D, 37, NONE, NONE, NONE, NONE, false},  // Ctrl
    {0x1E, 38, 0x61, 0x41, 0x01, 0x01, true},   // A
    {0x1F, 39, 0x73, 0x53, 0x13, 0x13, true},   // S
    {0x20, 40, 0x64, 0x44, 0x04, 0x04, true},   // D
    {0x21, 41, 0x66, 0x46, 0x06, 0x06, true},   // F
    {0x22, 42, 0x67, 0x47, 0x07, 0x07, true},   // G
    {0x23, 43, 0x68, 0x48, 0x08, 0x08, true},   // H
    {0x24, 44, 0x6A, 0x4A, 0x0A, 0x0A, true},   // J
    {0x25, 45, 0x6B, 0x4B, 0x0B, 0x1B, true},   // K
    {0x26, 46, 0x6C, 0x4C, 0x0C, 0x1C, true},   // L
    {0x27, 47, 0x7C, 0x5C, 0x1C, 0x1C, true},   // key right of L
    {0x28, 48, 0x7B, 0x5B, 0x1B, 0x1B, true},   // second key right of L
    {0x2A, 55, NONE, NONE, NONE, NONE, false},  // left Shift
    {0x2B, 49, 0x27, 0x2A, 0x27, 0x2A, false},  // third key right of L
    {0x2C, 56, 0x7A, 0x5A, 0x1A, 0x1A, true},   // Z
    {0x2D, 57, 0x78, 0x58, 0x18, 0x18, true},   // X
    {0x2E, 58, 0x63, 0x43, 0x03, 0x03, true},   // C
    {0x2F, 59, 0x76, 0x56, 0x16, 0x16, true},   // V
    {0x30, 60, 0x62, 0x42, 0x02, 0x02, true},   // B
    {0x31, 61, 0x6E, 0x4E, 0x0E, 0x1E, true},   // N
    {0x32, 62, 0x6D, 0x4D, 0x0D, 0x1D, true},   // M
    {0x33, 63, 0x2C, 0x3B, 0x2C, 0x3B, false},  // key right of M
    {0x34, 64, 0x2E, 0x3A, 0x2E, 0x3A, false},  // second key right of M
    {0x35, 65, 0x2D, 0x5F, 0x2D, 0x5F, false},  // third key right of M
    {0x36, 66, NONE, NONE, NONE, NONE, false},  // right Shift
    {0x39, 74, 0x20, 0x20, 0x20, 0x20, false},  // Space
    {0x3A, 19, NONE, NONE, NONE, NONE, false},  // Caps Lock
    {0x4B, 50, 0x08, 0x08, 0x08, 0x08, false},  // Left arrow, keypad 4: same key as Backspace
    {0x4D, 67, 0x09, 0x09, 0x09, 0x09, false},  // Right arrow, keypad 6
    {0x56, 13, 0x3C, 0x3E, 0x7F, 0x7F, false},  // key left of Z
};

// The three lookup tables, built from KEYS at compile time. Code planes are indexed by
// position, plus 75 for Shift, plus 150 for Ctrl.
struct Tables {
    std::array<std::uint8_t, CKeyboard::SCAN_CODES> position{};
    std::array<std::uint8_t, 4 * CKeyboard::POSITIONS> code{};
    std::array<bool, CKeyboard::POSITIONS> letter{};
};

constexpr Tables BuildTables()
{
    Tables t{};
    for (auto& c : t.code)
        c = NONE;
    for (const KeyDef& k : KEYS) {
        t.position[k.scan] = k.position;
        t.code[k.position] = k.plain;
        t.code[k.position + CKeyboard::POSITIONS] = k.shift;
        t.code[k.position + 2 * CKeyboard::POSITIONS] = k.ctrl;
        t.code[k.position + 3 * CKeyboard::POSITIONS] = k.ctrlShift;
        t.letter[k.position] = k.letter;
    }
    return t;
}

constexpr Tables TABLES = BuildTables();

static_assert(TABLES.position[0x01] == 0, "Escape is not on the target keyboard");
static_assert(TABLES.position[0x0E] == TABLES.position[0x4B], "Backspace and left arrow share a key");

bool IsShiftScan(std::uint8_t scan)
{
    return scan == CKeyboard::SCAN_LEFT_SHIFT || scan == CKeyboard::SCAN_RIGHT_SHIFT;
}

}  // namespace

std::uint8_t CKeyboard::PositionOf(std::uint8_t scan) { return scan < SCAN_CODES ? TABLES.position[scan] : 0; }

std::uint8_t CKeyboard::CodeOf(std::uint8_t position, bool shift, bool ctrl)
{
    if (position >= POSITIONS)
        return NO_CODE;
    return TABLES.code[position + (shift ? POSITIONS : 0) + (ctrl ? 2 * POSITIONS : 0)];
}

bool CKeyboard::IsLetter(std::uint8_t position) { return position < POSITIONS && TABLES.letter[position]; }

void CKeyboard::SetPort(std::uint8_t value) { bus.SetInputLatch(CIoBus::PORT_KEYBOARD, value); }

bool CKeyboard::Init()
{
    keysHeld = 0;
    lastCode = 0;
    caseFlip = false;
    modifiers = 0;
    SetPort(0);
    return true;
}

void CKeyboard::KeyDown(std::uint8_t scan)
{
    if (IsShiftScan(scan))
        modifiers |= MOD_SHIFT;
    if (scan == SCAN_CTRL)
        modifiers |= MOD_CTRL;
    else if (scan >= SCAN_CODES)
        return;

    const std::uint8_t p = TABLES.position[scan];
    if (p == 0)
        return;

    if (p == POSITION_CAPS_LOCK) {
        modifiers ^= MOD_CAPS_LOCK;
        // A letter on the port follows Caps Lock at once; the stored code keeps its case, so
        // the letter's release still shows the case it was pressed with.
        if (caseFlip)
            SetPort(static_cast<std::uint8_t>(CapsLockOn() ? (lastCode & ~0x20) : (lastCode | 0x20)));
    }

    if (TABLES.code[p] == NO_CODE)
        return;  // Shift, Ctrl and Caps Lock produce nothing themselves

    ++keysHeld;
    const bool letter = TABLES.letter[p];
    caseFlip = !ShiftHeld() && !CtrlHeld() && letter;

    int index = p;
    if (ShiftHeld() || (CapsLockOn() && letter))
        index += POSITIONS;
    if (CtrlHeld())
        index += 2 * POSITIONS;
    lastCode = static_cast<std::uint8_t>(TABLES.code[static_cast<std::size_t>(index)] | 0x80);
    SetPort(lastCode);
    cpu.RequestInterrupt(INTERRUPT_DATA);
}

void CKeyboard::KeyUp(std::uint8_t scan)
{
    // Either Shift key releases both: the machine has only one Shift state.
    if (IsShiftScan(scan))
        modifiers &= static_cast<std::uint8_t>(~MOD_SHIFT);
    if (scan == SCAN_CTRL)
        modifiers &= static_cast<std::uint8_t>(~MOD_CTRL);
    else if (scan >= SCAN_CODES)
        return;

    const std::uint8_t p = TABLES.position[scan];
    if (p == 0 || TABLES.code[p] == NO_CODE)
        return;

    if (keysHeld > 0)
        --keysHeld;
    if (keysHeld == 0)
        lastCode &= 0x7F;
    SetPort(lastCode);
}

void CKeyboard::FocusLost()
{
    keysHeld = 0;
    lastCode &= 0x7F;
    SetPort(lastCode);
}
