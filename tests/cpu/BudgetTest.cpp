// The cycle budget across Run calls, repeating block instructions across slices and
// interrupts, and encodings that are not executed.
#include <gtest/gtest.h>

#include "CpuTestRig.h"

namespace {

constexpr std::uint8_t JR = 0x18, SELF = 0xFE;  // JR $: 12 T-states a time, forever

TEST(Budget, RunKeepsUnspentAndMissingCyclesAndForgetsTheOvershoot)
{
    const struct {
        std::int32_t budgetBefore, run;
        std::uint64_t executed;  // whole JRs
        std::int32_t budgetAfter;
    } cases[] = {
        {0, 70000, 0, 0},              // nothing runs at all
        {-500, 70000, 0, -500},        // a debt is not touched
        {70000, 70000, 70008, 0},      // 5834 JRs, 8 over, forgotten
        {100000, 70000, 70008, 30000}, // the rest stays for later
        {50000, 70000, 50004, -20000}, // only the budget is run; the shortfall is owed
        {12, 1, 12, 11},
    };
    for (const auto& c : cases) {
        CpuTestRig rig;
        rig.Place(0x0400, {JR, SELF});
        rig.R().pc = 0x0400;
        rig.cpu.cycleBudget = c.budgetBefore;
        rig.cpu.Run(c.run);
        EXPECT_EQ(rig.cpu.CyclesExecuted(), c.executed) << c.budgetBefore << "/" << c.run;
        EXPECT_EQ(rig.cpu.cycleBudget, c.budgetAfter) << c.budgetBefore << "/" << c.run;
        EXPECT_EQ(rig.R().pc, 0x0400);
    }
}

TEST(Budget, AnEmptyBudgetAcceptsNoInterruptAndADebtIsRepaidFirst)
{
    CpuTestRig rig;
    rig.Place(0x0400, {JR, SELF});
    rig.Place(0x0066, {JR, SELF});
    rig.R().pc = 0x0400;
    rig.R().sp = 0x8000;
    rig.cpu.RequestNmi();
    rig.cpu.Run(70000);
    EXPECT_EQ(rig.State(), "pc=0400 sp=8000 top=0000 a=00 iff=00 ev=1");

    rig.cpu.AddCycles(70000);  // accumulated without clamping
    rig.cpu.AddCycles(70000);
    rig.cpu.AddCycles(-160000);
    EXPECT_EQ(rig.cpu.cycleBudget, -20000);
    EXPECT_EQ(rig.Slice(15000), 0u);
    EXPECT_EQ(rig.cpu.cycleBudget, -5000);
    EXPECT_EQ(rig.State(), "pc=0400 sp=8000 top=0000 a=00 iff=00 ev=1");
    EXPECT_EQ(rig.Slice(15000), 10008u);  // 10000 of budget: the NMI goes in at the first boundary
    EXPECT_EQ(rig.cpu.cycleBudget, -5000);
    EXPECT_EQ(rig.State(), "pc=0066 sp=7FFE top=0400 a=00 iff=00 ev=0");
}

TEST(BlockInstructions, LdirStepsAcrossSlicesAndAnInterrupt)
{
    CpuTestRig rig;
    rig.Place(0x0300, {0xED, 0xB0});  // LDIR
    rig.Place(0x0038, {0xFB, 0xC9});  // EI; RET
    for (int i = 0; i < 16; ++i)
        rig.memory.WriteByte(static_cast<std::uint16_t>(0x9000 + i), static_cast<std::uint8_t>(0x40 + i));
    rig.R() = {0x00FF, 10, 0xA000, 0x9000, 0, 0, 0x8000, 0x0300, 0, 0, 0, 0, 0, 1, 1, 1};
    // 21 T-states per repeating step (P/V set, H and N cleared): a slice of 50 ends after the
    // third, PC on the prefix.
    EXPECT_EQ(rig.Slice(50), 63u);
    EXPECT_EQ(rig.Dump(), "00ED 0007 A003 9003 0000 0000 8000 0300 0000 0000 0000 0000 i=00 iff=11 im=1");
    // An interrupt between steps returns to the prefix and the block carries on.
    rig.cpu.RequestInterrupt(0);
    EXPECT_EQ(rig.Step(), 4u);  // accepted, then EI
    EXPECT_EQ(rig.State(), "pc=0039 sp=7FFE top=0300 a=00 iff=11 ev=0");
    EXPECT_EQ(rig.Step(), 10u);  // RET
    EXPECT_EQ(rig.Slice(126), 126u);
    EXPECT_EQ(rig.Dump(), "00ED 0001 A009 9009 0000 0000 8000 0300 0000 0000 0000 0000 i=00 iff=11 im=1");
    EXPECT_EQ(rig.Step(), 16u);  // the last step falls through; H, P/V and N cleared, the rest kept
    EXPECT_EQ(rig.Dump(), "00E9 0000 A00A 900A 0000 0000 8000 0302 0000 0000 0000 0000 i=00 iff=11 im=1");
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(rig.memory.ReadByte(static_cast<std::uint32_t>(0xA000 + i)), i < 10 ? 0x40 + i : 0) << i;
}

TEST(BlockInstructions, ZeroCountsRunTheFullRange)
{
    CpuTestRig ldir;
    ldir.Place(0x0000, {0xED, 0xB0});
    EXPECT_EQ(ldir.Step(), 21u);
    EXPECT_EQ(ldir.R().bc, 0xFFFF);
    EXPECT_EQ(ldir.cpu.F() & CCpu::FLAG_PV, CCpu::FLAG_PV);

    CpuTestRig otir;  // B = 0 writes 256 bytes
    otir.Place(0x0000, {0xED, 0xB3});
    otir.R().bc = 0x0077;
    std::uint64_t cycles = 0;
    do
        cycles += otir.Step();
    while (otir.R().pc == 0);
    EXPECT_EQ(cycles, 255u * 21 + 16);
    ASSERT_EQ(otir.bus.writes.size(), 256u);
    EXPECT_EQ(otir.bus.writes.front().first, 0x77);
    EXPECT_EQ(otir.cpu.F() & (CCpu::FLAG_Z | CCpu::FLAG_N), CCpu::FLAG_Z | CCpu::FLAG_N);
}

TEST(Undefined, EncodingsOutsideTheSetStayOnThePrefixAndStillEndSlices)
{
    const std::vector<std::uint8_t> encodings[] = {
        {0xCB, 0x30}, {0xED, 0x4C}, {0xED, 0x70}, {0xED, 0x77}, {0xED, 0xFF}, {0xDD, 0x44},
        {0xDD, 0x00}, {0xDD, 0xDD}, {0xFD, 0xED}, {0xDD, 0xCB, 0x02, 0x00}, {0xFD, 0xCB, 0x02, 0x36},
    };
    for (const auto& bytes : encodings) {
        CpuTestRig rig;
        rig.Place(0x0500, bytes);
        rig.R() = {0x12D7, 0x0102, 0x0304, 0x0506, 0x6000, 0x6000, 0x8000, 0x0500};
        const std::string before = rig.Dump();
        EXPECT_EQ(rig.Step(), 4u) << int(bytes[0]) << "," << int(bytes[1]);
        EXPECT_EQ(rig.Dump(), before) << int(bytes[0]) << "," << int(bytes[1]);
        // A program stuck here still ends its slices and can be interrupted.
        EXPECT_EQ(rig.Slice(70000), 70000u);
        rig.cpu.RequestNmi();
        rig.Step();
        EXPECT_EQ(rig.State(), "pc=0067 sp=7FFE top=0500 a=12 iff=00 ev=0");
        EXPECT_TRUE(rig.bus.writes.empty() && rig.bus.reads.empty());
    }
}

}  // namespace
