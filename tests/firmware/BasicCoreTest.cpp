// The interpreter core on the host: expressions, line storage, statements, errors and
// strings, each checked against the exact screen text a user would see.
#include <gtest/gtest.h>

#include "ScriptedMachine.h"

extern "C" {
#include "basic.h"
}

namespace {

TEST(BasicCore, ExpressionsAndTheirErrors)
{
    ScriptedMachine m;
    const std::pair<const char*, const char*> printed[] = {
        {"6*7;2+3*4;(2+3)*4;10-2-3;-(3-5)", " 42 14 20 5 2"},
        {"-7/2;-7 MOD 2;17 mod 5;(-32767-1) MOD -1", "-3-1 2 0"},
        {"32767;-32767-1;-32768;-128*256;--5;-(-32768+1)", " 32767-32768-32768-32768 5 32767"},
        {"3<4;3>4;3<=3;3>=4;3<>4;3=3;3 < > 4;3> =4;1<2<3", "-1 0-1 0-1-1-1 0-1"},
        {"3>3;3<3;3<>3;4<=3;\"B\">\"B\";\"B\"<>\"B\"", " 0 0 0 0 0 0"},
        {"12 AND 10;12 OR 3;NOT 0;NOT 1=2;1<2 AND 3<2", " 8 15-1-1 0"},
        {"1+NOT 0;5*NOT 1;5*NOT 1=1;NOT NOT 7", " 0-10 0 7"},
        {"ABS(-5);ABS(5);&H7C00;&hffff;&H10+1", " 5 5 31744-1 17"},
        {"VAL(\"        -12\");VAL(\"X\");VAL(\"\")", "-12 0 0"},
        {"\"AB\"<\"B\";\"AB\"=\"AB\";\"ABC\">\"AB\"", "-1-1-1"},
        {"1,2", " 1         2"},
        {"\"X\";TAB(5);\"Y\"", "X    Y"},
    };
    for (const auto& [expression, expected] : printed)
        EXPECT_EQ(m.Lines(std::string("PRINT ") + expression), expected + std::string("\nReady\n"))
            << expression;

    std::string nots;
    for (int i = 0; i < 25; i++)
        nots += "+NOT";
    const std::pair<const char*, std::vector<std::string>> errors[] = {
        {"Overflow", {"PRINT 32767+1", "PRINT -32767-2", "PRINT 200*200", "PRINT -128*257",
                      "PRINT (-32767-1)/-1", "PRINT 40000", "PRINT 32768", "PRINT &H10000",
                      "PRINT -(32768)", "PRINT -(-32768)"}},
        {"Division by zero", {"PRINT 1/0", "PRINT 5 MOD 0"}},
        {"Syntax error", {"PRINT &HG", "PRINT (1+2", "X=1 2"}},
        {"Type mismatch", {"PRINT 1+\"A\"", "SAVE 5"}},
        {"Too complex", {"PRINT " + std::string(28, '(') + "1" + std::string(28, ')'),
                         "PRINT " + nots + "0"}},
        {"Too long", {"PRINT \"" + std::string(200, 'z') + "\"", "10 REM" + std::string(200, 'z')}},
        {"Illegal value", {"SOUND 256", "PRINT RND(0)", "DIM D(-1)"}},
    };
    for (const auto& [message, lines] : errors)
        for (const std::string& line : lines)
            EXPECT_EQ(m.Lines(line), message + std::string("\nReady\n")) << line;
}

TEST(BasicCore, LinesAreStoredReplacedDeletedAndListed)
{
    ScriptedMachine m;
    const std::string x = "10 LET X=1:REM keep this \"as is\"\n";
    EXPECT_EQ(m.Lines("20 print \"b\";x\n10 let x=1:rem keep this \"as is\"\n30 goto 10\nLIST"),
              x + "20 PRINT \"b\";X\n30 GOTO 10\nReady\n");
    EXPECT_EQ(m.Lines("20 ? \"c\"\n30\n5 data a,\"b:c\",   3\n40 end\nLIST 10-20"),
              x + "20 PRINT \"c\"\nReady\n");
    EXPECT_EQ(m.Lines("LIST 20\nLIST -5\nLIST 21-"),
              "20 PRINT \"c\"\nReady\n5 DATA a,\"b:c\",   3\nReady\n40 END\nReady\n");
    EXPECT_EQ(m.Lines("NEW\nLIST"), "Ready\nReady\n");
}

TEST(BasicCore, ProgramWithLoopsSubroutinesStringsAndArrays)
{
    ScriptedMachine m;
    m.Lines("10 DIM A(5),N$(3)\n"
            "20 FOR I=0 TO 5:A(I)=I*I:NEXT I\n"
            "30 FOR I=5 TO 1 STEP -2:PRINT A(I);:NEXT:PRINT\n"
            "50 FOR I=1 TO 3:READ N$(I):NEXT:GOSUB 200\n"
            "70 S$=\"\":FOR I=3 TO 1 STEP -1:S$=S$+LEFT$(N$(I),2):NEXT\n"
            "80 PRINT S$;LEN(S$);MID$(\"HELLO\",2,3);RIGHT$(\"HELLO\",2);MID$(\"HELLO\",4)\n"
            "90 PRINT ASC(\"A\");CHR$(66);STR$(-12);VAL(\" 34x\")+1;\"!\"\n"
            "100 FOR I=1 TO 2:FOR J=1 TO 2:PRINT I*10+J;:NEXT J,I:PRINT\n"
            "110 IF A(2)=4 THEN PRINT \"YES\":GOTO 130\n"
            "120 PRINT \"NO\"\n"
            "130 IF A(2)=5 THEN PRINT \"NO\"\n"
            "140 PRINT I;J:FOR K=32766 TO 32767:NEXT:PRINT K:END\n"
            "200 FOR I=1 TO 3:PRINT N$(I);\" \";:NEXT:PRINT:RETURN\n"
            "300 DATA apple,\"pear, ripe\"\n"
            "310 DATA plum");
    EXPECT_EQ(m.Lines("RUN"), " 25 9 1\napple pear, ripe plum \nplpeap 6ELLLOLO\n 65B-12 35!\n"
                              " 11 12 21 22\nYES\n 3 3\n 32767\nReady\n");
    // Variables survive the run; editing the program clears them.
    EXPECT_EQ(m.Lines("PRINT A(5);N$(1)\n500 REM\nPRINT A(5);N$(1)"), " 25apple\nReady\n 0\nReady\n");
}

// Each program runs from NEW; its error names the line and LIST shows it unchanged.
TEST(BasicCore, RunTimeErrorsNameTheirLineAndKeepTheProgram)
{
    ScriptedMachine m;
    const std::pair<const char*, const char*> cases[] = {
        {"10 X=1\n20 PRINT X/0\n30 END", "Division by zero in 20"},
        {"10 GOSUB 20\n20 RETURN", "RETURN without GOSUB in 20"},
        {"20 NEXT", "NEXT without FOR in 20"},
        {"20 READ A", "Out of DATA in 20"},
        {"20 DIM B(3):B(4)=1", "Bad subscript in 20"},
        {"20 DIM B(3):DIM B(2)", "Already dimensioned in 20"},
        {"20 A$=5", "Type mismatch in 20"},
        {"20 PRINT CHR$(256)", "Illegal value in 20"},
        {"20 PRINT 1;\n30 )", " 1\nSyntax error in 30"},
        {"10 PRINT 1\n20 LOAD \"GONE\"", " 1\nFile not found in 20"},
    };
    for (const auto& [program, message] : cases) {
        m.Lines(std::string("NEW\n") + program);
        EXPECT_EQ(m.Lines("RUN"), message + std::string("\nReady\n")) << program;
        EXPECT_EQ(m.Lines("LIST"), program + std::string("\nReady\n")) << program;
    }
    EXPECT_EQ(m.Lines("CONT\nGOTO 99"), "Can't continue\nReady\nUndefined line\nReady\n");
}

TEST(BasicCore, StopBreakInputAndContinue)
{
    ScriptedMachine m;
    EXPECT_EQ(m.Lines("10 PRINT \"A\"\n20 STOP\n30 PRINT \"B\"\nRUN\nCONT"),
              "A\nBreak in 20\nReady\nB\nReady\n");
    m.Lines("10 I=I+1\n20 GOTO 10\n30");
    m.breakAfter = 50;  // the RUN statement itself is the first check
    EXPECT_EQ(m.Lines("RUN"), "Break in 20\nReady\n");
    EXPECT_EQ(m.Lines("PRINT I"), " 25\nReady\n");
    m.breakAfter = 10;
    EXPECT_EQ(m.Lines("CONT\nPRINT I"), "Break in 10\nReady\n 29\nReady\n");

    m.Lines("NEW\n10 INPUT \"Name\";N$\n20 INPUT A,B\n30 PRINT N$;A+B");
    m.typed = {"Ada", "x", "3, 4"};
    EXPECT_EQ(m.Lines("RUN"), "Name? Ada\n? x\nRedo\n? 3, 4\nAda 7\nReady\n");
    m.typed = {};  // nothing typed: Ctrl+C
    EXPECT_EQ(m.Lines("RUN"), "Name? \nBreak in 10\nReady\n");
}

TEST(BasicCore, StringGarbageIsCollectedAndMemoryRunsOutCleanly)
{
    ScriptedMachine m;
    unsigned before = basic_free();
    // Each pass leaves about 200 bytes of garbage; 1000 passes need many collections.
    m.Lines("10 DIM K$(3):K$(2)=\"keep\"\n"
            "20 FOR I=1 TO 1000:A$=\"\":FOR J=1 TO 10:A$=A$+\"0123456789\":NEXT\n"
            "30 B$=LEFT$(A$,5)+STR$(I):NEXT\n"
            "40 PRINT B$;LEN(A$);K$(2)");
    EXPECT_EQ(m.Lines("RUN"), "012341000 100keep\nReady\n");
    EXPECT_GT(basic_free(), before - 400u);
    EXPECT_EQ(m.Lines("A$=A$+A$+A$"), "Too long\nReady\n");
    EXPECT_EQ(m.Lines("NEW\nDIM A(8000)\nDIM C(8000)\nA(8000)=7:PRINT A(8000)"),
              "Ready\nReady\nOut of memory\nReady\n 7\nReady\n");
}

TEST(BasicCore, MachineStatements)
{
    ScriptedMachine m;
    EXPECT_EQ(m.Lines("POKE 31744,65:PRINT PEEK(31744);INP(3)\nOUT 254,7:SOUND 129\nCLS"),
              " 65 89\nReady\nReady\n<CLS>Ready\n");
    EXPECT_EQ(m.memory[31744], 65);
    EXPECT_EQ(m.outs, (std::vector<std::pair<int, int>>{{254, 7}, {6, 129}}));
    const std::string dice = "RANDOMIZE 7:FOR I=1 TO 20:PRINT RND(6);:NEXT";
    std::string first = m.Lines(dice);
    EXPECT_EQ(m.Lines(dice), first);
    EXPECT_EQ(first.find_first_not_of(" 123456\n", 0), first.find("Ready")) << first;
}

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
        std::string line = next(3) == 0 ? std::to_string(next(60) * 10) + " " : "";
        for (int i = static_cast<int>(next(12)); i > 0; --i)
            line += pieces[next(std::size(pieces))];
        line.resize(std::min<std::size_t>(line.size(), 110));
        m.breakAfter = 3000;
        m.typed = {"1", "2,3", "X"};
        std::string out = m.Lines(line);
        std::size_t start = line.find_first_not_of(' ');
        bool numbered = start != std::string::npos && line[start] >= '0' && line[start] <= '9';
        if (start == std::string::npos) {
            EXPECT_EQ(out, "");
        } else if (!numbered || out != "") {
            EXPECT_TRUE(out.ends_with("Ready\n")) << line << "\n" << out;
        }
    }
    m.breakAfter = -1;
    EXPECT_EQ(m.Lines("PRINT 6*7"), " 42\nReady\n");
}

}  // namespace
