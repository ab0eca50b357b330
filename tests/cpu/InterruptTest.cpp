// Interrupt acceptance at instruction boundaries, HALT across slices, and Reset with requests
// pending. Each scenario is a script of slices with the requests made before them and the
// state expected after each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CpuTestRig.h"

namespace {

constexpr std::uint8_t NOP = 0x00, INC_A = 0x3C, HALT = 0x76, EI = 0xFB, DI = 0xF3;
constexpr int NONE = -1;

struct Step {
    bool nmi;
    int data;  // a maskable request with this data byte, or NONE
    std::int32_t slice;
    const char* expected;  // "t=<T-states run> " and the rig's state line
};

struct Scenario {
    const char* what;
    std::uint8_t im, iff, i;
    std::vector<std::uint8_t> program;  // at 0x1000, with SP at 0x8000
    std::vector<Step> steps;
};

TEST(Interrupts, AcceptanceAndHaltFollowTheirScripts)
{
    const Scenario scenarios[] = {
        {"NMI first; the maskable request waits until RETN restores IFF1", 1, 1, 0, {NOP},
         {{true, 0x10, 1, "t=14 pc=1000 sp=8000 top=0000 a=00 iff=11 ev=2"},
          {false, NONE, 1, "t=4 pc=0039 sp=7FFE top=1000 a=01 iff=00 ev=0"}}},
        {"NMI with interrupts off keeps them off; EI takes the request before the next instruction",
         1, 0, 0, {EI, NOP},
         {{true, 0, 1, "t=14 pc=1000 sp=8000 top=0000 a=00 iff=00 ev=2"},
          {false, NONE, 1, "t=4 pc=1001 sp=8000 top=0000 a=00 iff=11 ev=2"},
          {false, NONE, 1, "t=4 pc=0039 sp=7FFE top=1001 a=01 iff=00 ev=0"}}},
        {"IM 0: a request ends a HALT, pushes nothing and is dropped", 0, 1, 0, {HALT, INC_A, NOP},
         {{false, NONE, 1, "t=4 pc=1001 sp=8000 top=0000 a=00 iff=11 ev=4"},
          {false, 0x26, 1, "t=4 pc=1002 sp=8000 top=0000 a=01 iff=11 ev=0"},
          {false, 0x26, 1, "t=4 pc=1003 sp=8000 top=0000 a=01 iff=11 ev=0"}}},
        // IM 2 vectors (I=12h: 26 at 1234h, 80h at 1300h, FFh at 13FEh; I=13h ORs in data 80h: 1300h).
        {"IM 2 12h 26", 2, 1, 0x12, {NOP}, {{false, 26, 1, "t=4 pc=4001 sp=7FFE top=1000 a=01 iff=00 ev=0"}}},
        {"IM 2 12h 80h", 2, 1, 0x12, {NOP}, {{false, 0x80, 1, "t=4 pc=4101 sp=7FFE top=1000 a=01 iff=00 ev=0"}}},
        {"IM 2 12h FFh", 2, 1, 0x12, {NOP}, {{false, 0xFF, 1, "t=4 pc=4201 sp=7FFE top=1000 a=01 iff=00 ev=0"}}},
        {"IM 2 13h 80h", 2, 1, 0x13, {NOP}, {{false, 0x80, 1, "t=4 pc=4101 sp=7FFE top=1000 a=01 iff=00 ev=0"}}},
        {"HALT: whole NOPs across slices, a masked request waits, the NMI ends it", 1, 0, 0, {HALT},
         {{false, NONE, 1, "t=4 pc=1001 sp=8000 top=0000 a=00 iff=00 ev=4"},
          {false, NONE, 70000, "t=70000 pc=1001 sp=8000 top=0000 a=00 iff=00 ev=4"},
          {false, NONE, 10, "t=12 pc=1001 sp=8000 top=0000 a=00 iff=00 ev=4"},
          {false, 7, 1000, "t=1000 pc=1001 sp=8000 top=0000 a=00 iff=00 ev=6"},
          {true, NONE, 1, "t=14 pc=1001 sp=8000 top=0000 a=00 iff=00 ev=2"}}},
        {"HALT ended by an enabled maskable request", 1, 0, 0, {EI, HALT},
         {{false, NONE, 100, "t=100 pc=1002 sp=8000 top=0000 a=00 iff=11 ev=4"},
          {false, 0, 1, "t=4 pc=0039 sp=7FFE top=1002 a=01 iff=00 ev=0"}}},
    };
    for (const Scenario& s : scenarios) {
        CpuTestRig rig;
        for (std::uint16_t handler : {0x0038, 0x4000, 0x4100, 0x4200})
            rig.Place(handler, {INC_A});
        rig.Place(0x0066, {0xED, 0x45});  // RETN
        rig.memory.WriteWord(0x1234, 0x4000);
        rig.memory.WriteWord(0x1300, 0x4100);
        rig.memory.WriteWord(0x13FE, 0x4200);
        rig.Place(0x1000, s.program);
        rig.R() = {0, 0, 0, 0, 0, 0, 0x8000, 0x1000, 0, 0, 0, 0, s.i, s.iff, s.iff, s.im};
        for (std::size_t n = 0; n < s.steps.size(); ++n) {
            const Step& step = s.steps[n];
            if (step.nmi)
                rig.cpu.RequestNmi();
            if (step.data != NONE)
                rig.cpu.RequestInterrupt(static_cast<std::uint8_t>(step.data));
            const std::uint64_t t = rig.Slice(step.slice);
            EXPECT_EQ("t=" + std::to_string(t) + " " + rig.State(), step.expected) << s.what << ", step " << n + 1;
        }
    }
}

TEST(Reset, DropsRequestsHaltAndBudgetAndKeepsTheOtherRegisters)
{
    CpuTestRig rig;
    rig.Place(0x4443, {HALT});
    rig.R() = {0x1234, 0x5678, 0x9ABC, 0xDEF0, 0x1111, 0x2222, 0x3333, 0x4443,
               0x5555, 0x6666, 0x7777, 0x8888, 0x99, 1, 1, 2};
    rig.Step();
    rig.cpu.RequestNmi();
    rig.cpu.RequestInterrupt(0x42);
    rig.cpu.AddCycles(5000);
    ASSERT_EQ(rig.cpu.pendingEvents, CCpu::EVENT_NMI | CCpu::EVENT_INT | CCpu::EVENT_HALT);
    rig.cpu.Reset();
    EXPECT_EQ(rig.Dump(), "1234 5678 9ABC DEF0 1111 2222 3333 0000 5555 6666 7777 8888 i=00 iff=00 im=0");
    EXPECT_EQ(rig.cpu.cycleBudget, 0);
    EXPECT_EQ(rig.cpu.interruptData, 0x42);
    // Nothing is pending and the HALT is over: the first slice starts with the instruction at 0.
    rig.Place(0x0000, {DI});
    EXPECT_EQ(rig.Step(), 4u);
    EXPECT_EQ(rig.R().pc, 1);
}

}  // namespace
