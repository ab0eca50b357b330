// SAVE, LOAD, LLIST and LPRINT of the interpreter core against an in-memory file store
// and printer that behave like the two device channels.
#include <gtest/gtest.h>

#include "ScriptedMachine.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<std::uint8_t> Padded(const std::string& s)
{
    std::vector<std::uint8_t> v = Bytes(s);
    v.resize((v.size() + 255) / 256 * 256, 0x1A);
    return v;
}

TEST(BasicFiles, SaveWritesPaddedTextThatLoadReadsBack)
{
    ScriptedMachine m;
    EXPECT_EQ(m.Lines("10 print \"Hi\";a$\n20 END\n5 REM first\nSAVE \"game\""), "Ready\n");
    EXPECT_EQ(m.files["GAME.BAS"], Padded("5 REM first\r\n10 PRINT \"Hi\";A$\r\n20 END\r\n"));
    // A program longer than one record fills whole records and pads only the last one.
    std::string listed, saved;
    for (int n = 100; n < 130; n++) {
        std::string line = std::to_string(n) + " PRINT \"LINE NUMBER " + std::to_string(n) + "\"";
        listed += line + "\n";
        saved += line + "\r\n";
    }
    m.Lines("NEW\n" + listed + "SAVE \"Long.txt\"");
    EXPECT_EQ(m.files["LONG.TXT"], Padded(saved));
    EXPECT_EQ(m.Lines("NEW\nLOAD \"LONG.TXT\"\nLIST"), "Ready\nReady\n" + listed + "Ready\n");
    EXPECT_FALSE(m.fileOpen);
}

TEST(BasicFiles, LoadReadsHostWrittenFiles)
{
    ScriptedMachine m;
    m.files["CRLF.BAS"] = Padded("10 PRINT \"A\"\r\n20 GOTO 40\r\n40 PRINT 2*3\r\n");
    m.files["UNIX.BAS"] = Bytes("30 print \"unix\"\n  10 a=5\n\n20 print a\n");
    m.files["NOEND.BAS"] = Bytes("10 PRINT 9");
    std::string big;
    for (int n = 1; n <= 40; n++)
        big += std::to_string(n * 10) + " REM " + std::string(20, 'x') + "\n";
    m.files["BIG.BAS"] = Bytes(big);
    EXPECT_EQ(m.Lines("LOAD \"CRLF\"\nRUN"), "Ready\nA\n 6\nReady\n");
    EXPECT_EQ(m.Lines("LOAD \"unix.bas\"\nLIST\nRUN"),
              "Ready\n10 A=5\n20 PRINT A\n30 PRINT \"unix\"\nReady\n 5\nunix\nReady\n");
    EXPECT_EQ(m.Lines("LOAD \"NOEND\"\nRUN"), "Ready\n 9\nReady\n");
    EXPECT_EQ(m.Lines("LOAD \"BIG\"\nLIST 400"),
              "Ready\n400 REM " + std::string(20, 'x') + "\nReady\n");
    EXPECT_FALSE(m.fileOpen);
}

TEST(BasicFiles, MissingFilesBadNamesAndAbsentDevicesAreErrors)
{
    ScriptedMachine m;
    EXPECT_EQ(m.Lines("LOAD \"NOPE\""), "File not found\nReady\n");
    for (const char* name :
         {"../X", "A/B", "", ".BAS", "NINECHARS", "A.LONG", "C:X", "A B", "X.Y.Z"})
        EXPECT_EQ(m.Lines(std::string("SAVE \"") + name + "\""), "Bad file name\nReady\n") << name;
    EXPECT_TRUE(m.files.empty());
    // Lines of a loaded file that are not program lines stop the load.
    m.files["TEXT.BAS"] = Bytes("10 PRINT 1\nhello\n");
    EXPECT_EQ(m.Lines("LOAD \"TEXT\""), "Syntax error\nReady\n");
    EXPECT_FALSE(m.fileOpen);
    m.dosPresent = m.printerPresent = false;
    EXPECT_EQ(m.Lines("SAVE \"X\"\nLLIST"), "No device\nReady\nNo device\nReady\n");
}

TEST(BasicFiles, PrinterGetsListingsAndPrintedText)
{
    ScriptedMachine m;
    const std::string program =
        "10 FOR I=1 TO 3\n20 LPRINT I;\"x\";\n30 NEXT:LPRINT\n40 LPRINT \"A\",\"B\"\n";
    EXPECT_EQ(m.Lines(program + "LLIST\nRUN"), "Ready\nReady\n");
    EXPECT_EQ(m.printer, "10 FOR I=1 TO 3\r\n20 LPRINT I;\"x\";\r\n30 NEXT:LPRINT\r\n"
                         "40 LPRINT \"A\",\"B\"\r\n 1x 2x 3x\r\nA         B\r\n");
    EXPECT_EQ(m.printJobs, 2);  // one job a command
    EXPECT_FALSE(m.printerOpen);
    m.printer.clear();
    m.Lines("A$=\"\":FOR I=1 TO 200:A$=A$+\"z\":NEXT:LPRINT A$");
    EXPECT_EQ(m.printer, std::string(200, 'z') + "\r\n");
}

}  // namespace
