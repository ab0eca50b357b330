// The channels driven as the device ROMs drive them: Z80 code loads the registers, writes the
// command with an output instruction and reads the status with an input instruction. The
// register reads and the HL write must happen inside the output instruction, so registers
// changed between OUT and IN must not matter.
#include <gtest/gtest.h>

#include "ChannelMachine.h"

TEST_F(Channels, Z80CodeSavesLoadsAndPrintsThroughThePorts)
{
    Put(0x9000, "SAVE    DAT");
    Put(0x9010, "MISSING BIN");
    Put(0xB000, "\x7B" "bc\r\n");
    Put(0xF700, PatternBytes(256));
    Put(0xA000, Bytes(16, 0xEE));
    Put(0x8000, Bytes{
        0x06, 0x02, 0x11, 0x00, 0x90, 0x21, 0x34, 0x12,  // LD B,2; LD DE,0x9000; LD HL,0x1234
        0x3E, 0x01, 0xD3, 0xFF, 0x06, 0x07,              // LD A,1; OUT (0xFF),A  open for writing; LD B,7
        0xDB, 0xFF, 0x32, 0x00, 0xA0,                    // IN A,(0xFF); LD (0xA000),A
        0x22, 0x02, 0xA0, 0x06, 0x02,                    // LD (0xA002),HL  the buffer; LD B,2
        0x3E, 0x06, 0xD3, 0xFF,                          // LD A,6; OUT (0xFF),A  write the record at HL
        0xDB, 0xFF, 0x32, 0x01, 0xA0,                    // IN A,(0xFF); LD (0xA001),A
        0x3E, 0x02, 0xD3, 0xFF,                          // LD A,2; OUT (0xFF),A  close
        0x01, 0xFF, 0x03, 0x3E, 0x00, 0xED, 0x79,        // LD BC,0x03FF; LD A,0; OUT (C),A  open slot 3 for reading
        0x22, 0x04, 0xA0, 0xED, 0x78, 0x32, 0x06, 0xA0,  // LD (0xA004),HL; IN A,(C); LD (0xA006),A
        0x3E, 0x05, 0xED, 0x79, 0xED, 0x78,              // LD A,5; OUT (C),A  read a record to HL; IN A,(C)
        0x32, 0x07, 0xA0,                                // LD (0xA007),A
        0x06, 0x05, 0x11, 0x10, 0x90, 0x3E, 0x00,        // LD B,5; LD DE,0x9010; LD A,0
        0xD3, 0xFF, 0xDB, 0xFF, 0x32, 0x08, 0xA0,        // OUT (0xFF),A  open a missing file; IN A,(0xFF); LD (0xA008),A
        0x22, 0x0A, 0xA0,                                // LD (0xA00A),HL
        0x06, 0xC8, 0x3E, 0x01, 0xD3, 0xFE,              // LD B,200; LD A,1; OUT (0xFE),A  open the printer on slot 0
        0x22, 0x0C, 0xA0,                                // LD (0xA00C),HL
        0x21, 0x00, 0xB0, 0x0E, 0x05, 0x3E, 0x04,        // LD HL,0xB000; LD C,5; LD A,4
        0xD3, 0xFE, 0x0E, 0x00,                          // OUT (0xFE),A  print C bytes from HL; LD C,0
        0xDB, 0xFE, 0x32, 0x0E, 0xA0,                    // IN A,(0xFE); LD (0xA00E),A
        0x3E, 0x09, 0xD3, 0xFE, 0x3E, 0x02, 0xD3, 0xFE,  // LD A,9; OUT (0xFE),A  not a command; LD A,2; OUT (0xFE),A
        0x76,                                            // HALT
    });
    cpu.Reset();
    cpu.Regs().pc = 0x8000;
    cpu.Regs().sp = 0x7FF0;
    cpu.AddCycles(20000);
    cpu.Run(20000);

    EXPECT_EQ(memory.ReadWord(0xA002), 0xF700);
    EXPECT_EQ(memory.ReadWord(0xA004), 0xF800);
    EXPECT_EQ(memory.ReadWord(0xA00A), 0xFA00);  // handed out by the open that failed
    EXPECT_EQ(memory.ReadWord(0xA00C), 0xF500);
    EXPECT_EQ(Memory(0xA000, 2), (Bytes{OK, OK}));
    EXPECT_EQ(Memory(0xA006, 3), (Bytes{OK, OK, FAILED}));
    EXPECT_EQ(memory.ReadByte(0xA00E), OK);
    EXPECT_EQ(root.Read("store/SAVE.DAT"), PatternBytes(256));
    EXPECT_EQ(Memory(0xF800, 256), PatternBytes(256));
    EXPECT_EQ(Text("print.out"), "\xE4" "bc\r\n");
    EXPECT_EQ(bus.OutputLatch(254), 0x02);
    EXPECT_EQ(bus.OutputLatch(255), 0x00);
    EXPECT_FALSE(files.Slot(0).IsOpen());
    EXPECT_TRUE(files.Slot(3).IsOpen());
}
