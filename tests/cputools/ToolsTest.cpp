// The vector runner and the CP/M-style runner, run as programs on files in a temp folder.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CpmPrograms.h"
#include "TempFolder.h"

namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Result RunTool(const TempFolder& folder, const std::string& command)
{
    Result result;
    const std::string line = command + " > " + folder.File("out.txt") + " 2> " + folder.File("err.txt");
    const int raw = std::system(line.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadText(folder.File("out.txt"));
    result.err = ReadText(folder.File("err.txt"));
    return result;
}

std::string LastLine(const std::string& text)
{
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n')
        trimmed.pop_back();
    const std::size_t cut = trimmed.rfind('\n');
    return cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
}

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

const char* REGS_BEFORE = "pc=0100 sp=8000 a=00 f=28 b=00 c=00 d=00 e=00 h=00 l=00 i=00 ix=0000 iy=0000 "
                          "af_=0000 bc_=0000 de_=0000 hl_=0000 im=00 iff1=00 iff2=00";

// One test: LD A,n then the expected record lines given.
std::string Vector(const std::string& name, const std::string& bytes, const std::string& expected)
{
    return "T " + name + "\nI " + REGS_BEFORE + "\nM " + bytes + "\n" + expected;
}

TEST(VectorRunner, PassesGoodVectorsAndNamesTheFieldsThatDiffer)
{
    TempFolder folder;
    std::string file = "# handmade\n";
    // LD A,42h: right on every count; wildcards and a flag mask.
    file += Vector("ld a good", "0100=3e 0101=42",
                   "E pc=0102 sp=8000 a=42 f=28/ff b=00 c=00 d=00 e=00 h=* l=00 i=00 ix=0000 iy=0000 af_=0000 "
                   "bc_=0000 de_=0000 hl_=0000 im=00 iff1=00 iff2=00\nR 0100=3e 0101=42\nC 7\n");
    // The same with a wrong A, a wrong cycle count and a memory byte that is not written.
    file += Vector("ld a wrong", "0100=3e 0101=42",
                   "E pc=0102 a=43 f=00/d7\nR 0100=3e 0101=42 0200=55\nC 4\n");
    // OUT (7),A expected to write 43 to port 7; it writes 00.
    file += Vector("out wrong", "0100=d3 0101=07",
                   "E pc=0102 a=00\nR 0100=d3 0101=07\nW 07=43\nC 11\n");
    // LD (HL),99h writes at 0000 (HL is 0), which the vector does not list.
    file += Vector("stray write", "0100=36 0101=99", "E pc=0102\nR 0100=36 0101=99\nC 10\n");
    // IN A,(9) with the port value given.
    file += Vector("in good", "0100=db 0101=09", "P 09=a5\nE pc=0102 a=a5 f=28\nR 0100=db 0101=09\nC 11\n");
    folder.WriteText("mixed.txt", file);

    const Result result = RunTool(folder, std::string(Z80_VECTORS_TOOL) + " mixed.txt");
    EXPECT_NE(result.status, 0);
    EXPECT_EQ(LastLine(result.out), "2 passed, 3 failed");
    EXPECT_EQ(Count(result.out, "FAIL "), 3);
    EXPECT_NE(result.out.find("FAIL ld a wrong"), std::string::npos);
    EXPECT_NE(result.out.find("a: expected 43, got 42"), std::string::npos);
    EXPECT_NE(result.out.find("cycles: expected 4, got 7"), std::string::npos);
    EXPECT_NE(result.out.find("memory 0200: expected 55, got 00"), std::string::npos);
    EXPECT_NE(result.out.find("FAIL out wrong"), std::string::npos);
    EXPECT_NE(result.out.find("port writes: expected 07=43, got 07=00"), std::string::npos);
    EXPECT_NE(result.out.find("FAIL stray write\n  memory 0000: unexpected write of 99"), std::string::npos);
    EXPECT_EQ(result.out.find("ld a good"), std::string::npos);
    EXPECT_EQ(result.out.find("FAIL in good"), std::string::npos);

    // Without the failing tests the same file passes.
    folder.WriteText("good.txt", Vector("ld a good", "0100=3e 0101=42", "E pc=0102 a=42\nR 0100=3e 0101=42\nC 7\n"));
    const Result good = RunTool(folder, std::string(Z80_VECTORS_TOOL) + " good.txt");
    EXPECT_EQ(good.status, 0);
    EXPECT_EQ(LastLine(good.out), "1 passed, 0 failed");
}

TEST(VectorRunner, ReportsOnlyTheFirstFiftyAndSurvivesBadFiles)
{
    TempFolder folder;
    std::string file;
    for (int i = 0; i < 60; ++i)
        file += Vector("nop " + std::to_string(i), "0100=00", "E pc=0105\nR 0100=00\nC 4\n");
    folder.WriteText("many.txt", file);
    const Result many = RunTool(folder, std::string(Z80_VECTORS_TOOL) + " many.txt");
    EXPECT_NE(many.status, 0);
    EXPECT_EQ(Count(many.out, "FAIL "), 50);
    EXPECT_EQ(LastLine(many.out), "0 passed, 60 failed");

    // Garbage, records outside a test, bad numbers: failures, never a crash or a pass.
    folder.WriteText("bad.txt", "M 0100=00\nT x\nI pc=zz\nE pc=0101\nC 4\nT y\nI pc=0100 q=1\nC many\nT z\nX what\n");
    const Result bad = RunTool(folder, std::string(Z80_VECTORS_TOOL) + " bad.txt");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(LastLine(bad.out), "0 passed, 4 failed");

    folder.WriteText("empty.txt", "");
    const Result empty = RunTool(folder, std::string(Z80_VECTORS_TOOL) + " empty.txt");
    EXPECT_NE(empty.status, 0);  // nothing checked is not a pass
    EXPECT_NE(RunTool(folder, std::string(Z80_VECTORS_TOOL) + " missing.txt").status, 0);
}

TEST(CpmRunner, RunsProgramsAndCountsTheirTStates)
{
    TempFolder folder;
    folder.Write("hello.com", {CpmPrograms::HELLO.begin(), CpmPrograms::HELLO.end()});
    const Result hello = RunTool(folder, std::string(CPM_RUN_TOOL) + " hello.com");
    EXPECT_EQ(hello.status, 0);
    EXPECT_EQ(hello.out, "Hello, Z80!");
    EXPECT_EQ(hello.err, std::to_string(CpmPrograms::HELLO_TSTATES) + " T-states\n");

    // The exerciser, shortened to 2 rounds of 3 loops: its length is known exactly.
    std::vector<std::uint8_t> exerciser(CpmPrograms::EXERCISER.begin(), CpmPrograms::EXERCISER.end());
    exerciser[CpmPrograms::EXERCISER_COUNT_OFFSET] = 3;
    exerciser[CpmPrograms::EXERCISER_COUNT_OFFSET + 1] = 0;
    exerciser[CpmPrograms::EXERCISER_ROUNDS_OFFSET] = 2;
    folder.Write("short.com", exerciser);
    const Result shortRun = RunTool(folder, std::string(CPM_RUN_TOOL) + " short.com");
    EXPECT_EQ(shortRun.status, 0);
    EXPECT_EQ(shortRun.out, "exerciser done\r\n");
    EXPECT_EQ(shortRun.err, std::to_string(CpmPrograms::ExerciserTStates(3, 2)) + " T-states\n");

    // The full exerciser stopped by the limit: the last instruction may overshoot a little.
    folder.Write("full.com", {CpmPrograms::EXERCISER.begin(), CpmPrograms::EXERCISER.end()});
    const Result limited = RunTool(folder, std::string(CPM_RUN_TOOL) + " full.com --max-tstates 250000");
    EXPECT_EQ(limited.status, 0);
    EXPECT_EQ(limited.out, "");
    const unsigned long long count = std::stoull(limited.err);
    EXPECT_GE(count, 250000u);
    EXPECT_LT(count, 250000u + 23);
}

TEST(CpmRunner, RejectsBadArgumentsAndFiles)
{
    TempFolder folder;
    folder.Write("big.com", 0x10000, 0x00);
    folder.Write("ok.com", {0xC9});
    EXPECT_EQ(RunTool(folder, std::string(CPM_RUN_TOOL) + " big.com").status, 2);
    EXPECT_EQ(RunTool(folder, std::string(CPM_RUN_TOOL) + " missing.com").status, 2);
    EXPECT_EQ(RunTool(folder, std::string(CPM_RUN_TOOL)).status, 2);
    EXPECT_EQ(RunTool(folder, std::string(CPM_RUN_TOOL) + " ok.com --max-tstates").status, 2);
    EXPECT_EQ(RunTool(folder, std::string(CPM_RUN_TOOL) + " ok.com --max-tstates -5").status, 2);
    const Result ret = RunTool(folder, std::string(CPM_RUN_TOOL) + " ok.com");
    EXPECT_EQ(ret.status, 0);
    EXPECT_EQ(ret.err, "10 T-states\n");  // RET to 0x0000
}

}  // namespace
