#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "MachineRig.h"
#include "devices/CKeyboard.h"

namespace {

// Scan codes used below.
enum Scan : std::uint8_t {
    ESC = 0x01, K1 = 0x02, K0 = 0x0B, RIGHT_OF_0 = 0x0C, SECOND_RIGHT_OF_0 = 0x0D, BACKSPACE = 0x0E,
    TAB = 0x0F, O = 0x18, P = 0x19, ENTER = 0x1C, CTRL = 0x1D, A = 0x1E, K = 0x25, L = 0x26, BACKTICK = 0x29,
    LSHIFT = 0x2A, N = 0x31, M = 0x32, B = 0x30, RSHIFT = 0x36, ALT = 0x38, SPACE = 0x39,
    CAPS = 0x3A, F1 = 0x3B, UP = 0x48, LEFT = 0x4B, RIGHT = 0x4D, DOWN = 0x50, LEFT_OF_Z = 0x56,
};

enum class Op { Down, Up, FocusLost, Init };

// One event and what port 56 and the interrupt line show right after it.
struct Step { Op op; std::uint8_t scan, port; bool interrupt; };

Step Down(std::uint8_t scan, std::uint8_t port, bool interrupt) { return {Op::Down, scan, port, interrupt}; }
Step Up(std::uint8_t scan, std::uint8_t port) { return {Op::Up, scan, port, false}; }
Step Focus(std::uint8_t port) { return {Op::FocusLost, 0, port, false}; }
Step Reinit() { return {Op::Init, 0, 0x00, false}; }

struct Machine : MachineRig {
    CKeyboard keyboard{bus, cpu};

    Machine() { keyboard.Init(); }

    void Play(const std::string& name, const std::vector<Step>& steps)
    {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& s = steps[i];
            cpu.pendingEvents = 0;
            cpu.interruptData = 0;
            switch (s.op) {
            case Op::Down: keyboard.KeyDown(s.scan); break;
            case Op::Up: keyboard.KeyUp(s.scan); break;
            case Op::FocusLost: keyboard.FocusLost(); break;
            case Op::Init: EXPECT_TRUE(keyboard.Init()); break;
            }
            EXPECT_EQ(bus.ReadPort(56), s.port) << name << ", step " << i;
            EXPECT_EQ(cpu.pendingEvents, s.interrupt ? CCpu::EVENT_INT : 0u) << name << ", step " << i;
            EXPECT_EQ(cpu.interruptData, s.interrupt ? 26 : 0) << name << ", step " << i;
        }
    }
};

struct Sequence { const char* name; std::vector<Step> steps; };

}  // namespace

