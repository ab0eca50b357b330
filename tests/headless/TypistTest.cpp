// Text to key strokes on the target machine's layout.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "MachineRig.h"
#include "core/CKeyFeeder.h"
#include "core/CPasteText.h"
#include "core/CTypist.h"
#include "devices/CKeyboard.h"

namespace {

TEST(Typist, TypesEachCharacterOnItsKeyAndRefusesWhatCannotBeTypedOrIsBrokenUtf8)
{
    constexpr bool S = true, P = false;  // shifted, plain
    const std::pair<std::string, std::vector<KeyStroke>> typed[] = {
        {"PRINT 6*7\\n", {{0x19, S}, {0x13, S}, {0x17, S}, {0x31, S}, {0x14, S},
                          {0x39, P}, {0x07, P}, {0x2B, S}, {0x08, P}, {0x1C, P}}},
        // A real newline is Enter too; a backslash before anything else is itself.
        {"a\nb\\x", {{0x1E, P}, {0x1C, P}, {0x30, P}, {0x27, S}, {0x2D, P}}},
        {"!\"/=+?',;:_<>\b\t", {{0x02, S}, {0x03, S}, {0x08, S}, {0x0B, S}, {0x0C, P}, {0x0C, S}, {0x2B, P},
                                 {0x33, P}, {0x33, S}, {0x34, S}, {0x35, S}, {0x56, P}, {0x56, S}, {0x0E, P}, {0x4D, P}}},
        // National letters on their own keys, and the ASCII characters sharing their codes.
        {"\u00E9\u00C9@`", {{0x0D, P}, {0x0D, S}, {0x0D, S}, {0x0D, P}}},
        {"\u00E5\u00C5}]", {{0x1A, P}, {0x1A, S}, {0x1A, P}, {0x1A, S}}},
        {"\u00FC\u00DC~^", {{0x1B, P}, {0x1B, S}, {0x1B, P}, {0x1B, S}}},
        {"\u00F6\u00D6|\\", {{0x27, P}, {0x27, S}, {0x27, P}, {0x27, S}}},
        {"\u00E4\u00C4{[", {{0x28, P}, {0x28, S}, {0x28, P}, {0x28, S}}},
    };
    std::vector<KeyStroke> strokes;
    std::string error;
    for (const auto& [text, expected] : typed) {
        EXPECT_TRUE(CTypist::Plan(text, strokes, error)) << text << ": " << error;
        EXPECT_EQ(strokes, expected) << text;
    }
    for (int code = 0x20; code < 0x7F; ++code)
        EXPECT_TRUE(CTypist::StrokeFor(static_cast<std::uint8_t>(code)).has_value()) << code;

    const std::pair<std::string, std::string> refused[] = {
        {"ok\u20AC", "cannot type U+20AC at byte 2"},
        {"a\x7F", "cannot type U+007F at byte 1"},
        {std::string("x\0y", 3), "cannot type U+0000 at byte 1"},
        {"\xC3", "malformed UTF-8 at byte 0"},
        {"ab\xC3(", "malformed UTF-8 at byte 2"},
        {"\xC0\x80", "malformed UTF-8 at byte 0"},  // an overlong NUL
        {"\xC3\xA4\xFF", "malformed UTF-8 at byte 2"},
    };
    for (const auto& [text, message] : refused) {
        error.clear();
        EXPECT_FALSE(CTypist::Plan(text, strokes, error)) << message;
        EXPECT_EQ(error, message);
    }
}

TEST(Typist, PastedTextTypesLineEndsAsEnterTabsAsSpacesAndCountsWhatItSkips)
{
    constexpr bool S = true, P = false;
    const KeyStroke enter{0x1C, P}, space{0x39, P};
    const struct {
        std::string text;
        std::vector<KeyStroke> strokes;
        std::size_t skipped;
    } cases[] = {
        {"a\r\nb\rc\nd", {{0x1E, P}, enter, {0x30, P}, enter, {0x2E, P}, enter, {0x20, P}}, 0},
        {"\r\n\r\n\n\r", {enter, enter, enter, enter}, 0},
        {"\xEF\xBB\xBFx\ty*", {{0x2D, P}, space, {0x15, P}, {0x2B, S}}, 0},
        // The euro sign, control characters (a backspace would erase), DEL, a broken sequence
        // and a byte order mark that is not at the start.
        {"\xE2\x82\xAC\x01\b\x7F\xC3(\xEF\xBB\xBF", {{0x09, S}}, 6},
        {"\xC3\xA4@", {{0x28, P}, {0x0D, S}}, 0},
    };
    for (const auto& c : cases) {
        const CPasteText::Plan plan = CPasteText::Make(c.text);
        EXPECT_EQ(plan.strokes, c.strokes) << c.text;
        EXPECT_EQ(plan.skipped, c.skipped) << c.text;
    }
}

struct FeederRig : MachineRig {
    CKeyboard keyboard{bus, cpu};
    CKeyFeeder feeder{keyboard, cpu};
    FeederRig() { keyboard.Init(); }

    // One boundary: what port 56 shows after it, "*" when it raised an interrupt, and "."
    // once the feeder has nothing left to do.
    std::string Step()
    {
        cpu.pendingEvents &= ~CCpu::EVENT_INT;
        feeder.BeforeSlice();
        char text[8];
        std::snprintf(text, sizeof text, "%02X%s%s", bus.ReadPort(56), cpu.pendingEvents & CCpu::EVENT_INT ? "*" : "",
                      feeder.Busy() ? "" : ".");
        return text;
    }
    std::string Steps(int count)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += (i ? " " : "") + Step();
        return text;
    }
    void Queue(const std::string& text)
    {
        std::vector<KeyStroke> strokes;
        std::string error;
        ASSERT_TRUE(CTypist::Plan(text, strokes, error)) << error;
        feeder.Queue(strokes);
    }
};

TEST(KeyFeeder, PressesOnSliceBoundariesWaitsForThePromptAndCancels)
{
    ASSERT_EQ(CKeyFeeder::TIMING.hold, 1u);
    ASSERT_EQ(CKeyFeeder::TIMING.gap, 1u);
    {
        // Each key a slice down and a slice up; Shift only around the shifted key.
        FeederRig rig;
        rig.Queue("Ab1");
        EXPECT_EQ(rig.Steps(7), "C1* 41 E2* 62 B1* 31. 31.");
    }
    {
        // Cancelled while Shift+A is held: both go up, and the next text starts afresh.
        FeederRig rig;
        rig.Queue("AAA");
        EXPECT_EQ(rig.Steps(3), "C1* 41 C1*");
        rig.feeder.Cancel();
        EXPECT_FALSE(rig.feeder.Busy());
        EXPECT_EQ(rig.bus.ReadPort(56), 0x41);
        rig.Queue("a");
        EXPECT_EQ(rig.Steps(2), "E1* 61.");
    }
    // The first prompt: nothing is pressed while the processor runs, or halts with interrupts
    // off, until the limit; halted with interrupts on, it waits for a key at once.
    for (const bool prompt : {false, true}) {
        FeederRig rig;
        rig.cpu.pendingEvents = CCpu::EVENT_HALT;
        rig.cpu.Regs().iff1 = prompt;
        rig.feeder.WaitForPrompt();
        rig.Queue("a");
        const unsigned waits = prompt ? 0 : CKeyFeeder::PROMPT_WAIT_FRAMES - 1;
        for (unsigned i = 0; i < waits; ++i)
            ASSERT_EQ(rig.Step(), "00") << i;
        EXPECT_EQ(rig.Steps(2), "E1* 61.");
    }
}

}  // namespace
