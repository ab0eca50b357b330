// Instruction behaviour the single-instruction vectors cannot show: the live register file
// seen and moved by a device during an output instruction, and the pseudo-random LD A,R.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "CpuTestRig.h"

namespace {

// A device that, like the file and printer channels, reads B, C, DE and HL while its port
// is written and moves HL to 0x5000.
class CChannelBus final : public CPortBus {
public:
    std::uint8_t ReadPort(std::uint8_t) override { return 0x5A; }
    void WritePort(std::uint8_t port, std::uint8_t value) override
    {
        char text[48];
        std::snprintf(text, sizeof text, "%02X=%02X b=%02X c=%02X de=%04X hl=%04X", port, value, cpu->B(),
                      cpu->C(), cpu->DE(), cpu->HL());
        seen.push_back(text);
        cpu->SetHL(0x5000);
    }
    CCpu* cpu = nullptr;
    std::vector<std::string> seen;
};

TEST(LiveRegisters, ADeviceSeesAndMovesTheRegistersDuringOutput)
{
    CMemory memory;
    CChannelBus bus;
    CCpu cpu(memory, bus);
    bus.cpu = &cpu;
    // LD B,3; LD DE,1234h; LD HL,4000h; LD A,2; OUT (0FEh),A; INC HL; OUTI
    const std::uint8_t program[] = {0x06, 0x03, 0x11, 0x34, 0x12, 0x21, 0x00, 0x40, 0x3E, 0x02,
                                    0xD3, 0xFE, 0x23, 0xED, 0xA3};
    for (std::size_t i = 0; i < sizeof program; ++i)
        memory.WriteByte(static_cast<std::uint32_t>(0x100 + i), program[i]);
    memory.WriteByte(0x5001, 0x77);
    cpu.Regs().bc = 0x00FF;
    cpu.Regs().pc = 0x100;
    cpu.AddCycles(7 + 10 + 10 + 7 + 11 + 6 + 16);
    cpu.Run(7 + 10 + 10 + 7 + 11 + 6 + 16);
    // INC HL works on the HL the device left, so OUTI sends the byte at 0x5001; its HL+1
    // and B-1 apply to what the device left in turn.
    const std::vector<std::string> expected = {"FE=02 b=03 c=FF de=1234 hl=4000",
                                               "FF=77 b=03 c=FF de=1234 hl=5001"};
    EXPECT_EQ(bus.seen, expected);
    EXPECT_EQ(cpu.HL(), 0x5001);
    EXPECT_EQ(cpu.B(), 2);
    EXPECT_EQ(cpu.Regs().pc, 0x10F);
}

TEST(RefreshRegister, LdARIsPseudoRandomAndNeverAbove127)
{
    CpuTestRig rig;
    rig.cpu.Reset();
    rig.Place(0x0000, {0xED, 0x5F});
    std::set<int> values;
    for (int i = 0; i < 4000; ++i) {
        rig.R().pc = 0;
        rig.R().iff2 = static_cast<std::uint8_t>(i & 1);
        rig.R().af = 0xFFFF;
        EXPECT_EQ(rig.Step(), 9u);
        ASSERT_LE(rig.cpu.A(), 127);
        values.insert(rig.cpu.A());
        // S, H and N cleared; Z from the value; P/V = IFF2; C and bits 5, 3 kept.
        ASSERT_EQ(rig.cpu.F(), 0x29 | (rig.cpu.A() == 0 ? 0x40 : 0) | ((i & 1) ? 0x04 : 0)) << i;
    }
    EXPECT_GT(values.size(), 100u);  // it does vary
}

}  // namespace
