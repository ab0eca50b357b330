// The interpreter core on the host: expressions, line storage, statements, errors and
// strings, each checked against the exact screen text a user would see.
#include <gtest/gtest.h>

#include "ScriptedMachine.h"

extern "C" {
#include "basic.h"
}

namespace {

std::string Print(ScriptedMachine& m, const std::string& expression)
{
    return m.Line("PRINT " + expression);
}

TEST(BasicCore, ArithmeticPrecedenceAndComparisons)
{
    ScriptedMachine m;
    const std::pair<const char*, const char*> cases[] = {
        {"6*7", " 42\nReady\n"},
        {"2+3*4", " 14\nReady\n"},
        {"(2+3)*4", " 20\nReady\n"},
        {"-7/2", "-3\nReady\n"},
        {"-7 MOD 2", "-1\nReady\n"},
        {"17 mod 5", " 2\nReady\n"},
        {"10-2-3", " 5\nReady\n"},
        {"-(3-5)", " 2\nReady\n"},
        {"32767", " 32767\nReady\n"},
        {"-32767-1", "-32768\nReady\n"},
        {"-32768;--5;-(-32768+1)", "-32768 5 32767\nReady\n"},
        {"3<4;3>4;3<=3;3>=4;3<>4;3=3", "-1 0-1 0-1-1\nReady\n"},
        {"3 < > 4;3> =4;1<2<3", "-1 0-1\nReady\n"},
        {"12 AND 10;12 OR 3;NOT 0", " 8 15-1\nReady\n"},
        {"NOT 1=2", "-1\nReady\n"},
        {"1+NOT 0;5*NOT 1;5*NOT 1=1;NOT NOT 7", " 0-10 0 7\nReady\n"},
        {"1<2 AND 3<2", " 0\nReady\n"},
        {"ABS(-5);ABS(5)", " 5 5\nReady\n"},
        {"&H7C00;&hffff;&H10+1", " 31744-1 17\nReady\n"},
        {"VAL(\"        -12\");VAL(\"X\");VAL(\"\")", "-12 0 0\nReady\n"},
        {"\"AB\"<\"B\";\"AB\"=\"AB\";\"ABC\">\"AB\"", "-1-1-1\nReady\n"},
        {"1,2", " 1         2\nReady\n"},
        {"\"X\";TAB(5);\"Y\"", "X    Y\nReady\n"},
    };
    for (const auto& [expression, expected] : cases)
        EXPECT_EQ(Print(m, expression), expected) << expression;
}

TEST(BasicCore, ArithmeticErrors)
{
    ScriptedMachine m;
    EXPECT_EQ(Print(m, "32767+1"), "Overflow\nReady\n");
    EXPECT_EQ(Print(m, "-32767-2"), "Overflow\nReady\n");
    EXPECT_EQ(Print(m, "200*200"), "Overflow\nReady\n");
    EXPECT_EQ(Print(m, "-128*256"), "-32768\nReady\n");
    EXPECT_EQ(Print(m, "-128*257"), "Overflow\nReady\n");
    EXPECT_EQ(Print(m, "(-32767-1)/-1"), "Overflow\nReady\n");
    EXPECT_EQ(Print(m, "(-32767-1) MOD -1"), " 0\nReady\n");
    EXPECT_EQ(Print(m, "1/0"), "Division by zero\nReady\n");
    EXPECT_EQ(Print(m, "5 MOD 0"), "Division by zero\nReady\n");
    EXPECT_EQ(Print(m, "40000"), "Overflow\nReady\n");
    EXPECT_EQ(Print(m, "32768"), "Overflow\nReady\n");
    EXPECT_EQ(Print(m, "&H10000"), "Overflow\nReady\n");
    EXPECT_EQ(Print(m, "&HG"), "Syntax error\nReady\n");
    EXPECT_EQ(Print(m, "-(32768)"), "Overflow\nReady\n");
    EXPECT_EQ(Print(m, "-(-32768)"), "Overflow\nReady\n");
    EXPECT_EQ(Print(m, "1+\"A\""), "Type mismatch\nReady\n");
    EXPECT_EQ(Print(m, "(1+2"), "Syntax error\nReady\n");
    EXPECT_EQ(Print(m, "((((((((((((((((((((((((((((1))))))))))))))))))))))))))))"),
              "Too complex\nReady\n");
    EXPECT_EQ(m.Line("X=1 2"), "Syntax error\nReady\n");
    std::string nots;
    for (int i = 0; i < 25; i++)
        nots += "+NOT";
    EXPECT_EQ(Print(m, nots + "0"), "Too complex\nReady\n");
    EXPECT_EQ(m.Line("PRINT \"" + std::string(200, 'z') + "\""), "Too long\nReady\n");
    EXPECT_EQ(m.Line("10 REM" + std::string(200, 'z')), "Too long\nReady\n");
}

TEST(BasicCore, LinesAreStoredReplacedDeletedAndListed)
{
    ScriptedMachine m;
    EXPECT_EQ(m.Lines({"20 print \"b\";x", "10 let x=1:rem keep this \"as is\"", "30 goto 10"}),
              "");
    EXPECT_EQ(m.Line("LIST"),
              "10 LET X=1:REM keep this \"as is\"\n20 PRINT \"b\";X\n30 GOTO 10\nReady\n");
    m.Line("20 ? \"c\"");
    m.Line("30");
    EXPECT_EQ(m.Line("LIST"), "10 LET X=1:REM keep this \"as is\"\n20 PRINT \"c\"\nReady\n");
    m.Lines({"5 data a,\"b:c\",   3", "40 end"});
    EXPECT_EQ(m.Line("LIST 10-20"), "10 LET X=1:REM keep this \"as is\"\n20 PRINT \"c\"\nReady\n");
    EXPECT_EQ(m.Line("LIST 20"), "20 PRINT \"c\"\nReady\n");
    EXPECT_EQ(m.Line("LIST -5"), "5 DATA a,\"b:c\",   3\nReady\n");
    EXPECT_EQ(m.Line("LIST 21-"), "40 END\nReady\n");
    m.Line("NEW");
    EXPECT_EQ(m.Line("LIST"), "Ready\n");
}

TEST(BasicCore, ProgramWithLoopsSubroutinesStringsAndArrays)
{
    ScriptedMachine m;
    m.Lines({
        "10 DIM A(5),N$(3)",
        "20 FOR I=0 TO 5:A(I)=I*I:NEXT I",
        "30 FOR I=5 TO 1 STEP -2:PRINT A(I);:NEXT",
        "40 PRINT",
        "50 FOR I=1 TO 3:READ N$(I):NEXT",
        "60 GOSUB 200",
        "70 S$=\"\":FOR I=3 TO 1 STEP -1:S$=S$+LEFT$(N$(I),2):NEXT",
        "80 PRINT S$;LEN(S$);MID$(\"HELLO\",2,3);RIGHT$(\"HELLO\",2);MID$(\"HELLO\",4)",
        "90 PRINT ASC(\"A\");CHR$(66);STR$(-12);VAL(\" 34x\")+1;\"!\"",
        "100 FOR I=1 TO 2:FOR J=1 TO 2:PRINT I*10+J;:NEXT J,I:PRINT",
        "110 IF A(2)=4 THEN PRINT \"YES\":GOTO 130",
        "120 PRINT \"NO\"",
        "130 IF A(2)=5 THEN PRINT \"NO\"",
        "140 PRINT I;J:FOR K=32766 TO 32767:NEXT:PRINT K:END",
        "200 FOR I=1 TO 3:PRINT N$(I);\" \";:NEXT:PRINT:RETURN",
        "300 DATA apple,\"pear, ripe\"",
        "310 DATA plum",
    });
    EXPECT_EQ(m.Line("RUN"),
              " 25 9 1\n"
              "apple pear, ripe plum \n"
              "plpeap 6ELLLOLO\n"
              " 65B-12 35!\n"
              " 11 12 21 22\n"
              "YES\n"
              " 3 3\n"
              " 32767\n"
              "Ready\n");
    // Variables survive the run; editing the program clears them.
    EXPECT_EQ(m.Line("PRINT A(5);N$(1)"), " 25apple\nReady\n");
    m.Line("500 REM");
    EXPECT_EQ(m.Line("PRINT A(5);N$(1)"), " 0\nReady\n");
}

TEST(BasicCore, ErrorsNameTheirLineAndKeepTheProgram)
{
    ScriptedMachine m;
    m.Lines({"10 X=1", "20 PRINT X/0", "30 END"});
    EXPECT_EQ(m.Line("RUN"), "Division by zero in 20\nReady\n");
    EXPECT_EQ(m.Line("LIST 20"), "20 PRINT X/0\nReady\n");
    EXPECT_EQ(m.Line("GOTO 99"), "Undefined line\nReady\n");
    m.Lines({"20 GOSUB 50:RETURN", "50 RETURN"});
    EXPECT_EQ(m.Line("RUN"), "RETURN without GOSUB in 20\nReady\n");
    m.Lines({"20 NEXT", "50"});
    EXPECT_EQ(m.Line("RUN"), "NEXT without FOR in 20\nReady\n");
    m.Lines({"20 READ A"});
    EXPECT_EQ(m.Line("RUN"), "Out of DATA in 20\nReady\n");
    m.Lines({"20 DIM B(3):B(4)=1"});
    EXPECT_EQ(m.Line("RUN"), "Bad subscript in 20\nReady\n");
    m.Lines({"20 DIM B(3):DIM B(2)"});
    EXPECT_EQ(m.Line("RUN"), "Already dimensioned in 20\nReady\n");
    m.Lines({"20 A$=5"});
    EXPECT_EQ(m.Line("RUN"), "Type mismatch in 20\nReady\n");
    m.Lines({"20 PRINT CHR$(256)"});
    EXPECT_EQ(m.Line("RUN"), "Illegal value in 20\nReady\n");
    m.Lines({"20 PRINT 1;", "30 )"});
    EXPECT_EQ(m.Line("RUN"), " 1\nSyntax error in 30\nReady\n");
    EXPECT_EQ(m.Line("CONT"), "Can't continue\nReady\n");
}

TEST(BasicCore, StopBreakAndContinue)
{
    ScriptedMachine m;
    m.Lines({"10 PRINT \"A\"", "20 STOP", "30 PRINT \"B\""});
    EXPECT_EQ(m.Line("RUN"), "A\nBreak in 20\nReady\n");
    EXPECT_EQ(m.Line("CONT"), "B\nReady\n");

    m.Lines({"10 I=I+1", "20 GOTO 10", "30"});
    m.breakAfter = 50;
    // The RUN statement itself is the first check.
    EXPECT_EQ(m.Line("RUN"), "Break in 20\nReady\n");
    EXPECT_EQ(m.Line("PRINT I"), " 25\nReady\n");
    m.breakAfter = 10;
    EXPECT_EQ(m.Line("CONT"), "Break in 10\nReady\n");
    EXPECT_EQ(m.Line("PRINT I"), " 29\nReady\n");
}

TEST(BasicCore, InputWithPromptAndRetry)
{
    ScriptedMachine m;
    m.Lines({"10 INPUT \"Name\";N$", "20 INPUT A,B", "30 PRINT N$;A+B"});
    m.typed = {"Ada", "x", "3, 4"};
    EXPECT_EQ(m.Line("RUN"), "Name? Ada\n? x\nRedo\n? 3, 4\nAda 7\nReady\n");
    m.typed = {};  // nothing typed: Ctrl+C
    EXPECT_EQ(m.Line("RUN"), "Name? \nBreak in 10\nReady\n");
}

TEST(BasicCore, StringGarbageIsCollected)
{
    ScriptedMachine m;
    unsigned before = basic_free();
    // Each pass leaves about 200 bytes of garbage; 1000 passes need many collections.
    m.Lines({"10 DIM K$(3):K$(2)=\"keep\"",
             "20 FOR I=1 TO 1000:A$=\"\":FOR J=1 TO 10:A$=A$+\"0123456789\":NEXT",
             "30 B$=LEFT$(A$,5)+STR$(I):NEXT",
             "40 PRINT B$;LEN(A$);K$(2)"});
    EXPECT_EQ(m.Line("RUN"), "012341000 100keep\nReady\n");
    EXPECT_GT(basic_free(), before - 400u);
    EXPECT_EQ(m.Line("A$=A$+A$+A$"), "Too long\nReady\n");
}

TEST(BasicCore, MemoryRunsOutCleanly)
{
    ScriptedMachine m;
    EXPECT_EQ(m.Line("DIM A(8000)"), "Ready\n");
    EXPECT_EQ(m.Line("DIM C(8000)"), "Out of memory\nReady\n");
    EXPECT_EQ(m.Line("DIM D(-1)"), "Illegal value\nReady\n");
    EXPECT_EQ(m.Line("A(8000)=7:PRINT A(8000)"), " 7\nReady\n");
}

TEST(BasicCore, MachineStatements)
{
    ScriptedMachine m;
    EXPECT_EQ(m.Line("POKE 31744,65:PRINT PEEK(31744);INP(3)"), " 65 89\nReady\n");
    EXPECT_EQ(m.memory[31744], 65);
    m.Line("OUT 254,7:SOUND 129");
    ASSERT_EQ(m.outs.size(), 2u);
    EXPECT_EQ(m.outs[0], std::make_pair(254, 7));
    EXPECT_EQ(m.outs[1], std::make_pair(6, 129));
    EXPECT_EQ(m.Line("SOUND 256"), "Illegal value\nReady\n");
    EXPECT_EQ(m.Line("CLS"), "<CLS>Ready\n");
    m.Line("RANDOMIZE 7");
    std::string first = m.Line("FOR I=1 TO 20:PRINT RND(6);:NEXT");
    m.Line("RANDOMIZE 7");
    EXPECT_EQ(m.Line("FOR I=1 TO 20:PRINT RND(6);:NEXT"), first);
    for (char c : first) {
        if (c >= '0' && c <= '9') {
            EXPECT_TRUE(c >= '1' && c <= '6') << first;
        }
    }
    EXPECT_EQ(m.Line("PRINT RND(0)"), "Illegal value\nReady\n");
}

}  // namespace

