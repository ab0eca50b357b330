// Interrupt acceptance at instruction boundaries, HALT, and Reset with requests pending.
#include <gtest/gtest.h>

#include "CpuTestRig.h"

namespace {

constexpr std::uint8_t NOP = 0x00, HALT = 0x76, EI = 0xFB, DI = 0xF3;

TEST(Interrupts, NmiIsTakenBeforeTheMaskableRequestWhichWaitsForRetnOrEi)
{
    CpuTestRig rig;
    rig.R().pc = 0x1000;
    rig.R().sp = 0x8000;
    rig.R().iff1 = rig.R().iff2 = 1;
    rig.R().im = 1;
    rig.Place(0x1000, {NOP});
    rig.Place(0x0066, {0xED, 0x45});  // RETN
    rig.Place(0x0038, {NOP});
    rig.cpu.RequestNmi();
    rig.cpu.RequestInterrupt(0x10);

    // The NMI is accepted at no cost, then the RETN at 0x0066 is the instruction charged.
    EXPECT_EQ(rig.Step(), 14u);
    EXPECT_EQ(rig.R().pc, 0x1000);
    EXPECT_EQ(rig.R().sp, 0x8000);
    EXPECT_EQ(rig.memory.ReadWord(0x7FFE), 0x1000);  // pushed return address
    EXPECT_EQ(rig.R().iff1, 1);                        // restored from IFF2
    EXPECT_EQ(rig.cpu.pendingEvents, CCpu::EVENT_INT);

    // With IFF1 back at 1 the waiting maskable request is now accepted (IM 1).
    EXPECT_EQ(rig.Step(), 4u);
    EXPECT_EQ(rig.R().pc, 0x0039);
    EXPECT_EQ(rig.R().iff1, 0);
    EXPECT_EQ(rig.R().iff2, 0);
    EXPECT_EQ(rig.cpu.pendingEvents, 0u);
}

TEST(Interrupts, NmiKeepsIff1InIff2AndALaterEiReleasesTheWaitingRequest)
{
    CpuTestRig rig;
    rig.R().pc = 0x2000;
    rig.R().sp = 0x9000;
    rig.R().iff1 = rig.R().iff2 = 0;  // interrupts were disabled: RETN does not re-enable
    rig.R().im = 1;
    rig.Place(0x0066, {0xED, 0x45, EI, NOP});
    rig.Place(0x0038, {NOP});
    rig.cpu.RequestNmi();
    rig.cpu.RequestInterrupt(0);
    rig.Step();  // NMI, then RETN
    EXPECT_EQ(rig.R().iff1, 0);
    EXPECT_EQ(rig.R().pc, 0x2000);
    rig.R().pc = 0x0068;
    rig.Step();  // EI
    EXPECT_EQ(rig.cpu.pendingEvents, CCpu::EVENT_INT);
    rig.Step();  // accepted before the instruction after EI; NOP at 0x0038 runs
    EXPECT_EQ(rig.R().pc, 0x0039);
    EXPECT_EQ(rig.memory.ReadWord(rig.R().sp), 0x0069);  // the address after EI
}

TEST(Interrupts, EiAcceptsAPendingRequestBeforeTheNextInstruction)
{
    CpuTestRig rig;
    rig.R().pc = 0x3000;
    rig.R().sp = 0x4000;
    rig.R().im = 1;
    rig.Place(0x3000, {EI, 0x3C});  // EI; INC A
    rig.Place(0x0038, {NOP});
    rig.cpu.RequestInterrupt(0xFF);
    EXPECT_EQ(rig.Step(), 4u);  // EI (the request waits: IFF1 was 0)
    EXPECT_EQ(rig.R().iff1, 1);
    EXPECT_EQ(rig.R().iff2, 1);
    rig.Step();
    EXPECT_EQ(rig.R().pc, 0x0039);
    EXPECT_EQ(rig.memory.ReadWord(0x3FFE), 0x3001);
    EXPECT_EQ(rig.A(), 0);  // INC A has not run
}

TEST(Interrupts, ModeZeroConsumesTheRequestAndOnlyEndsAHalt)
{
    CpuTestRig rig;
    rig.R().pc = 0x5000;
    rig.R().sp = 0x6000;
    rig.R().iff1 = rig.R().iff2 = 1;
    rig.R().im = 0;
    rig.Place(0x5000, {HALT, 0x3C});
    rig.Step();
    EXPECT_EQ(rig.cpu.pendingEvents, CCpu::EVENT_HALT);
    rig.cpu.RequestInterrupt(0x26);
    EXPECT_EQ(rig.Step(), 4u);  // INC A after the HALT
    EXPECT_EQ(rig.A(), 1);
    EXPECT_EQ(rig.R().pc, 0x5002);
    EXPECT_EQ(rig.R().sp, 0x6000);  // nothing pushed
    EXPECT_EQ(rig.R().iff1, 1);
    EXPECT_EQ(rig.R().iff2, 1);
    EXPECT_EQ(rig.cpu.pendingEvents, 0u);
}

TEST(Interrupts, ModeTwoVectorsDoubleTheDataByte)
{
    struct Case {
        std::uint8_t data;
        std::uint16_t vectorAddress;
    };
    for (const Case c : {Case{26, 0x1234}, Case{0x80, 0x1300}, Case{0xFF, 0x13FE}}) {
        CpuTestRig rig;
        rig.R().pc = 0x7000;
        rig.R().sp = 0x0000;  // the push wraps to 0xFFFE
        rig.R().i = 0x12;
        rig.R().im = 2;
        rig.R().iff1 = rig.R().iff2 = 1;
        rig.memory.WriteWord(c.vectorAddress, 0x4567);
        rig.Place(0x4567, {NOP});
        rig.cpu.RequestInterrupt(c.data);
        rig.Step();
        EXPECT_EQ(rig.R().pc, 0x4568) << "data " << int(c.data);
        EXPECT_EQ(rig.R().sp, 0xFFFE);
        EXPECT_EQ(rig.memory.ReadWord(0xFFFE), 0x7000);
        EXPECT_EQ(rig.R().iff1, 0);
        EXPECT_EQ(rig.R().iff2, 0);
    }
}

TEST(Interrupts, TheLastDataByteWinsAndIsAcceptedOnce)
{
    CpuTestRig rig;
    rig.R().pc = 0x7000;
    rig.R().sp = 0x8000;
    rig.R().i = 0x20;
    rig.R().im = 2;
    rig.R().iff1 = rig.R().iff2 = 1;
    rig.memory.WriteWord(0x2002, 0x1111);
    rig.memory.WriteWord(0x2008, 0x2222);
    rig.Place(0x2222, {EI, NOP});
    rig.cpu.RequestInterrupt(1);
    rig.cpu.RequestInterrupt(4);
    rig.Step();
    EXPECT_EQ(rig.R().pc, 0x2223);
    rig.Step();  // after EI nothing is pending any more: the NOP runs
    EXPECT_EQ(rig.R().pc, 0x2224);
    EXPECT_EQ(rig.R().sp, 0x7FFE);
}

TEST(Halt, ASliceOfNopsKeepsPcAfterTheHaltUntilTheNmi)
{
    CpuTestRig rig;
    rig.R().pc = 0x0100;
    rig.R().sp = 0x8000;
    rig.Place(0x0100, {HALT});
    rig.Place(0x0066, {NOP});
    EXPECT_EQ(rig.Step(), 4u);
    EXPECT_EQ(rig.R().pc, 0x0101);
    // A whole slice of NOPs: 17500 of them, PC stays, budget ends at 0.
    EXPECT_EQ(rig.Slice(70000), 70000u);
    EXPECT_EQ(rig.R().pc, 0x0101);
    EXPECT_EQ(rig.cpu.cycleBudget, 0);
    EXPECT_EQ(rig.cpu.pendingEvents, CCpu::EVENT_HALT);
    // An odd slice still ends on a whole NOP.
    EXPECT_EQ(rig.Slice(10), 12u);
    EXPECT_EQ(rig.cpu.cycleBudget, 0);

    // A maskable request while IFF1 is 0 leaves the CPU halted and stays pending.
    rig.cpu.RequestInterrupt(7);
    rig.Slice(1000);
    EXPECT_EQ(rig.R().pc, 0x0101);
    EXPECT_EQ(rig.cpu.pendingEvents, CCpu::EVENT_HALT | CCpu::EVENT_INT);

    // The frame pacing's NMI after the slice ends the HALT at the first boundary of the next.
    rig.cpu.RequestNmi();
    EXPECT_EQ(rig.Step(), 4u);
    EXPECT_EQ(rig.R().pc, 0x0067);
    EXPECT_EQ(rig.memory.ReadWord(0x7FFE), 0x0101);
    EXPECT_EQ(rig.cpu.pendingEvents, CCpu::EVENT_INT);
}

TEST(Halt, AMaskableRequestEndsTheHaltWhenEnabled)
{
    CpuTestRig rig;
    rig.R().pc = 0x0200;
    rig.R().sp = 0x8000;
    rig.R().im = 1;
    rig.Place(0x0200, {EI, HALT});
    rig.Place(0x0038, {0x3C});  // INC A
    rig.Slice(100);
    EXPECT_EQ(rig.R().pc, 0x0202);
    rig.cpu.RequestInterrupt(0);
    EXPECT_EQ(rig.Step(), 4u);
    EXPECT_EQ(rig.A(), 1);
    EXPECT_EQ(rig.memory.ReadWord(0x7FFE), 0x0202);
    EXPECT_EQ(rig.cpu.pendingEvents, 0u);
}

TEST(Reset, DropsRequestsAndTheBudgetAndKeepsTheOtherRegisters)
{
    CpuTestRig rig;
    CCpu::Registers& r = rig.R();
    r.af = 0x1234;
    r.bc = 0x5678;
    r.de = 0x9ABC;
    r.hl = 0xDEF0;
    r.ix = 0x1111;
    r.iy = 0x2222;
    r.sp = 0x3333;
    r.pc = 0x4444;
    r.af2 = 0x5555;
    r.bc2 = 0x6666;
    r.de2 = 0x7777;
    r.hl2 = 0x8888;
    r.i = 0x99;
    r.iff1 = r.iff2 = 1;
    r.im = 2;
    rig.cpu.RequestNmi();
    rig.cpu.RequestInterrupt(0x42);
    rig.cpu.AddCycles(5000);
    rig.cpu.Reset();

    EXPECT_EQ(r.pc, 0);
    EXPECT_EQ(r.i, 0);
    EXPECT_EQ(r.iff1, 0);
    EXPECT_EQ(r.iff2, 0);
    EXPECT_EQ(r.im, 0);
    EXPECT_EQ(rig.cpu.pendingEvents, 0u);
    EXPECT_EQ(rig.cpu.cycleBudget, 0);
    EXPECT_EQ(r.af, 0x1234);
    EXPECT_EQ(r.bc, 0x5678);
    EXPECT_EQ(r.de, 0x9ABC);
    EXPECT_EQ(r.hl, 0xDEF0);
    EXPECT_EQ(r.ix, 0x1111);
    EXPECT_EQ(r.iy, 0x2222);
    EXPECT_EQ(r.sp, 0x3333);
    EXPECT_EQ(r.af2, 0x5555);
    EXPECT_EQ(r.bc2, 0x6666);
    EXPECT_EQ(r.de2, 0x7777);
    EXPECT_EQ(r.hl2, 0x8888);
    EXPECT_EQ(rig.cpu.interruptData, 0x42);

    // Nothing pending any more: the first slice starts with the instruction at 0.
    rig.Place(0x0000, {DI});
    rig.Step();
    EXPECT_EQ(r.pc, 1);
}

TEST(Reset, EndsAHaltWithInterruptsDisabled)
{
    CpuTestRig rig;
    rig.Place(0x0000, {DI, HALT});
    rig.Slice(1000);
    EXPECT_EQ(rig.cpu.pendingEvents, CCpu::EVENT_HALT);
    rig.cpu.Reset();
    EXPECT_EQ(rig.cpu.pendingEvents, 0u);
    EXPECT_EQ(rig.Step(), 4u);  // DI at 0 again
    EXPECT_EQ(rig.R().pc, 1);
}

}  // namespace
