// Files: SAVE, LOAD, MERGE and RUN "name" as host text, the data files, the printer and the
// file errors, typed into the machine with a file store and a printer file in the session's
// temporary folder, and checked by the screen and the bytes of the host files.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <fstream>

#include "BasicSession.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

void Put(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A file as the machine writes it: whole 256-byte records, the last one padded with blanks.
std::string Padded(std::string text)
{
    text.resize((text.size() + 255) / 256 * 256, ' ');
    return text;
}

// A session whose file store is "store/" and whose printer file is "printer.txt" in its
// temporary folder.
class FilesRig {
public:
    FilesRig() : store(basic.Machine().Folder() / "store"), printer(basic.Machine().Folder() / "printer.txt")
    {
        fs::create_directory(store);
        Settings& config = basic.Machine().App().Config();
        config.fileFolder = store.string() + "/";
        config.printDestination = printer.string();
        config.printTranslate = 0;
    }

    // Each line typed on a cleared screen; the rows that appeared after it, all lines'
    // together.
    Lines Typed(const std::string& text)
    {
        Lines all;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            basic.Enter("cls");
            basic.Enter(text.substr(start, end - start));
            const Lines out = basic.Output();
            all.insert(all.end(), out.begin(), out.end());
            start = end + 1;
        }
        return all;
    }

    std::string Stored(const std::string& name) const { return ReadFile(store / name); }
    void Store(const std::string& name, const std::string& bytes) const { Put(store / name, bytes); }

    BasicSession basic;
    fs::path store;
    fs::path printer;
};

struct Case {
    std::string typed;
    Lines expected;
};

void CheckAll(FilesRig& rig, const std::vector<Case>& cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(rig.Typed(c.typed), c.expected) << c.typed;
}

// 247 x: with `50 A$="` and the closing quote a line of 255 characters.
const std::string LONG(247, 'x');

}  // namespace

// SAVE writes LIST's text with CR LF and UTF-8 letters, '^' and '\' as the operators in
// code; LOAD, MERGE and RUN "name" take it back.
TEST(BasicFiles, ProgramsRoundTripAsHostText)
{
    FilesRig rig;
    rig.basic.Enter("10 rem Åke \"^\" ü\n20 print \"Ärlig^\\\";2^3;7\\2\n30 read a$,b$:print a$;b$\n"
                    "40 data é,\"ö^\"\n50 a$=\"" + LONG + "\"\n60 print len(a$)");
    const std::string saved = "10 REM Åke \"Ü\" ü\r\n20 PRINT \"ÄrligÜÖ\";2^3;7\\2\r\n30 READ A$,B$:PRINT A$;B$\r\n"
                              "40 DATA é,\"öÜ\"\r\n50 A$=\"" + LONG + "\"\r\n60 PRINT LEN(A$)\r\n";
    const Lines listed = {"10 REM Åke \"Ü\" ü", "20 PRINT \"ÄrligÜÖ\";2Ü3;7Ö2", "30 READ A$,B$:PRINT A$;B$",
                          "40 DATA é,\"öÜ\"", "50 A$=\"" + LONG.substr(0, 33), LONG.substr(33, 40),
                          LONG.substr(73, 40), LONG.substr(113, 40), LONG.substr(153, 40), LONG.substr(193, 40),
                          LONG.substr(233) + "\"", "60 PRINT LEN(A$)", "Ready"};
    rig.Store("MORE.BAS", "15 PRINT \"merged\"\r\n60 PRINT \"replaced\"\r\n");
    CheckAll(rig, {
        {"save \"prog\"", {"Ready"}},
        {"new\nload \"prog\"", {"Ready", "Ready"}},
        {"list", listed},
        {"run", {"ÄrligÜÖ 8  3", "éöÜ", " 247", "Ready"}},
        {"merge \"more\"", {"Ready"}},
        {"list 15", {"15 PRINT \"merged\"", "Ready"}},
        {"run \"prog\"", {"ÄrligÜÖ 8  3", "éöÜ", " 247", "Ready"}},
        {"save \"prog.txt\"\nlist 15", {"Ready", "Ready"}},
    });
    EXPECT_EQ(rig.Stored("PROG.BAS"), Padded(saved));
    EXPECT_EQ(rig.Stored("PROG.TXT"), Padded(saved));
}

