// The cycle budget across Run calls, repeating block instructions across slices and
// interrupts, and encodings that are not executed.
#include <gtest/gtest.h>

#include "CpuTestRig.h"

namespace {

// JR $ (displacement 0xFE): 12 T-states a time, forever.
void PlaceSpin(CpuTestRig& rig, std::uint16_t address)
{
    rig.Place(address, {0x18, 0xFE});
    rig.R().pc = address;
}

TEST(Budget, RunKeepsUnspentAndMissingCyclesAndForgetsTheOvershoot)
{
    struct Case {
        std::int32_t budgetBefore;
        std::int32_t run;
        std::uint64_t executed;  // whole JR instructions of 12 T-states
        std::int32_t budgetAfter;
    };
    const Case cases[] = {
        {0, 70000, 0, 0},              // nothing runs at all
        {-500, 70000, 0, -500},        // a debt is not touched
        {70000, 70000, 70008, 0},      // 5834 JRs, 8 over, forgotten
        {100000, 70000, 70008, 30000}, // the rest stays for later
        {50000, 70000, 50004, -20000}, // only the budget is run; the shortfall is owed
        {12, 1, 12, 11},
    };
    for (const Case& c : cases) {
        CpuTestRig rig;
        PlaceSpin(rig, 0x0400);
        rig.cpu.cycleBudget = c.budgetBefore;
        const std::uint64_t before = rig.cpu.CyclesExecuted();
        rig.cpu.Run(c.run);
        EXPECT_EQ(rig.cpu.CyclesExecuted() - before, c.executed) << c.budgetBefore << "/" << c.run;
        EXPECT_EQ(rig.cpu.cycleBudget, c.budgetAfter) << c.budgetBefore << "/" << c.run;
        EXPECT_EQ(rig.R().pc, 0x0400);
    }
}

TEST(Budget, AnEmptyBudgetAcceptsNoInterruptAndADebtIsRepaidFirst)
{
    CpuTestRig rig;
    PlaceSpin(rig, 0x0400);
    rig.R().sp = 0x8000;
    rig.cpu.RequestNmi();
    rig.cpu.Run(70000);
    EXPECT_EQ(rig.cpu.pendingEvents, CCpu::EVENT_NMI);
    EXPECT_EQ(rig.R().pc, 0x0400);

    rig.cpu.cycleBudget = -20000;
    rig.cpu.AddCycles(15000);
    rig.cpu.Run(15000);
    EXPECT_EQ(rig.cpu.cycleBudget, -5000);
    EXPECT_EQ(rig.cpu.CyclesExecuted(), 0u);
    EXPECT_EQ(rig.cpu.pendingEvents, CCpu::EVENT_NMI);
    rig.cpu.AddCycles(15000);
    rig.cpu.Run(15000);  // 10000 of budget: the NMI goes in at the first boundary
    EXPECT_EQ(rig.cpu.cycleBudget, -5000);
    EXPECT_EQ(rig.cpu.pendingEvents, 0u);
    EXPECT_EQ(rig.memory.ReadWord(0x7FFE), 0x0400);
}

TEST(Budget, AddCyclesAccumulatesWithoutClamping)
{
    CpuTestRig rig;
    rig.cpu.AddCycles(70000);
    rig.cpu.AddCycles(70000);
    EXPECT_EQ(rig.cpu.cycleBudget, 140000);
    rig.cpu.AddCycles(-200000);
    EXPECT_EQ(rig.cpu.cycleBudget, -60000);
}

// LDIR from 0x9000 to 0xA000, BC bytes, placed at 0x0300 followed by a NOP.
void PlaceLdir(CpuTestRig& rig, std::uint16_t count)
{
    rig.Place(0x0300, {0xED, 0xB0, 0x00});
    rig.R().pc = 0x0300;
    rig.R().hl = 0x9000;
    rig.R().de = 0xA000;
    rig.R().bc = count;
    for (int i = 0; i < 16; ++i)
        rig.memory.WriteByte(static_cast<std::uint16_t>(0x9000 + i), static_cast<std::uint8_t>(0x40 + i));
}

TEST(BlockInstructions, LdirRepeatsAsSeparateExecutions)
{
    CpuTestRig rig;
    PlaceLdir(rig, 3);
    rig.SetAF(0, 0xFF);
    EXPECT_EQ(rig.Step(), 21u);
    EXPECT_EQ(rig.R().pc, 0x0300);
    EXPECT_EQ(rig.Step(), 21u);
    EXPECT_EQ(rig.R().pc, 0x0300);
    EXPECT_EQ(rig.Step(), 16u);
    EXPECT_EQ(rig.R().pc, 0x0302);
    EXPECT_EQ(rig.R().bc, 0);
    EXPECT_EQ(rig.R().hl, 0x9003);
    EXPECT_EQ(rig.R().de, 0xA003);
    EXPECT_EQ(rig.F(), 0xE9);  // H, P/V and N cleared; everything else kept
    EXPECT_EQ(rig.memory.ReadByte(0xA002), 0x42);
    EXPECT_EQ(rig.memory.ReadByte(0xA003), 0x00);
}

TEST(BlockInstructions, ASliceEndsBetweenStepsAndTheNextOneContinues)
{
    CpuTestRig rig;
    PlaceLdir(rig, 10);
    // 50 T-states: three steps (63), the third overshooting; then the block is still on.
    EXPECT_EQ(rig.Slice(50), 63u);
    EXPECT_EQ(rig.R().pc, 0x0300);
    EXPECT_EQ(rig.R().bc, 7);
    EXPECT_EQ(rig.cpu.cycleBudget, 0);
    // The rest: 6 repeating steps and the final one, then the NOP.
    EXPECT_GE(rig.Slice(1000), 1000u);
    EXPECT_EQ(rig.R().bc, 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(rig.memory.ReadByte(static_cast<std::uint16_t>(0xA000 + i)), 0x40 + i);
}

TEST(BlockInstructions, AnInterruptBetweenStepsReturnsToThePrefix)
{
    CpuTestRig rig;
    PlaceLdir(rig, 4);
    rig.R().sp = 0x8000;
    rig.R().im = 1;
    rig.R().iff1 = rig.R().iff2 = 1;
    rig.Place(0x0038, {0xFB, 0xC9});  // EI; RET
    rig.Step();                       // one byte moved
    rig.cpu.RequestInterrupt(0);
    rig.Step();  // accepted, then EI
    EXPECT_EQ(rig.memory.ReadWord(0x7FFE), 0x0300);
    rig.Step();  // RET
    EXPECT_EQ(rig.R().pc, 0x0300);
    EXPECT_EQ(rig.R().bc, 3);
    EXPECT_EQ(rig.Step(), 21u);
    EXPECT_EQ(rig.Step(), 21u);
    EXPECT_EQ(rig.Step(), 16u);
    EXPECT_EQ(rig.R().pc, 0x0302);
    EXPECT_EQ(rig.memory.ReadByte(0xA003), 0x43);
}

TEST(BlockInstructions, ZeroCountsRunTheFullRange)
{
    CpuTestRig rig;
    PlaceLdir(rig, 0);
    EXPECT_EQ(rig.Step(), 21u);
    EXPECT_EQ(rig.R().bc, 0xFFFF);
    EXPECT_EQ(rig.F() & CCpu::FLAG_PV, CCpu::FLAG_PV);

    // OTIR with B = 0 writes 256 bytes.
    CpuTestRig out;
    out.Place(0x0000, {0xED, 0xB3});
    out.R().bc = 0x0077;
    out.R().hl = 0x4000;
    std::uint64_t cycles = 0;
    do
        cycles += out.Step();
    while (out.R().pc == 0);
    EXPECT_EQ(out.bus.writes.size(), 256u);
    EXPECT_EQ(cycles, 255u * 21 + 16);
    EXPECT_EQ(out.bus.writes.front().first, 0x77);
    EXPECT_EQ(out.F() & (CCpu::FLAG_Z | CCpu::FLAG_N), CCpu::FLAG_Z | CCpu::FLAG_N);
}

TEST(Undefined, EncodingsOutsideTheSetStayOnThePrefixAndStillEndSlices)
{
    const std::initializer_list<std::uint8_t> encodings[] = {
        {0xCB, 0x30}, {0xED, 0x4C}, {0xED, 0x70}, {0xED, 0x77}, {0xED, 0xFF}, {0xDD, 0x44},
        {0xDD, 0x00}, {0xDD, 0xDD}, {0xFD, 0xED}, {0xDD, 0xCB, 0x02, 0x00}, {0xFD, 0xCB, 0x02, 0x36},
    };
    for (const auto& bytes : encodings) {
        CpuTestRig rig;
        rig.Place(0x0500, bytes);
        rig.R().pc = 0x0500;
        rig.R().sp = 0x8000;
        rig.SetAF(0x12, 0xD7);
        rig.R().ix = rig.R().iy = 0x6000;
        EXPECT_EQ(rig.Step(), 4u);
        EXPECT_EQ(rig.R().pc, 0x0500);
        EXPECT_EQ(rig.R().af, 0x12D7);
        // A program stuck here still ends its slices and can be interrupted.
        EXPECT_EQ(rig.Slice(70000), 70000u);
        EXPECT_EQ(rig.R().pc, 0x0500);
        rig.cpu.RequestNmi();
        rig.Place(0x0066, {0x00});
        rig.Step();
        EXPECT_EQ(rig.memory.ReadWord(0x7FFE), 0x0500);
        EXPECT_TRUE(rig.bus.writes.empty());
        EXPECT_TRUE(rig.bus.reads.empty());
    }
}

}  // namespace