TEST(Keyboard, KeySequences)
{
    const Sequence sequences[] = {
        {"plain; shift and ctrl alone change nothing", {Down(A, 0xE1, true), Up(A, 0x61), Down(LSHIFT, 0x61, false),
          Up(LSHIFT, 0x61), Down(CTRL, 0x61, false), Up(CTRL, 0x61)}},
        {"init clears the port and the modifiers",
         {Down(CAPS, 0x00, false), Down(LSHIFT, 0x00, false), Down(A, 0xC1, true), Reinit(), Down(A, 0xE1, true),
          Up(A, 0x61)}},
        // Every key's four planes are in CodePlanesOfEveryKey; here the modifiers come and go.
        {"right shift; either shift releases both; ctrl released",
         {Down(RSHIFT, 0x00, false), Down(K0, 0xBD, true), Up(K0, 0x3D), Down(LSHIFT, 0x3D, false), Up(RSHIFT, 0x3D),
          Down(A, 0xE1, true), Up(A, 0x61), Down(CTRL, 0x61, false), Down(A, 0x81, true), Up(A, 0x01),
          Up(CTRL, 0x01), Down(O, 0xEF, true)}},
        {"ctrl shift: a second key while a letter is held", {Down(CTRL, 0x00, false), Down(LSHIFT, 0x00, false),
          Down(A, 0x81, true), Down(K1, 0xA1, true), Up(K1, 0xA1), Up(A, 0x21)}},
        {"caps lock on letters and digits",
         {Down(CAPS, 0x00, false), Up(CAPS, 0x00), Down(A, 0xC1, true), Up(A, 0x41), Down(K1, 0xB1, true),
          Up(K1, 0x31), Down(SECOND_RIGHT_OF_0, 0xC0, true), Up(SECOND_RIGHT_OF_0, 0x40),
          Down(RIGHT_OF_0, 0xAB, true), Up(RIGHT_OF_0, 0x2B)}},
        {"caps lock with shift stays upper case, with ctrl takes the ctrl-shift plane, and toggles back",
         {Down(CAPS, 0x00, false), Down(LSHIFT, 0x00, false), Down(A, 0xC1, true), Up(A, 0x41), Up(LSHIFT, 0x41),
          Down(CTRL, 0x41, false), Down(O, 0x9F, true), Up(O, 0x1F), Up(CTRL, 0x1F), Down(CAPS, 0x1F, false),
          Down(A, 0xE1, true)}},
        {"two keys held and released in either order", {Down(A, 0xE1, true), Down(B, 0xE2, true), Up(A, 0xE2),
          Up(B, 0x62), Down(A, 0xE1, true), Down(B, 0xE2, true), Up(B, 0xE2), Up(A, 0x62)}},
        {"caps lock while a letter is held",
         {Down(A, 0xE1, true), Down(CAPS, 0xC1, false), Up(CAPS, 0xC1), Up(A, 0x61), Down(CAPS, 0x61, false),
          Up(CAPS, 0x61), Down(CAPS, 0x41, false), Down(A, 0xC1, true), Down(CAPS, 0xE1, false), Up(A, 0x41)}},
        {"caps lock does not flip a shifted or non-letter key",
         {Down(LSHIFT, 0x00, false), Down(A, 0xC1, true), Down(CAPS, 0xC1, false), Up(A, 0x41), Up(LSHIFT, 0x41),
          Down(K1, 0xB1, true), Down(CAPS, 0xB1, false), Up(K1, 0x31), Down(LSHIFT, 0x31, false),
          Down(A, 0xC1, true), Down(CAPS, 0xC1, false), Up(A, 0x41), Down(CAPS, 0x41, false),
          Up(LSHIFT, 0x41), Down(CTRL, 0x41, false), Down(A, 0x81, true), Down(CAPS, 0x81, false),
          Down(CAPS, 0x81, false), Up(A, 0x01)}},
        {"backspace and left arrow are one key",
         {Down(BACKSPACE, 0x88, true), Up(BACKSPACE, 0x08), Down(LEFT, 0x88, true), Up(LEFT, 0x08),
          Down(BACKSPACE, 0x88, true), Down(LEFT, 0x88, true), Up(BACKSPACE, 0x88), Up(LEFT, 0x08),
          Down(RIGHT, 0x89, true), Up(RIGHT, 0x09)}},
        {"keys the machine lacks",
         {Down(A, 0xE1, true), Down(ESC, 0xE1, false), Down(TAB, 0xE1, false), Down(F1, 0xE1, false),
          Down(UP, 0xE1, false), Down(DOWN, 0xE1, false), Down(ALT, 0xE1, false), Down(BACKTICK, 0xE1, false),
          Down(0x00, 0xE1, false), Down(0x5F, 0xE1, false), Up(ESC, 0xE1), Up(TAB, 0xE1), Up(UP, 0xE1),
          Up(0x5F, 0xE1), Up(A, 0x61)}},
        {"scan codes from 0x60 on",
         {Down(0x60, 0x00, false), Down(0x9E, 0x00, false), Down(0xFF, 0x00, false), Down(A, 0xE1, true),
          Up(0x9E, 0xE1), Up(0x60, 0xE1), Up(0xFF, 0xE1), Down(0xAA, 0xE1, false), Down(B, 0xE2, true),
          Up(B, 0xE2), Up(A, 0x62)}},
        {"focus loss releases held keys",
         {Down(A, 0xE1, true), Down(B, 0xE2, true), Focus(0x62), Down(A, 0xE1, true), Up(A, 0x61), Up(B, 0x61)}},
        {"focus loss keeps shift",
         {Down(LSHIFT, 0x00, false), Focus(0x00), Down(A, 0xC1, true), Focus(0x41), Up(LSHIFT, 0x41),
          Down(A, 0xE1, true)}},
    };
    for (const Sequence& s : sequences) {
        Machine m;
        EXPECT_EQ(m.bus.ReadPort(56), 0x00) << "the bus alone would leave 0xFF";
        m.Play(s.name, s.steps);
    }
}