// Text from host editors: LF, CR LF and CR line ends, UTF-8, tabs, trailing blanks, no
// final line end, the old 0x1A padding. A line LOAD cannot take is reported with its
// number, or its place in the file when it has none, and the rest loads.
TEST(BasicFiles, HostTextLoads)
{
    FilesRig rig;
    const std::string tooLong = "30 PRINT \"" + std::string(300, 'y') + "\"";
    const std::vector<std::pair<std::string, Lines>> files = {
        {"10 PRINT \"häj\"\r\n20 A=2^3:PRINT A\r\n", {"häj", " 8"}},
        {"10 PRINT 1\n\n20 PRINT \"lf\"\n", {" 1", "lf"}},
        {"10 PRINT \"cr\"\r20 PRINT 2\r", {"cr", " 2"}},
        {"\t10 PRINT \"tab\"   \n  20 PRINT \"ÉéÜü\"", {"tab", "ÉéÜü"}},
        {"10 PRINT \"old\"\r\n" + std::string(240, '\x1A'), {"old"}},
        {"10 PRINT \"“q”\"\n", {"?q?"}},
    };
    for (const auto& [text, run] : files) {
        rig.Store("HOST.BAS", text);
        Lines expected = run;
        expected.push_back("Ready");
        EXPECT_EQ(rig.Typed("load \"host\""), Lines{"Ready"}) << text;
        EXPECT_EQ(rig.Typed("run"), expected) << text;
    }
    rig.Store("BAD.BAS", "10 PRINT \"first\"\r\nPRINT 5\r\n" + tooLong + "\r\n40 A=&H12345\r\n50 PRINT \"last\"\r\n");
    CheckAll(rig, {
        {"load \"bad\"", {"Syntax error in file line 2", "Line buffer overflow in 30", "Overflow in 40", "Ready"}},
        {"list", {"10 PRINT \"first\"", "50 PRINT \"last\"", "Ready"}},
        {"load \"none\"", {"File not found", "Ready"}},
        {"list", {"10 PRINT \"first\"", "50 PRINT \"last\"", "Ready"}},
    });
}

// PRINT #, INPUT #, LINE INPUT #, GET #, EOF and APPEND, with commas, quotes, national
// letters and runs of blanks across the records.
TEST(BasicFiles, DataFilesRoundTrip)
{
    FilesRig rig;
    rig.basic.Enter("10 open \"data.txt\" for output as #1\n"
                    "20 print #1, chr$(34);\"Åke, Öberg\";chr$(34);\",\";-1.5\n"
                    "30 print #1, \"He said \";chr$(34);\"ü\";chr$(34)\n"
                    "40 print #1, 1;2,3: print #1\n"
                    "50 close #1\n"
                    "60 open \"data.txt\" for input as #2\n"
                    "70 input #2, n$, x\n"
                    "80 line input #2, l$\n"
                    "90 print n$;\"/\";x;\"/\";l$\n"
                    "100 while not eof(2): line input #2, l$: print \"<\";l$;\">\": wend\n"
                    "110 close");
    const std::string written = "\"Åke, Öberg\",-1.5 \r\nHe said \"ü\"\r\n 1  2      3 \r\n\r\n";
    CheckAll(rig, {
        {"run", {"Åke, Öberg/-1.5 /He said \"ü\"", "< 1  2      3 >", "<>", "Ready"}},
        {"open \"data.txt\" for append as 3:print #3, \"tail\";:print #3, 9:close 3", {"Ready"}},
        {"open \"new.txt\" for append as 2:print #2, \"new\":close", {"Ready"}},
    });
    EXPECT_EQ(rig.Stored("DATA.TXT"), Padded(written + "tail 9 \r\n"));
    EXPECT_EQ(rig.Stored("NEW.TXT"), Padded("new\r\n"));

    // 600 blanks after the first line: EOF looks two records ahead and the blanks still
    // come, one by one; the padding after the last line is no data.
    rig.Store("HOST.TXT", "no end\r\n" + std::string(1000, 'z') + "\r\nlast");
    CheckAll(rig, {
        {"new\n10 open \"b.txt\" for output as 1: print #1, \"abc\"\n"
         "20 print #1, string$(200,\" \");string$(200,\" \");string$(200,\" \");\"w\": close\n"
         "30 open \"b.txt\" for input as 1: line input #1, a$: print a$;eof(1)\n"
         "40 n=0: get #1, c$: while c$=\" \": n=n+1: get #1, c$: wend: print n;c$;eof(1)\n"
         "50 line input #1, a$: print len(a$);eof(1)\n"
         "60 open \"host.txt\" for append as 2: print #2, \"more\": close 2\n"
         "70 open \"host.txt\" for input as 2\n"
         "80 while not eof(2): line input #2, a$: print len(a$);left$(a$,4);: wend\n"
         "run",
         {"Ready", "abc 0", " 600 w 0", " 0 -1", " 6 no e 255 zzzz 8 last", "Ready"}},
    });
    EXPECT_EQ(rig.Stored("HOST.TXT"), Padded("no end\r\n" + std::string(1000, 'z') + "\r\nlastmore\r\n"));
}

