// Instruction behaviour the single-instruction vectors cannot show: the live register file
// seen by a device during an output instruction, the pseudo-random LD A,R, and the settled
// flag decisions written out as literal instructions with their T-states and flags.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "CpuTestRig.h"

namespace {

// A device that, like the file and printer channels, reads B, C, DE and HL while its port
// is written and moves HL.
class CChannelBus final : public CPortBus {
public:
    std::uint8_t ReadPort(std::uint8_t) override { return 0x5A; }
    void WritePort(std::uint8_t port, std::uint8_t value) override
    {
        seen.push_back({port, value, cpu->B(), cpu->C(), cpu->DE(), cpu->HL()});
        cpu->SetHL(newHl);
    }
    struct Seen {
        std::uint8_t port, value, b, c;
        std::uint16_t de, hl;
    };
    CCpu* cpu = nullptr;
    std::uint16_t newHl = 0x5000;
    std::vector<Seen> seen;
};

struct ChannelRig {
    ChannelRig() : cpu(memory, bus) { bus.cpu = &cpu; }
    CMemory memory;
    CChannelBus bus;
    CCpu cpu;
};

TEST(LiveRegisters, ADeviceSeesAndMovesTheRegistersDuringOutput)
{
    ChannelRig rig;
    // LD B,3; LD DE,1234h; LD HL,4000h; LD A,2; OUT (0FEh),A; INC HL; OUTI
    const std::uint8_t program[] = {0x06, 0x03, 0x11, 0x34, 0x12, 0x21, 0x00, 0x40, 0x3E, 0x02,
                                    0xD3, 0xFE, 0x23, 0xED, 0xA3};
    for (std::size_t i = 0; i < sizeof program; ++i)
        rig.memory.WriteByte(static_cast<std::uint16_t>(0x100 + i), program[i]);
    rig.memory.WriteByte(0x5001, 0x77);
    rig.cpu.Regs().bc = 0x00FF;
    rig.cpu.Regs().pc = 0x100;
    rig.cpu.AddCycles(7 + 10 + 10 + 7 + 11 + 6 + 16);
    rig.cpu.Run(7 + 10 + 10 + 7 + 11 + 6 + 16);

    ASSERT_EQ(rig.bus.seen.size(), 2u);
    const auto& out = rig.bus.seen[0];
    EXPECT_EQ(out.port, 0xFE);
    EXPECT_EQ(out.value, 0x02);
    EXPECT_EQ(out.b, 3);
    EXPECT_EQ(out.c, 0xFF);
    EXPECT_EQ(out.de, 0x1234);
    EXPECT_EQ(out.hl, 0x4000);
    // INC HL works on the HL the device left; OUTI sends the byte at 0x5001 and the device
    // sees HL and B from before the step.
    const auto& outi = rig.bus.seen[1];
    EXPECT_EQ(outi.port, 0xFF);
    EXPECT_EQ(outi.value, 0x77);
    EXPECT_EQ(outi.b, 3);
    EXPECT_EQ(outi.hl, 0x5001);
    // The step's HL+1 and B-1 apply to what the device left.
    EXPECT_EQ(rig.cpu.HL(), 0x5001);
    EXPECT_EQ(rig.cpu.B(), 2);
    EXPECT_EQ(rig.cpu.Regs().pc, 0x10F);
}

TEST(RefreshRegister, LdARIsPseudoRandomAndNeverAbove127)
{
    CpuTestRig rig;
    std::set<int> values;
    for (int reset = 0; reset < 3; ++reset) {
        rig.cpu.Reset();
        for (int i = 0; i < 2000; ++i) {
            rig.Place(0x0000, {0xED, 0x5F});
            rig.R().pc = 0;
            rig.R().iff2 = static_cast<std::uint8_t>(i & 1);
            rig.SetAF(0xFF, 0xFF);
            EXPECT_EQ(rig.Step(), 9u);
            ASSERT_LE(rig.A(), 127);
            values.insert(rig.A());
            // S and H, N cleared; Z from the value; P/V = IFF2; C and bits 5, 3 kept.
            const std::uint8_t expected = static_cast<std::uint8_t>(0x29 | (rig.A() == 0 ? 0x40 : 0) | ((i & 1) ? 0x04 : 0));
            ASSERT_EQ(rig.F(), expected);
        }
    }
    EXPECT_GT(values.size(), 100u);  // it does vary

    // LD R,A spends 9 T-states and changes nothing.
    rig.Place(0x0000, {0xED, 0x4F});
    rig.R().pc = 0;
    rig.SetAF(0x80, 0x00);
    EXPECT_EQ(rig.Step(), 9u);
    EXPECT_EQ(rig.R().af, 0x8000);
}

// One literal instruction with the state before and after.
struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::uint16_t af, bc, de, hl;  // before
    std::uint16_t afAfter, bcAfter, hlAfter;
    std::uint64_t cycles;
};

