// SAVE, LOAD, LLIST and LPRINT of the interpreter core against an in-memory file store
// and printer that behave like the two device channels.
#include <gtest/gtest.h>

#include "ScriptedMachine.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<std::uint8_t> Padded(const std::string& s)
{
    std::vector<std::uint8_t> v = Bytes(s);
    while (v.size() % 256)
        v.push_back(0x1A);
    return v;
}

TEST(BasicFiles, SaveWritesPlainTextInPaddedRecords)
{
    ScriptedMachine m;
    m.Lines({"10 print \"Hi\";a$", "20 END", "5 REM first"});
    EXPECT_EQ(m.Line("SAVE \"game\""), "Ready\n");
    ASSERT_TRUE(m.files.count("GAME.BAS"));
    EXPECT_EQ(m.files["GAME.BAS"], Padded("5 REM first\r\n10 PRINT \"Hi\";A$\r\n20 END\r\n"));
    EXPECT_FALSE(m.fileOpen);

    // A program longer than one record fills whole records and pads only the last one.
    std::string expected;
    m.Line("NEW");
    for (int n = 100; n < 130; n++) {
        std::string line = std::to_string(n) + " PRINT \"LINE NUMBER " + std::to_string(n) + "\"";
        m.Line(line);
        expected += line + "\r\n";
    }
    m.Line("SAVE \"Long.txt\"");
    EXPECT_EQ(m.files["LONG.TXT"], Padded(expected));
    EXPECT_EQ(m.files["LONG.TXT"].size() % 256, 0u);
}

TEST(BasicFiles, LoadReadsSavedAndHostWrittenFiles)
{
    ScriptedMachine m;
    m.files["CRLF.BAS"] = Padded("10 PRINT \"A\"\r\n20 GOTO 40\r\n40 PRINT 2*3\r\n");
    m.files["UNIX.BAS"] = Bytes("30 print \"unix\"\n  10 a=5\n\n20 print a\n");
    m.files["NOEND.BAS"] = Bytes("10 PRINT 9");
    std::string big;
    for (int n = 1; n <= 40; n++)
        big += std::to_string(n * 10) + " REM " + std::string(20, 'x') + "\n";
    m.files["BIG.BAS"] = Bytes(big);

    EXPECT_EQ(m.Line("LOAD \"CRLF\""), "Ready\n");
    EXPECT_EQ(m.Line("RUN"), "A\n 6\nReady\n");
    EXPECT_EQ(m.Line("LOAD \"unix.bas\""), "Ready\n");
    EXPECT_EQ(m.Line("LIST"), "10 A=5\n20 PRINT A\n30 PRINT \"unix\"\nReady\n");
    EXPECT_EQ(m.Line("RUN"), " 5\nunix\nReady\n");
    m.Line("LOAD \"NOEND\"");
    EXPECT_EQ(m.Line("RUN"), " 9\nReady\n");
    m.Line("LOAD \"BIG\"");
    EXPECT_EQ(m.Line("LIST 400"), "400 REM " + std::string(20, 'x') + "\nReady\n");
    EXPECT_FALSE(m.fileOpen);

    // What SAVE writes, LOAD reads back unchanged.
    m.Line("SAVE \"COPY\"");
    std::string listed = m.Line("LIST");
    m.Line("NEW");
    m.Line("LOAD \"COPY\"");
    EXPECT_EQ(m.Line("LIST"), listed);
}

TEST(BasicFiles, MissingFilesAndBadNamesAreErrors)
{
    ScriptedMachine m;
    m.Line("10 PRINT 1");
    EXPECT_EQ(m.Line("LOAD \"NOPE\""), "File not found\nReady\n");
    EXPECT_FALSE(m.fileOpen);
    for (const char* name : {"../X", "A/B", "", ".BAS", "NINECHARS", "A.LONG", "C:X", "A B",
                             "X.Y.Z"}) {
        EXPECT_EQ(m.Line(std::string("SAVE \"") + name + "\""), "Bad file name\nReady\n")
            << name;
    }
    EXPECT_TRUE(m.files.empty());
    EXPECT_EQ(m.Line("SAVE 5"), "Type mismatch\nReady\n");
    // A failing file in a running program names the line and leaves the program alone.
    m.Line("20 LOAD \"GONE\"");
    EXPECT_EQ(m.Line("RUN"), " 1\nFile not found in 20\nReady\n");
    EXPECT_EQ(m.Line("LIST"), "10 PRINT 1\n20 LOAD \"GONE\"\nReady\n");
    // Lines of a loaded file that are not program lines stop the load.
    m.files["TEXT.BAS"] = Bytes("10 PRINT 1\nhello\n");
    EXPECT_EQ(m.Line("LOAD \"TEXT\""), "Syntax error\nReady\n");
    EXPECT_FALSE(m.fileOpen);
    m.dosPresent = false;
    EXPECT_EQ(m.Line("SAVE \"X\""), "No device\nReady\n");
}

TEST(BasicFiles, PrinterGetsListingsAndPrintedText)
{
    ScriptedMachine m;
    m.Lines({"10 FOR I=1 TO 3", "20 LPRINT I;\"x\";", "30 NEXT:LPRINT", "40 LPRINT \"A\",\"B\""});
    EXPECT_EQ(m.Line("LLIST"), "Ready\n");
    EXPECT_EQ(m.printer,
              "10 FOR I=1 TO 3\r\n20 LPRINT I;\"x\";\r\n30 NEXT:LPRINT\r\n40 LPRINT \"A\",\"B\"\r\n");
    EXPECT_FALSE(m.printerOpen);
    m.printer.clear();
    EXPECT_EQ(m.Line("RUN"), "Ready\n");
    EXPECT_EQ(m.printer, " 1x 2x 3x\r\nA         B\r\n");
    EXPECT_EQ(m.printJobs, 2);  // one job a command
    m.printer.clear();
    m.Line("A$=\"\":FOR I=1 TO 200:A$=A$+\"z\":NEXT:LPRINT A$");
    EXPECT_EQ(m.printer, std::string(200, 'z') + "\r\n");
    m.printerPresent = false;
    EXPECT_EQ(m.Line("LLIST"), "No device\nReady\n");
}

}  // namespace