// Each file error, in direct mode and with the line number in a program.
TEST(BasicFiles, Errors)
{
    FilesRig rig;
    CheckAll(rig, {
        {"open \"none\" for input as 1", {"File not found", "Ready"}},
        {"load \"none\"\nmerge \"none.txt\"\nrun \"none\"", {"File not found", "Ready", "File not found", "Ready",
                                                              "File not found", "Ready"}},
        {"print #0, 1\nprint #5, 1\nprint #2, 1\nclose #9\nprint eof(3)\nget #1, a$",
         {"Bad file number", "Ready", "Bad file number", "Ready", "Bad file number", "Ready", "Bad file number",
          "Ready", "Bad file number", "Ready", "Bad file number", "Ready"}},
        {"open \"e.txt\" for output as 1\nopen \"f.txt\" for input as #1", {"Ready", "File already open", "Ready"}},
        {"input #1, a\nline input #1, a$\nprint eof(1)\nclose 1",
         {"Bad file mode", "Ready", "Bad file mode", "Ready", "Bad file mode", "Ready", "Ready"}},
        {"open \"e.txt\" for input as 1\nprint #1, 5\ninput #1, a$\nline input #1, a$\nget #1, a$\nclose",
         {"Ready", "Bad file mode", "Ready", "Input past end", "Ready", "Input past end", "Ready",
          "Input past end", "Ready", "Ready"}},
        {"open \"x\" for random as 1\nopen 5 for input as 1", {"Syntax error", "Ready", "Type mismatch", "Ready"}},
        {"10 open \"g.txt\" for output as 3\n20 print #4, 1\nrun\nclose", {"Bad file number in 20", "Ready", "Ready"}},
    });
    EXPECT_EQ(rig.Stored("E.TXT"), "");

    // APPEND keeps the old contents in free memory: too many for it, and the file stays as
    // it was, closed.
    const std::string big(30000, 'b');
    rig.Store("BIG.TXT", big);
    CheckAll(rig, {{"open \"big.txt\" for append as 1\nopen \"big.txt\" for input as 1:close",
                    {"Out of memory", "Ready", "Ready"}}});
    EXPECT_EQ(rig.Stored("BIG.TXT"), big);

    // Names: 8+3 of letters, digits, _ and -, ".BAS" for programs without an extension.
    rig.basic.Enter("new\n10 rem");
    const std::pair<const char*, const char*> good[] = {
        {"game", "GAME.BAS"}, {"a_b-1.txt", "A_B-1.TXT"}, {"12345678.abc", "12345678.ABC"}, {"bare.", "BARE"}};
    for (const auto& [name, host] : good) {
        EXPECT_EQ(rig.Typed(std::string("save \"") + name + "\""), Lines{"Ready"}) << name;
        EXPECT_EQ(rig.Stored(host), Padded("10 REM\r\n")) << name;
    }
    const auto count = std::distance(fs::directory_iterator(rig.store), {});
    for (const char* name : {"", ".bas", "123456789", "a.abcd", "../x", "a/b", "a b", "a.b.c", "ä", "a*", "x.."})
        EXPECT_EQ(rig.Typed(std::string("save \"") + name + "\""), (Lines{"Bad file name", "Ready"})) << name;
    EXPECT_EQ(rig.Typed("open \"a:b\" for output as 1"), (Lines{"Bad file name", "Ready"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(rig.store), {}), count);

    // A folder that is not there: nothing can be made.
    rig.basic.Machine().App().Config().fileFolder = (rig.store / "missing").string() + "/";
    CheckAll(rig, {{"save \"x\"\nopen \"x\" for output as 1", {"File error", "Ready", "File error", "Ready"}}});

    // A device ROM whose entry is no jump is no device.
    CheckAll(rig, {{"poke &h6003,0:save \"x\"\npoke &h6003,&hc3:poke &h7800,0:lprint 1\nllist\npoke &h7800,&hc3",
                    {"No device", "Ready", "No device", "Ready", "No device", "Ready", "Ready"}}});
}

// LLIST and LPRINT: the job opens at the first use in a command and is in the file when
// the command, or the program it ran, has ended.
TEST(BasicFiles, Printer)
{
    FilesRig rig;
    rig.basic.Enter("10 rem ä^\n20 for i=1 to 3: lprint i;: next: lprint\n30 lprint \"a\";tab(8);\"ö\",\"z\"\n40 a=2^3");
    CheckAll(rig, {{"llist 20-30", {"Ready"}}});
    const std::string listing = "20 FOR I=1 TO 3: LPRINT I;: NEXT: LPRINT\r\n30 LPRINT \"a\";TAB(8);\"ö\",\"z\"\r\n";
    EXPECT_EQ(ReadFile(rig.printer), listing);
    CheckAll(rig, {{"run", {"Ready"}}, {"lprint 2^3;\"^\":llist 10\nllist 40", {"Ready", "Ready"}}});
    EXPECT_EQ(ReadFile(rig.printer), listing + " 1  2  3 \r\na       ö z\r\n 8 Ü\r\n10 REM äÜ\r\n40 A=2^3\r\n");
}

// A record the file store cannot write is a "File error", and the file is closed: on a
// full disk (/dev/full) and under a file-size limit, for SAVE and for a data file.
TEST(BasicFiles, WriteFailureIsFileError)
{
    FilesRig rig;
    std::string program;
    for (int n = 1; n <= 40; ++n)
        program += std::to_string(n * 10) + " REM a line of the program that fills records\r\n";
    rig.Store("BIG.BAS", program);
    EXPECT_EQ(rig.Typed("load \"big\""), Lines{"Ready"});

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const Lines saved = rig.Typed("save \"big\"");
    const Lines printed = rig.Typed("open \"d\" for output as 1:for i=1 to 200:print #1, i:next\nprint #1, 1");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(saved, (Lines{"File error", "Ready"}));
    EXPECT_EQ(printed, (Lines{"File error", "Ready", "Bad file number", "Ready"}));
    // The files were closed: the same names open again.
    EXPECT_EQ(rig.Typed("save \"big\"\nopen \"d\" for output as 1:close"), (Lines{"Ready", "Ready"}));
    EXPECT_EQ(rig.Stored("BIG.BAS"), Padded(program));

    if (fs::exists("/dev/full")) {
        rig.basic.Machine().App().Config().fileFolder = "/dev/";
        EXPECT_EQ(rig.Typed("save \"full.\""), (Lines{"File error", "Ready"}));
    }
}
