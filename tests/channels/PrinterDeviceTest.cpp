#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "ChannelMachine.h"

using PrinterChannel = Channels;

TEST_F(PrinterChannel, AppendKeepsEarlierJobsAndReplaceDropsThem)
{
    root.WriteText("print.out", "old\r\n");
    // Each job opens, prints and closes; the append setting is read at the moment of the open.
    const struct {
        int append;
        std::string job, printed;
    } jobs[] = {
        {1, "first\r\n", "old\r\nfirst\r\n"}, {1, "second\r\n", "old\r\nfirst\r\nsecond\r\n"},
        {0, "third\r\n", "third\r\n"}, {0, "fourth\r\n", "fourth\r\n"},
        {0, "", ""},  // replacing empties the file even when nothing is printed
        {7, "a", "a"}, {7, "b", "ab"},  // any nonzero value appends
    };
    for (const auto& j : jobs) {
        settings.printAppend = j.append;
        Regs(1, 0, 0, 0);
        EXPECT_EQ(Printer(OPEN_WRITE), OK);
        EXPECT_EQ(Print(1, j.job), OK);
        Printer(CLOSE);
        EXPECT_EQ(Text("print.out"), j.printed) << j.job;
    }
}

TEST_F(PrinterChannel, WriteBytesTranslatesAsSetAtEachWriteAndLeavesTheRegistersAlone)
{
    Regs(3, 0, 0, 0);
    ASSERT_EQ(Printer(OPEN_WRITE), OK);
    EXPECT_EQ(cpu.HL(), 0xF800);
    const std::string national = "\x40\x5B\x5C\x5D\x5E\x60\x7B\x7C\x7D\x7E", control("\r\n\0\x1B\x7F\x80\xFF", 7);
    EXPECT_EQ(Print(3, national + "A"), OK);
    settings.printTranslate = 0;
    EXPECT_EQ(Print(3, national + control), OK);
    settings.printTranslate = 1;
    EXPECT_EQ(Print(3, control), OK);  // control and high bytes go as they are either way
    bus.SetInputLatch(PRINTER_PORT, 0x77);
    EXPECT_EQ(Print(3, ""), OK);  // C = 0 writes nothing but still reports

    // 255 bytes, the largest count, running over the top of memory.
    std::string digits;
    for (int i = 0; i < 255; ++i)
        digits.push_back(static_cast<char>('0' + i % 10));
    Put(0xFF80, digits);
    Regs(3, 255, 0x1111, 0xFF80);
    EXPECT_EQ(Printer(WRITE_BYTES), OK);
    EXPECT_EQ(cpu.Regs().bc, 0x03FF);
    EXPECT_EQ(cpu.DE(), 0x1111);
    EXPECT_EQ(cpu.HL(), 0xFF80);
    Printer(CLOSE);
    EXPECT_EQ(Text("print.out"), "\xC9\xC4\xD6\xC5\xDC\xE9\xE4\xF6\xE5\xFC" "A" + national + control + control + digits);
}

TEST_F(PrinterChannel, UnusableOrFullDestinationsStillReportZero)
{
    root.WriteText("plain", "a file, not a folder");
    // A zero byte would make the system open "out" instead of the path given.
    for (const std::string& destination :
         {std::string(), root.File("plain") + "/print.out", root.File("missing/print.out"), root.Path().string(),
          root.File("out") + std::string(1, '\0') + ".txt"}) {
        settings.printDestination = destination;
        bus.SetInputLatch(PRINTER_PORT, 0x77);
        Regs(200, 0, 0, 0x1234);
        EXPECT_EQ(Printer(OPEN_WRITE), OK) << destination;
        EXPECT_EQ(cpu.HL(), 0xF500);
        EXPECT_FALSE(files.Slot(0).IsOpen());
        bus.SetInputLatch(PRINTER_PORT, 0x77);
        EXPECT_EQ(Print(0, "lost"), OK);  // the empty slot takes nothing and still reports 0
    }
    EXPECT_EQ(Listing(root.Path()), (std::set<std::string>{"plain", "store"}));
    EXPECT_EQ(Text("plain"), "a file, not a folder");

    // A device that is always full: the write is tried, nothing breaks, the status stays 0.
    // A node of our own keeps tests that lock /dev/full elsewhere from getting in the way.
    const std::string full = root.File("full");
    settings.printDestination = ::mknod(full.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0 ? full : "/dev/full";
    Regs(6, 0, 0, 0);
    EXPECT_EQ(Printer(OPEN_WRITE), OK);
    EXPECT_TRUE(files.Slot(6).IsOpen());
    bus.SetInputLatch(PRINTER_PORT, 0x77);
    EXPECT_EQ(Print(6, "into the void"), OK);
    EXPECT_EQ(files.Slot(6).Write("x", 1), -1);  // the device really is full
}
