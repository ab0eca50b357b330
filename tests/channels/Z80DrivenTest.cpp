// The channels driven as the device ROMs drive them: Z80 code that loads the registers and
// writes the command with an output instruction, then reads the status with an input
// instruction. The register reads and the HL write must happen inside the output instruction.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChannelMachine.h"
#include "TempFolder.h"

namespace {

struct Z80Driven : ::testing::Test {
    TempFolder root;
    ChannelMachine m;

    Z80Driven()
    {
        std::filesystem::create_directory(root.File("store"));
        m.settings.fileFolder = root.File("store") + "/";
        m.settings.printDestination = root.File("print.out");
    }

    void Load(std::uint16_t address, const std::vector<std::uint8_t>& code)
    {
        for (std::size_t i = 0; i < code.size(); ++i)
            m.memory.WriteByte(address + static_cast<std::uint32_t>(i), code[i]);
    }
    // Runs code at 0x8000 until it halts (the budget is far more than it needs).
    void Run(const std::vector<std::uint8_t>& code)
    {
        Load(0x8000, code);
        m.cpu.Reset();
        m.cpu.Regs().pc = 0x8000;
        m.cpu.Regs().sp = 0x7FF0;
        m.cpu.AddCycles(20000);
        m.cpu.Run(20000);
    }
    std::uint8_t At(std::uint16_t address) const { return m.memory.ReadByte(address); }
    std::uint16_t WordAt(std::uint16_t address) const { return m.memory.ReadWord(address); }
};

}  // namespace

TEST_F(Z80Driven, SavesAndLoadsARecordThroughPort255)
{
    m.PutName(0x9000, "SAVE    DAT");
    for (std::uint32_t i = 0; i < 256; ++i)
        m.memory.WriteByte(0xF700 + i, Pattern(i));
    m.Fill(0xA000, 16, 0xEE);

    Run({
        0x06, 0x02,              // LD B,2
        0x11, 0x00, 0x90,        // LD DE,0x9000
        0x21, 0x34, 0x12,        // LD HL,0x1234
        0x3E, 0x01,              // LD A,1          open for writing
        0xD3, 0xFF,              // OUT (0xFF),A
        0x06, 0x07,              // LD B,7          too late to change the slot
        0xDB, 0xFF,              // IN A,(0xFF)
        0x32, 0x00, 0xA0,        // LD (0xA000),A   status of the open
        0x22, 0x02, 0xA0,        // LD (0xA002),HL  the buffer handed out
        0x06, 0x02,              // LD B,2
        0x3E, 0x06,              // LD A,6          write the record at HL
        0xD3, 0xFF,              // OUT (0xFF),A
        0xDB, 0xFF,              // IN A,(0xFF)
        0x32, 0x01, 0xA0,        // LD (0xA001),A
        0x3E, 0x02,              // LD A,2          close
        0xD3, 0xFF,              // OUT (0xFF),A
        0x01, 0xFF, 0x03,        // LD BC,0x03FF    slot 3, port 0xFF in C
        0x3E, 0x00,              // LD A,0          open for reading
        0xED, 0x79,              // OUT (C),A
        0x22, 0x04, 0xA0,        // LD (0xA004),HL
        0xED, 0x78,              // IN A,(C)
        0x32, 0x06, 0xA0,        // LD (0xA006),A
        0x3E, 0x05,              // LD A,5          read a record to HL
        0xED, 0x79,              // OUT (C),A
        0xED, 0x78,              // IN A,(C)
        0x32, 0x07, 0xA0,        // LD (0xA007),A
        0x3E, 0x05,              // LD A,5          nothing left
        0xED, 0x79,              // OUT (C),A
        0xED, 0x78,              // IN A,(C)
        0x32, 0x08, 0xA0,        // LD (0xA008),A
        0x76,                    // HALT
    });

    EXPECT_EQ(At(0xA000), 0x00);
    EXPECT_EQ(WordAt(0xA002), 0xF700);
    EXPECT_EQ(At(0xA001), 0x00);
    EXPECT_EQ(root.Read("store/SAVE.DAT"), PatternBytes(256));
    EXPECT_EQ(WordAt(0xA004), 0xF800);
    EXPECT_EQ(At(0xA006), 0x00);
    EXPECT_EQ(At(0xA007), 0x00);
    EXPECT_EQ(At(0xA008), 0xFF);
    for (std::uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(m.memory.ReadByte(0xF800 + i), Pattern(i)) << i;
    EXPECT_EQ(m.bus.OutputLatch(255), 0x05);
}

TEST_F(Z80Driven, FailedOpenStillHandsOutTheBufferAndPrinterPrints)
{
    m.PutName(0x9000, "MISSING BIN");
    const std::string text = "\x7B" "bc\r\n";
    for (std::size_t i = 0; i < text.size(); ++i)
        m.memory.WriteByte(0xB000 + static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(text[i]));
    m.Fill(0xA000, 16, 0xEE);

    Run({
        0x06, 0x05,              // LD B,5
        0x11, 0x00, 0x90,        // LD DE,0x9000
        0x3E, 0x00,              // LD A,0          open a file that is not there
        0xD3, 0xFF,              // OUT (0xFF),A
        0xDB, 0xFF,              // IN A,(0xFF)
        0x32, 0x00, 0xA0,        // LD (0xA000),A
        0x22, 0x02, 0xA0,        // LD (0xA002),HL
        0x06, 0xC8,              // LD B,200        slot 0
        0x3E, 0x01,              // LD A,1          open the printer
        0xD3, 0xFE,              // OUT (0xFE),A
        0x22, 0x04, 0xA0,        // LD (0xA004),HL
        0x21, 0x00, 0xB0,        // LD HL,0xB000
        0x0E, 0x05,              // LD C,5
        0x3E, 0x04,              // LD A,4          print C bytes from HL
        0xD3, 0xFE,              // OUT (0xFE),A
        0x0E, 0x00,              // LD C,0          too late to change the count
        0xDB, 0xFE,              // IN A,(0xFE)
        0x32, 0x06, 0xA0,        // LD (0xA006),A
        0x3E, 0x09,              // LD A,9          not a command
        0xD3, 0xFE,              // OUT (0xFE),A
        0x3E, 0x02,              // LD A,2          close
        0xD3, 0xFE,              // OUT (0xFE),A
        0x76,                    // HALT
    });

    EXPECT_EQ(At(0xA000), 0xFF);
    EXPECT_EQ(WordAt(0xA002), 0xFA00);
    EXPECT_EQ(WordAt(0xA004), 0xF500);
    EXPECT_EQ(At(0xA006), 0x00);
    EXPECT_EQ(m.bus.OutputLatch(254), 0x02);
    EXPECT_FALSE(m.files.Slot(0).IsOpen());
    EXPECT_EQ(root.Read("print.out"), (std::vector<std::uint8_t>{0xE4, 'b', 'c', '\r', '\n'}));
}