TEST(FlagDecisions, LiteralInstructionsGiveTheSettledResults)
{
    const Case cases[] = {
        {"ADD A,B 7F+01 keeps bits 5 and 3", {0x80}, 0x7F28, 0x0100, 0, 0, 0x80BC, 0x0100, 0, 4},
        {"SUB B 00-01", {0x90}, 0x0000, 0x0100, 0, 0, 0xFF93, 0x0100, 0, 4},
        {"SUB B 80-01", {0x90}, 0x8000, 0x0100, 0, 0, 0x7F16, 0x0100, 0, 4},
        {"AND B of zeros with F=28", {0xA0}, 0x0028, 0x0000, 0, 0, 0x007C, 0x0000, 0, 4},
        {"CP n 10 vs 20", {0xFE, 0x20}, 0x1000, 0, 0, 0, 0x1083, 0, 0, 7},
        {"ADD HL,BC FFFF+1 keeps Z", {0x09}, 0x0040, 0x0001, 0, 0xFFFF, 0x0051, 0x0001, 0x0000, 11},
        {"CCF keeps H", {0x3F}, 0x0011, 0, 0, 0, 0x0010, 0, 0, 4},
        {"SCF clears H and N", {0x37}, 0x0012, 0, 0, 0, 0x0001, 0, 0, 4},
        {"CPL sets H and N, keeps C", {0x2F}, 0x0F01, 0, 0, 0, 0xF013, 0, 0, 4},
        {"DAA after 15+27", {0x27}, 0x3C00, 0, 0, 0, 0x4214, 0, 0, 4},
        {"DAA after 42-15", {0x27}, 0x2D12, 0, 0, 0, 0x2716, 0, 0, 4},
        {"BIT 7,A set, F=FF", {0xCB, 0x7F}, 0x80FF, 0, 0, 0, 0x8039, 0, 0, 8},
        {"BIT 7,A clear, F=FF", {0xCB, 0x7F}, 0x7FFF, 0, 0, 0, 0x7F79, 0, 0, 8},
        {"RLC B 80 with F=28", {0xCB, 0x00}, 0x0028, 0x8000, 0, 0, 0x0029, 0x0100, 0, 8},
        {"NEG 80", {0xED, 0x44}, 0x8000, 0, 0, 0, 0x8087, 0, 0, 8},
        {"SBC HL,DE 8000-1", {0xED, 0x52}, 0x0000, 0, 0x0001, 0x8000, 0x0016, 0, 0x7FFF, 15},
        {"ADC HL,HL 8000 with C", {0xED, 0x6A}, 0x0001, 0, 0, 0x8000, 0x0005, 0, 0x0001, 15},
        {"IN A,(C) of 00 with F=FF", {0xED, 0x78}, 0x00FF, 0x0010, 0, 0, 0x006D, 0x0010, 0, 12},
        {"IN A,(n) keeps flags", {0xDB, 0x10}, 0x00D7, 0, 0, 0, 0x00D7, 0, 0, 11},
        {"DJNZ with B=1 falls through", {0x10, 0xFE}, 0, 0x0100, 0, 0, 0, 0x0000, 0, 8},
        {"DJNZ with B=0 jumps", {0x10, 0xFE}, 0, 0x0000, 0, 0, 0, 0xFF00, 0, 13},
        {"JR to itself", {0x18, 0xFE}, 0, 0, 0, 0, 0, 0, 0, 12},
    };
    for (const Case& c : cases) {
        CpuTestRig rig;
        rig.bus.inputs[0x10] = 0x00;
        rig.Place(0x0200, {});
        for (std::size_t i = 0; i < c.bytes.size(); ++i)
            rig.memory.WriteByte(static_cast<std::uint16_t>(0x0200 + i), c.bytes[i]);
        rig.R().pc = 0x0200;
        rig.R().af = c.af;
        rig.R().bc = c.bc;
        rig.R().de = c.de;
        rig.R().hl = c.hl;
        EXPECT_EQ(rig.Step(), c.cycles) << c.what;
        EXPECT_EQ(rig.R().af, c.afAfter) << c.what << std::hex << " af=" << rig.R().af;
        EXPECT_EQ(rig.R().bc, c.bcAfter) << c.what;
        EXPECT_EQ(rig.R().hl, c.hlAfter) << c.what;
    }
}

TEST(StackAndExchange, PushWrapsAndPairsShareTheirHalves)
{
    CpuTestRig rig;
    // PUSH AF with SP = 0; POP BC; LD SP,hl-ish check; EX AF,AF' twice; EXX.
    rig.Place(0x0000, {0xF5, 0xC1, 0x08, 0x08, 0xD9});
    rig.R().af = 0x12FF;
    rig.R().af2 = 0x3456;
    rig.R().sp = 0x0000;
    EXPECT_EQ(rig.Step(), 11u);
    EXPECT_EQ(rig.R().sp, 0xFFFE);
    EXPECT_EQ(rig.memory.ReadByte(0xFFFE), 0xFF);  // F below A
    EXPECT_EQ(rig.memory.ReadByte(0xFFFF), 0x12);
    EXPECT_EQ(rig.Step(), 10u);
    EXPECT_EQ(rig.cpu.B(), 0x12);
    EXPECT_EQ(rig.cpu.C(), 0xFF);
    rig.Step();
    EXPECT_EQ(rig.R().af, 0x3456);
    rig.Step();
    EXPECT_EQ(rig.R().af, 0x12FF);
    rig.R().hl2 = 0xBEEF;
    rig.Step();
    EXPECT_EQ(rig.R().hl, 0xBEEF);
    EXPECT_EQ(rig.R().bc2, 0x12FF);
    EXPECT_EQ(rig.R().af, 0x12FF);
}

}  // namespace
