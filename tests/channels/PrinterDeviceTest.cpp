#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "ChannelMachine.h"
#include "TempFolder.h"

namespace {

struct Printer : ::testing::Test {
    TempFolder root;
    ChannelMachine m;

    Printer() { m.settings.printDestination = root.File("print.out"); }

    // Puts text at address and prints it on a slot in one WriteBytes.
    std::uint8_t Print(std::uint8_t slot, std::uint16_t address, const std::string& text)
    {
        for (std::size_t i = 0; i < text.size(); ++i)
            m.memory.WriteByte(address + static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(text[i]));
        m.SetRegs(slot, static_cast<std::uint8_t>(text.size()), 0, address);
        return m.Printer(ChannelMachine::WRITE_BYTES);
    }
    // One print job: open, one write, close.
    void Job(const std::string& text)
    {
        m.SetB(1);
        EXPECT_EQ(m.Printer(ChannelMachine::OPEN_WRITE), 0);
        EXPECT_EQ(Print(1, 0x5000, text), 0);
        m.SetB(1);
        m.Printer(ChannelMachine::CLOSE);
    }
    std::string Printed(const std::string& name = "print.out") const
    {
        const auto bytes = root.Read(name);
        return {bytes.begin(), bytes.end()};
    }
};

}  // namespace

TEST_F(Printer, AppendKeepsEarlierJobsAndReplaceDropsThem)
{
    root.WriteText("print.out", "old\r\n");
    Job("first\r\n");
    Job("second\r\n");
    EXPECT_EQ(Printed(), "old\r\nfirst\r\nsecond\r\n");

    m.settings.printAppend = 0;  // read at the moment of the open
    Job("third\r\n");
    EXPECT_EQ(Printed(), "third\r\n");
    Job("fourth\r\n");
    EXPECT_EQ(Printed(), "fourth\r\n");

    // Replacing empties the file even when nothing is printed.
    m.SetB(1);
    m.Printer(ChannelMachine::OPEN_WRITE);
    m.Printer(ChannelMachine::CLOSE);
    EXPECT_EQ(Printed(), "");

    m.settings.printAppend = 7;  // any nonzero value appends
    Job("a");
    Job("b");
    EXPECT_EQ(Printed(), "ab");
}

TEST_F(Printer, TranslationFollowsTheSettingAtEachWrite)
{
    m.SetB(0);
    ASSERT_EQ(m.Printer(ChannelMachine::OPEN_WRITE), 0);
    EXPECT_EQ(m.cpu.HL(), 0xF500);
    const std::string national = "\x40\x5B\x5C\x5D\x5E\x60\x7B\x7C\x7D\x7E";
    EXPECT_EQ(Print(0, 0x5000, national + "A"), 0);
    m.settings.printTranslate = 0;
    EXPECT_EQ(Print(0, 0x5000, national), 0);
    // Control bytes, zeros and high bytes go to the file as they are, either way.
    const std::string control("\r\n\0\x1B\x7F\x80\xFF", 7);
    EXPECT_EQ(Print(0, 0x5000, control), 0);
    m.settings.printTranslate = 1;
    EXPECT_EQ(Print(0, 0x5000, control), 0);
    m.Printer(ChannelMachine::CLOSE);
    EXPECT_EQ(Printed(), "\xC9\xC4\xD6\xC5\xDC\xE9\xE4\xF6\xE5\xFC" "A" + national + control + control);
}

TEST_F(Printer, WriteBytesTakesCFromHLAndLeavesTheRegistersAlone)
{
    m.SetB(3);
    ASSERT_EQ(m.Printer(ChannelMachine::OPEN_WRITE), 0);
    EXPECT_EQ(m.cpu.HL(), 0xF800);

    // C = 0 writes nothing but still reports.
    m.bus.SetInputLatch(ChannelMachine::PRINTER_PORT, 0x77);
    m.SetRegs(3, 0, 0x1111, 0x5000);
    EXPECT_EQ(m.Printer(ChannelMachine::WRITE_BYTES), 0);

    // 255 bytes, the largest count, running over the top of memory.
    for (std::uint32_t i = 0; i < 255; ++i)
        m.memory.WriteByte(0xFF80 + i, static_cast<std::uint8_t>('0' + i % 10));
    m.memory.WriteByte(0x007F, 'X');
    m.SetRegs(3, 255, 0x1111, 0xFF80);
    EXPECT_EQ(m.Printer(ChannelMachine::WRITE_BYTES), 0);
    EXPECT_EQ(m.cpu.B(), 3);
    EXPECT_EQ(m.cpu.C(), 255);
    EXPECT_EQ(m.cpu.DE(), 0x1111);
    EXPECT_EQ(m.cpu.HL(), 0xFF80);
    m.Printer(ChannelMachine::CLOSE);

    std::string expected;
    for (int i = 0; i < 255; ++i)
        expected.push_back(static_cast<char>('0' + i % 10));
    EXPECT_EQ(Printed(), expected);
}

TEST_F(Printer, UnusableDestinationsStillReportZero)
{
    root.WriteText("plain", "a file, not a folder");
    const std::string destinations[] = {"", root.File("plain") + "/print.out", root.File("missing/print.out"),
                                        root.Path().string()};
    for (const std::string& destination : destinations) {
        m.settings.printDestination = destination;
        m.bus.SetInputLatch(ChannelMachine::PRINTER_PORT, 0x77);
        m.SetRegs(200, 0, 0, 0x1234);
        EXPECT_EQ(m.Printer(ChannelMachine::OPEN_WRITE), 0) << destination;
        EXPECT_EQ(m.cpu.HL(), 0xF500);
        EXPECT_FALSE(m.files.Slot(0).IsOpen());
        // A write to the empty slot does nothing and still reports 0.
        m.bus.SetInputLatch(ChannelMachine::PRINTER_PORT, 0x77);
        EXPECT_EQ(Print(0, 0x5000, "lost"), 0);
    }
    EXPECT_EQ(Listing(root.Path()), std::set<std::string>{"plain"});
    EXPECT_EQ(Printed("plain"), "a file, not a folder");

    // A destination another slot holds cannot be opened twice.
    m.settings.printDestination = root.File("print.out");
    m.SetB(4);
    m.Printer(ChannelMachine::OPEN_WRITE);
    EXPECT_TRUE(m.files.Slot(4).IsOpen());
    m.SetB(5);
    EXPECT_EQ(m.Printer(ChannelMachine::OPEN_WRITE), 0);
    EXPECT_FALSE(m.files.Slot(5).IsOpen());
}

TEST_F(Printer, WriteErrorsOnAFullDeviceKeepTheStatus)
{
    // The printer software takes 0 as its only answer, so a device that is always full
    // changes nothing it can see; the write is attempted and nothing breaks. A node of our
    // own for the full device keeps other tests that lock /dev/full from getting in the way.
    const std::string full = root.File("full");
    m.settings.printDestination = ::mknod(full.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0 ? full : "/dev/full";
    m.SetB(6);
    EXPECT_EQ(m.Printer(ChannelMachine::OPEN_WRITE), 0);
    EXPECT_TRUE(m.files.Slot(6).IsOpen());
    m.bus.SetInputLatch(ChannelMachine::PRINTER_PORT, 0x77);
    EXPECT_EQ(Print(6, 0x5000, "into the void"), 0);
    EXPECT_EQ(m.files.Slot(6).Write("x", 1), -1);  // the device really is full
    m.SetB(6);
    m.Printer(ChannelMachine::CLOSE);
    EXPECT_FALSE(m.files.Slot(6).IsOpen());
}
