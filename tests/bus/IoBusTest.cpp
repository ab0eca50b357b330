#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "MachineRig.h"

namespace {


struct Recorder final : CPortObserver {
    std::vector<std::pair<int, int>> writes;
    void OnPortWrite(std::uint8_t port, std::uint8_t value) override { writes.emplace_back(port, value); }
};

}  // namespace

TEST(IoBus, InitFillsEveryLatchWithFF)
{
    MachineRig m;
    m.bus.SetInputLatch(0, 0x00);
    m.bus.SetInputLatch(CIoBus::PORT_KEYBOARD, 0xC1);
    m.bus.WritePort(0x10, 0x00);
    ASSERT_TRUE(m.bus.Init());
    for (int p = 0; p < 256; ++p) {
        EXPECT_EQ(m.bus.ReadPort(static_cast<std::uint8_t>(p)), 0xFF) << p;
        EXPECT_EQ(m.bus.OutputLatch(static_cast<std::uint8_t>(p)), 0xFF) << p;
    }
}

TEST(IoBus, EchoPortCopiesBits3To6)
{
    MachineRig m;
    const std::pair<std::uint8_t, std::uint8_t> steps[] = {{0x00, 0x87}, {0x78, 0xFF}, {0x50, 0xD7}, {0x87, 0x87}};
    for (auto [written, read] : steps) {
        m.bus.WritePort(CIoBus::PORT_ECHO, written);
        EXPECT_EQ(m.bus.ReadPort(CIoBus::PORT_ECHO), read) << int(written);
        EXPECT_EQ(m.bus.OutputLatch(CIoBus::PORT_ECHO), written);
    }
    // The other bits of the latch are kept from whatever put them there.
    m.bus.SetInputLatch(CIoBus::PORT_ECHO, 0x00);
    m.bus.WritePort(CIoBus::PORT_ECHO, 0xFF);
    EXPECT_EQ(m.bus.ReadPort(CIoBus::PORT_ECHO), 0x78);
}

TEST(IoBus, PortsWithoutDevicesReadFFWhateverIsWritten)
{
    MachineRig m;
    for (int p = 0; p < 256; ++p)
        m.bus.WritePort(static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p ^ 0x5A));
    for (int p = 0; p < 256; ++p) {
        if (p == CIoBus::PORT_ECHO || p == CIoBus::PORT_PRINTER || p == CIoBus::PORT_FILE)
            continue;
        EXPECT_EQ(m.bus.ReadPort(static_cast<std::uint8_t>(p)), 0xFF) << p;
        EXPECT_EQ(m.bus.OutputLatch(static_cast<std::uint8_t>(p)), p ^ 0x5A) << p;
    }
}

TEST(IoBus, ChannelPortsIgnoreCommandsAbove6)
{
    MachineRig m;
    Recorder rec;
    m.bus.SetObserver(&rec);
    std::array<std::uint8_t, 65536> before{};
    std::copy(m.memory.Bytes(), m.memory.Bytes() + 65536, before.begin());
    for (int v : {7, 0x80, 0xFF}) {
        m.bus.WritePort(CIoBus::PORT_PRINTER, static_cast<std::uint8_t>(v));
        m.bus.WritePort(CIoBus::PORT_FILE, static_cast<std::uint8_t>(v));
        EXPECT_EQ(m.bus.OutputLatch(CIoBus::PORT_PRINTER), v);
        EXPECT_EQ(m.bus.OutputLatch(CIoBus::PORT_FILE), v);
    }
    EXPECT_EQ(m.bus.ReadPort(CIoBus::PORT_PRINTER), 0xFF);
    EXPECT_EQ(m.bus.ReadPort(CIoBus::PORT_FILE), 0xFF);
    EXPECT_EQ(m.cpu.HL(), 0);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), m.memory.Bytes()));
    // The observer sees each write once, in order, after the dispatch.
    ASSERT_EQ(rec.writes.size(), 6u);
    EXPECT_EQ(rec.writes[0], std::make_pair(254, 7));
    EXPECT_EQ(rec.writes[5], std::make_pair(255, 0xFF));
}
