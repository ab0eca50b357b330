// The vector runner and the CP/M-style runner, run as programs on files in a temp folder.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CpmPrograms.h"
#include "TempFolder.h"

namespace {

struct Result {
    int status;
    std::string out, err;
};

// Runs a tool in the folder (the working directory) with its output captured.
Result RunTool(const TempFolder& folder, const std::string& command)
{
    const int raw = std::system((command + " > out.txt 2> err.txt").c_str());
    const std::vector<std::uint8_t> out = folder.Read("out.txt"), err = folder.Read("err.txt");
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, {out.begin(), out.end()}, {err.begin(), err.end()}};
}

// One test from a cleared machine with the instruction bytes at 0x0100 and the records after it.
std::string Vector(const std::string& name, const std::string& bytes, const std::string& after)
{
    return "T " + name + "\nI pc=0100 sp=8000 a=00 f=28 b=00 c=00 d=00 e=00 h=00 l=00 i=00 ix=0000 iy=0000 "
                         "af_=0000 bc_=0000 de_=0000 hl_=0000 im=00 iff1=00 iff2=00\nM " + bytes + "\n" + after;
}

TEST(VectorRunner, NamesTheFieldsThatDifferAndSurvivesBadFiles)
{
    TempFolder folder;
    std::string many, manyOut;  // 60 failing tests, of which the first 50 are reported
    for (int i = 0; i < 60; ++i) {
        many += Vector("nop " + std::to_string(i), "0100=00", "E pc=0105\nR 0100=00\nC 4\n");
        manyOut += i < 50 ? "FAIL nop " + std::to_string(i) + "\n  pc: expected 105, got 101\n" : "";
    }
    const struct { const char* name; std::string text; int status; std::string out; } cases[] = {
        // LD A,42h right on every count, with wildcards and a flag mask; then wrong A, cycles and memory,
        // a wrong port write, a write the vector does not list, and an input from the P record.
        {"mixed.txt",
         "# handmade\n" +
             Vector("ld a good", "0100=3e 0101=42",
                    "E pc=0102 sp=8000 a=42 f=28/ff b=00 c=00 d=00 e=00 h=* l=00 i=00 ix=0000 iy=0000 af_=0000 "
                    "bc_=0000 de_=0000 hl_=0000 im=00 iff1=00 iff2=00\nR 0100=3e 0101=42\nC 7\n") +
             Vector("ld a wrong", "0100=3e 0101=42", "E pc=0102 a=43 f=00/d7\nR 0100=3e 0101=42 0200=55\nC 4\n") +
             Vector("out wrong", "0100=d3 0101=07", "E pc=0102 a=00\nR 0100=d3 0101=07\nW 07=43\nC 11\n") +
             Vector("stray write", "0100=36 0101=99", "E pc=0102\nR 0100=36 0101=99\nC 10\n") +
             Vector("in good", "0100=db 0101=09", "P 09=a5\nE pc=0102 a=a5 f=28\nR 0100=db 0101=09\nC 11\n"),
         1,
         "FAIL ld a wrong\n  a: expected 43, got 42\n  memory 0200: expected 55, got 00\n"
         "  cycles: expected 4, got 7\nFAIL out wrong\n  port writes: expected 07=43, got 07=00\n"
         "FAIL stray write\n  memory 0000: unexpected write of 99\n2 passed, 3 failed\n"},
        {"good.txt", Vector("ld a", "0100=3e 0101=42", "E pc=0102 a=42\nR 0100=3e 0101=42\nC 7\n"), 0,
         "1 passed, 0 failed\n"},
        {"many.txt", many, 1, manyOut + "0 passed, 60 failed\n"},
        // Garbage, records outside a test, bad numbers: failures, never a crash or a pass.
        {"bad.txt", "M 0100=00\nT x\nI pc=zz\nE pc=0101\nC 4\nT y\nI pc=0100 q=1\nC many\nT z\nX what\n", 1,
         "FAIL x\n  bad value pc=zz\nFAIL y\n  bad cycle count many\nFAIL z\n  unknown record X\n"
         "0 passed, 4 failed\n"},
        {"empty.txt", "", 1, "0 passed, 0 failed\n"},  // nothing checked is not a pass
    };
    for (const auto& c : cases) {
        folder.WriteText(c.name, c.text);
        const Result result = RunTool(folder, std::string(Z80_VECTORS_TOOL) + " " + c.name);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(result.out, c.out) << c.name;
    }
    EXPECT_EQ(RunTool(folder, std::string(Z80_VECTORS_TOOL) + " missing.txt").status, 2);
}

TEST(CpmRunner, RunsProgramsCountsTheirTStatesAndRejectsBadInput)
{
    TempFolder folder;
    folder.Write("hello.com", {CpmPrograms::HELLO.begin(), CpmPrograms::HELLO.end()});
    // The exerciser, shortened to 2 rounds of 3 loops: its length is known exactly.
    std::vector<std::uint8_t> exerciser(CpmPrograms::EXERCISER.begin(), CpmPrograms::EXERCISER.end());
    folder.Write("full.com", exerciser);
    exerciser[CpmPrograms::EXERCISER_COUNT_OFFSET] = 3;
    exerciser[CpmPrograms::EXERCISER_COUNT_OFFSET + 1] = 0;
    exerciser[CpmPrograms::EXERCISER_ROUNDS_OFFSET] = 2;
    folder.Write("short.com", exerciser);
    folder.Write("ret.com", {0xC9});
    folder.Write("big.com", 0x10000, 0x00);
    const struct { const char* args; int status; std::string out, err; /* "?": any message */ } cases[] = {
        {"hello.com", 0, "Hello, Z80!", std::to_string(CpmPrograms::HELLO_TSTATES) + " T-states\n"},
        {"short.com", 0, "exerciser done\r\n", std::to_string(CpmPrograms::ExerciserTStates(3, 2)) + " T-states\n"},
        {"ret.com", 0, "", "10 T-states\n"},  // RET to 0x0000
        {"big.com", 2, "", "?"},               {"missing.com", 2, "", "?"}, {"", 2, "", "?"},
        {"ret.com --max-tstates", 2, "", "?"}, {"ret.com --max-tstates -5", 2, "", "?"},
    };
    for (const auto& c : cases) {
        const Result result = RunTool(folder, std::string(CPM_RUN_TOOL) + " " + c.args);
        EXPECT_EQ(result.status, c.status) << c.args;
        EXPECT_EQ(result.out, c.out) << c.args;
        EXPECT_TRUE(c.err == "?" ? !result.err.empty() : result.err == c.err) << c.args << ": " << result.err;
    }
    // The full exerciser stopped by the limit: the last instruction may overshoot a little.
    const Result limited = RunTool(folder, std::string(CPM_RUN_TOOL) + " full.com --max-tstates 250000");
    EXPECT_EQ(limited.status, 0);
    EXPECT_EQ(limited.out, "");
    const unsigned long long count = std::stoull("0" + limited.err);
    EXPECT_GE(count, 250000u);
    EXPECT_LT(count, 250000u + 23);
}

}  // namespace