namespace {

// Random lines built from the language's own pieces: whatever they do, every command ends
// at the prompt, memory stays inside the arena (the sanitizers watch that) and the
// interpreter still answers afterwards.
TEST(BasicCore, RandomLinesNeverBreakTheInterpreter)
{
    const char* const pieces[] = {
        "PRINT ", "INPUT ", "LET ", "IF ", " THEN ", "GOTO ", "GOSUB ", "RETURN", "FOR ",
        " TO ", " STEP ", "NEXT ", "REM ", "END", "STOP", "CONT", "DATA ", "READ ", "RESTORE",
        "DIM ", "RUN", "LIST ", "SAVE ", "LOAD ", "LLIST", "LPRINT ", "NEW", "A", "B$", "C(",
        "A$(", "X", "Y1", "1", "0", "-", "32767", "255", "10", "+", "*", "/", " MOD ", " AND ",
        " OR ", "NOT ", "=", "<", ">", "(", ")", ",", ";", ":", "\"", "\"S\"", "LEFT$(", "MID$(",
        "RIGHT$(", "CHR$(", "STR$(", "VAL(", "LEN(", "ASC(", "ABS(", "RND(", "PEEK(", "INP(",
        "POKE ", "OUT ", "SOUND ", "TAB(", " ", "?", "&", "'", "\x7F", "\x1A",
    };
    ScriptedMachine m;
    std::uint32_t state = 12345;
    auto next = [&state](std::uint32_t n) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % n;
    };
    for (int round = 0; round < 5000; ++round) {
        std::string line;
        if (next(3) == 0)
            line = std::to_string(next(60) * 10) + " ";
        int count = static_cast<int>(next(12));
        for (int i = 0; i < count; ++i)
            line += pieces[next(std::size(pieces))];
        if (line.size() > 110)
            line.resize(110);
        m.breakAfter = 3000;
        m.typed = {"1", "2,3", "X"};
        std::string out = m.Line(line);
        std::size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos) {
            EXPECT_EQ(out, "");
            continue;
        }
        bool numbered = line[start] >= '0' && line[start] <= '9';
        if (!numbered || out != "") {
            EXPECT_TRUE(out.size() >= 6 && out.compare(out.size() - 6, 6, "Ready\n") == 0)
                << line << "\n" << out;
        }
    }
    m.breakAfter = -1;
    EXPECT_EQ(m.Line("PRINT 6*7"), " 42\nReady\n");
}

}  // namespace