TEST(Keyboard, CodePlanesOfEveryKey)
{
    // The target layout by PC key row: scan code of the first key, plain and shifted codes.
    struct KeyRow {
        std::uint8_t firstScan;
        const char *plain, *shifted;
    };
    const KeyRow rows[] = {
        {0x02, "1234567890+`", "!\"#$%&/()=?@"},
        {0x10, "qwertyuiop}~", "QWERTYUIOP]^"},
        {0x1E, "asdfghjkl|{", "ASDFGHJKL\\["},
        {0x2B, "'zxcvbnm,.-", "*ZXCVBNM;:_"},
        {0x56, "<", ">"},
    };
    // Presses the key in the plain, Shift, Ctrl+Shift and Ctrl planes, in that order.
    const auto planes = [](const std::string& name, std::uint8_t scan, std::uint8_t plain, std::uint8_t shifted,
                           std::uint8_t ctrlShift, std::uint8_t ctrl) {
        Machine().Play(name, {Down(scan, plain | 0x80, true), Up(scan, plain), Down(LSHIFT, plain, false),
                              Down(scan, shifted | 0x80, true), Up(scan, shifted), Down(CTRL, shifted, false),
                              Down(scan, ctrlShift | 0x80, true), Up(scan, ctrlShift), Up(LSHIFT, ctrlShift),
                              Down(scan, ctrl | 0x80, true), Up(scan, ctrl)});
    };
    for (const KeyRow& row : rows) {
        for (std::size_t i = 0; row.plain[i]; ++i) {
            const auto scan = static_cast<std::uint8_t>(row.firstScan + i);
            const auto plain = static_cast<std::uint8_t>(row.plain[i]);
            const auto shifted = static_cast<std::uint8_t>(row.shifted[i]);
            const bool letter = plain >= 0x60;  // the national letters sit at 0x60 and 0x7B-0x7E
            const std::uint8_t p = CKeyboard::PositionOf(scan);
            ASSERT_NE(p, 0) << std::hex << int(scan);
            EXPECT_EQ(CKeyboard::IsLetter(p), letter) << std::hex << int(scan);

            // Ctrl on a letter gives its control code; otherwise Ctrl changes nothing, except
            // on the key left of Z, which gives DEL.
            const std::uint8_t ctrl = letter ? shifted & 0x1F : scan == LEFT_OF_Z ? 0x7F : plain;
            // Ctrl+Shift is the same, but for six letters with codes of their own.
            std::uint8_t ctrlShift = letter ? ctrl : scan == LEFT_OF_Z ? 0x7F : shifted;
            for (auto [key, code] : {std::pair{O, 0x1F}, {P, 0x00}, {K, 0x1B}, {L, 0x1C}, {N, 0x1E}, {M, 0x1D}})
                ctrlShift = scan == key ? static_cast<std::uint8_t>(code) : ctrlShift;
            planes(std::string("key ") + row.plain[i], scan, plain, shifted, ctrlShift, ctrl);
        }
    }
    // Keys outside the block give one code in every plane.
    for (auto [scan, code] : {std::pair{ENTER, 0x0D}, {SPACE, 0x20}, {BACKSPACE, 0x08}, {LEFT, 0x08}, {RIGHT, 0x09}}) {
        const auto c = static_cast<std::uint8_t>(code);
        planes("scan " + std::to_string(scan), scan, c, c, c, c);
    }
    // Exactly the 56 scan codes of the layout reach a key.
    int mapped = 0;
    for (int s = 0; s < 256; ++s)
        mapped += CKeyboard::PositionOf(static_cast<std::uint8_t>(s)) != 0;
    EXPECT_EQ(mapped, 56);
}
