// Statements that steer a program, read input and data, and handle errors: each case a
// program typed in and run (with typed answers where it asks), and its whole output.
#include <gtest/gtest.h>

#include <cctype>
#include <iterator>

#include "BasicSession.h"

namespace {

struct Program {
    const char* listing;
    const char* answers;  // lines typed while it runs, "" for none
    Lines expected;       // everything after RUN
};

void RunAll(std::initializer_list<Program> programs)
{
    for (const Program& p : programs) {
        BasicSession basic;
        basic.Enter(p.listing);
        basic.Enter("run");
        const std::size_t from = basic.Mark();
        if (*p.answers)
            basic.Enter(p.answers);
        Lines all = basic.OutputFrom(from);
        EXPECT_EQ(all, p.expected) << p.listing;
    }
}

}  // namespace

TEST(Statements, LoopsAndSubroutines)
{
    RunAll({
        {"10 for i=10 to 1 step -3:print i;:next\n20 for i%=1 to 3:for j=1 to 2:print i%*10+j;:next j,i%\n30 print:print i;i%",
         "", {" 10  7  4  1  11  12  21  22  31  32", "-2  4", "Ready"}},
        {"10 for i=5 to 1:print \"once\";i:next:for x=1 to 2 step .5:print x;:next", "", {"once 5", " 1  1.5  2", "Ready"}},
        // A word followed by digits stays a word, whatever comes after the digits.
        {"10 FOR I=1TO9STEP4:PRINT I;:NEXT:GOTO30\n20 PRINT\"no\"\n30 TO9X=5:PRINT TO9X", "", {" 1  5  9", "Syntax error in 30", "Ready"}},
        {"10 for i=1 to 3:for i=1 to 2:print i;:next:next", "", {" 1  2", "NEXT without FOR in 10", "Ready"}},
        {"10 gosub 100:print \"back\":end\n100 print \"sub\";:gosub 200:return\n200 print \"deep\";:return", "", {"subdeepback", "Ready"}},
        {"10 for i=1 to 2:gosub 100:next:end\n100 for j=1 to 5:if j=2 then return\n110 next", "", {"Ready"}},
        {"10 i=0:while i<3:print i;:i=i+1:wend:print\n20 while 0:print \"never\":wend:print \"after\"", "", {" 0  1  2", "after", "Ready"}},
        {"10 i=0:while i<2:j=0:while j<2:print i*10+j;:j=j+1:wend:i=i+1:wend", "", {" 0  1  10  11", "Ready"}},
        {"10 on 2 gosub 100,200,300:on 3 goto 50,60,70\n70 print \"seventy\":on 9 goto 10:print \"past\":end\n100 print \"a\":return\n200 print \"b\":return",
         "", {"b", "seventy", "past", "Ready"}},
        {"10 x=5 ' set\n20 for i=1 to 2 ' loop\n30 print i*x;' more\n40 next ' again\n50 gosub 70 ' sub\n60 end ' done\n"
         "70 randomize ' seed\n80 print:return ' back",
         "", {" 5  10", "Ready"}},
        {"10 return", "", {"RETURN without GOSUB in 10", "Ready"}},
        {"10 next", "", {"NEXT without FOR in 10", "Ready"}},
        {"10 wend", "", {"WEND without WHILE in 10", "Ready"}},
        {"10 while 0", "", {"WHILE without WEND in 10", "Ready"}},
        {"10 goto 99", "", {"Undefined line number in 10", "Ready"}},
        {"10 gosub 10", "", {"Out of memory in 10", "Ready"}},
    });
}

TEST(Statements, ConditionsAndUserFunctions)
{
    RunAll({
        {"10 if 1<2 then print \"yes\" else print \"no\"\n20 if 1>2 then print \"yes\" else print \"no\"\n30 if 0 then 99 else 40\n40 if 1 goto 50\n50 print \"fifty\"",
         "", {"yes", "no", "fifty", "Ready"}},
        {"10 a=1:b=0:if a then if b then print \"ab\" else print \"a only\" else print \"none\"\n20 if a=0 then print \"x\":print \"y\"\n30 print \"z\"",
         "", {"a only", "z", "Ready"}},
        {"10 def fna(x)=x*x+1:def fnb$(a$,n)=left$(a$,n)+\"!\":def fnc=42\n20 x=5:print fna(3);fna(fna(1));x;fnc\n30 print fnb$(\"hello\",2);fnb$(fnb$(\"ab\",1),9)",
         "", {" 10  5  5  42", "he!a!!", "Ready"}},
        {"10 if 1 then print \"a\"; else print \"b\"\n20 if 0 then print \"c\" else print \"d\",\n30 print \"e\"", "",
         {"ad        e", "Ready"}},
        {"10 def fnf(n)=n*2\n20 print fnf(1,2)", "", {"Syntax error in 20", "Ready"}},
        {"10 print fnz(1)", "", {"Undefined user function in 10", "Ready"}},
    });
}

TEST(Statements, InputAndData)
{
    RunAll({
        {"10 input \"n\";n,a$\n20 print n*2;a$\n30 input x:print x", "12,hello\nabc\n7",
         {"n? 12,hello", " 24 hello", "? abc", "?Redo from start", "? 7", " 7", "Ready"}},
        {"10 input a,b\n20 print a+b", "1\n2", {"? 1", "?? 2", " 3", "Ready"}},
        {"10 input \"q\",a$:print \"<\";a$;\">\"", "  \"a, b\"  ", {"q  \"a, b\"", "<a, b>", "Ready"}},
        {"10 line input \"l\";a$:print a$;len(a$)", "x, \"y\" z", {"lx, \"y\" z", "x, \"y\" z 8", "Ready"}},
        {"10 input a:print a", "1,2", {"? 1,2", "?Extra ignored", " 1", "Ready"}},
        {"10 read a,b$,c:print a;b$;c\n20 restore 50:read x$:print x$\n30 read d:print d:read e\n40 data 1,\"two, 2\",3.5\n50 data word :rem\n60 data 4",
         "", {" 1 two, 2 3.5", "word", " 4", "Out of DATA in 30", "Ready"}},
        {"10 read a\n20 data x", "", {"Syntax error in 20", "Ready"}},
    });
}

TEST(Statements, ErrorsAreTrappedAndResumed)
{
    RunAll({
        {"10 on error goto 100\n20 print 1/0\n30 print \"after\":error 200\n40 print \"end\":end\n100 print \"err\";err;erl:resume next",
         "", {"err 11  20", "after", "err 200  30", "end", "Ready"}},
        {"10 on error goto 100\n20 x=x+1:print 10/(x-3):if x<4 then 20\n30 end\n100 print \"again\":x=x+1:resume", "",
         {"-5", "-10", "again", " 10", "Ready"}},
        {"10 on error goto 100\n20 dim a(2):a(5)=1\n30 print \"no\"\n100 resume 200\n200 print \"line 200\"", "", {"line 200", "Ready"}},
        {"10 on error goto 100\n20 print 1/0\n100 on error goto 0", "", {"Division by zero in 20", "Ready"}},
        {"10 resume", "", {"RESUME without error in 10", "Ready"}},
        {"10 error 250", "", {"Unprintable error in 10", "Ready"}},
        // RUN and CLEAR end the handler and turn ON ERROR off.
        {"10 on error goto 100\n20 error 5\n100 print erl;:run 200\n200 on error goto 300:error 7\n300 print erl", "",
         {" 20  200", "Ready"}},
        {"10 on error goto 100\n20 clear:error 5\n100 print \"trapped\"", "", {"Illegal function call in 20", "Ready"}},
        // ERL is the number, whatever edits move the line.
        {"40000 error 5", "5 rem\nprint erl", {"Illegal function call in 40000", "Ready", "5 rem", "print erl", " 40000", "Ready"}},
    });
}

// STOP, Ctrl+C and CONT, and a Reset that keeps the program in memory.
TEST(Statements, BreakContinueAndReset)
{
    BasicSession basic;
    basic.Enter("10 for i=1 to 3:print i:if i=2 then stop\n20 next:print \"done\"");
    basic.Enter("run");
    EXPECT_EQ(basic.Output(), (Lines{" 1", " 2", "Break in 10", "Ready"}));
    basic.Enter("print i:cont");
    EXPECT_EQ(basic.Output(), (Lines{" 2", " 3", "done", "Ready"}));
    basic.Enter("cont");
    EXPECT_EQ(basic.Output(), (Lines{"Can't continue", "Ready"}));

    basic.Enter("10 i=i+1:goto 10");
    basic.Keys("run\n", 20);  // runs until Ctrl+C
    basic.RunUntilIdle(20);
    basic.Keys("^C");
    EXPECT_EQ(basic.Output(), (Lines{"Break in 10", "Ready"}));
    basic.Keys("x=i:cont\n", 20);
    basic.Keys("^C");
    basic.Enter("print i>x");
    EXPECT_EQ(basic.Output(), (Lines{"-1", "Ready"}));

    basic.Enter("sound 1");
    basic.Reset();
    EXPECT_EQ(basic.Screen()[1], "Program kept");
    EXPECT_EQ(basic.Machine().SoundWrites().back().second, 0);  // the tone stopped
    basic.Enter("list");
    EXPECT_EQ(basic.Output(), (Lines{"10 I=I+1:GOTO 10", "20 NEXT:PRINT \"done\"", "Ready"}));
    basic.Enter("new");
    basic.Reset();
    EXPECT_NE(basic.Screen()[1], "Program kept");

    basic.Enter("10 get a$:print \"got \";a$\nrun");  // a broken GET waits again
    basic.Keys("^C");
    EXPECT_EQ(basic.Output(), (Lines{"Break in 10", "Ready"}));
    basic.Keys("cont\nz");
    EXPECT_EQ(basic.Output(), (Lines{"got z", "Ready"}));
}

// What is typed is what LIST shows: numbers as typed, blanks kept, keywords in capitals,
// names in capitals, strings and REM as they are.
TEST(Statements, ListingGivesBackWhatWasTyped)
{
    BasicSession basic;
    const char* lines[] = {
        "10 PRINT 1.50;.5;0.5;1E3;&H7C00;007;3.7;100000;65535",
        "20 IF A<=B THEN 100 ELSE GOTO 0020",
        "30 REM keep   THIS as it is: print",
        "40 DATA 1, two ,\"x:y\":PRINT \"a  b\"",
        "50 TOTAL=SCORE+FORM:A$=LEFT$(\"Hello\",2)' remark",
        "60 ON X GOSUB 10,20,30:FOR I=1 TO 10 STEP 2:NEXT",
        "100 DEF FNA(X)=X^2+X MOD 3-X\\2",
    };
    std::string all;
    for (const char* l : lines)
        all += std::string(l) + "\n";
    basic.Enter(all + "list");
    // The machine shows ^ and \\ as the national letters that share their codes.
    Lines expected = Listed(Lines(std::begin(lines), std::end(lines)));
    expected.push_back("Ready");
    EXPECT_EQ(basic.Output(), expected);
    basic.Enter("10 print \"lower\":Print \"Mixed\"\nlist 10");
    EXPECT_EQ(basic.Output(), (Lines{"10 PRINT \"lower\":PRINT \"Mixed\"", "Ready"}));
    basic.Enter("10\nlist 10-20");
    EXPECT_EQ(basic.Output(), (Lines{"20 IF A<=B THEN 100 ELSE GOTO 0020", "Ready"}));
}

// The statements that reach the machine itself: the screen, keys, ports, memory, the clock
// and the sound chip.
TEST(Statements, MachineStatements)
{
    BasicSession basic;
    basic.Enter("cls:print at 5,10;\"x\";:locate 7,2:print \"y\";:locate 0,0");
    Lines screen = basic.Screen();
    EXPECT_EQ(screen[5], "          x");
    EXPECT_EQ(screen[7], "  y");

    basic.Enter("cls:new\n10 get a$:get b:print a$;b:print inkey$;\"/\";len(inkey$)\nrun");
    basic.Keys("q!");
    EXPECT_EQ(basic.Output(), (Lines{"q 33", "/ 0", "Ready"}));

    // Machine code: LD A,5 / RET for CALL, INC HL / RET for USR.
    basic.Enter("poke &hf600,62:poke &hf601,5:poke &hf602,201:call &hf600:print \"called\"");
    EXPECT_EQ(basic.Output(), (Lines{"called", "Ready"}));
    basic.Enter("poke &hf600,35:poke &hf601,201:print usr(&hf600,9);usr(&hf600)");
    EXPECT_EQ(basic.Output(), (Lines{" 10  1", "Ready"}));

    basic.Enter("time=100:print time>=100;time<110:print peek(65535)>=0");
    EXPECT_EQ(basic.Output(), (Lines{"-1 -1", "-1", "Ready"}));
    basic.Enter("wait 58,128:print \"port 58 has bit 7\":out 58,0:print inp(58)");
    EXPECT_EQ(basic.Output(), (Lines{"port 58 has bit 7", " 135", "Ready"}));

    // SOUND: the control byte to port 6, and after the given frames a 0 (Ready stops the
    // tone too, so the program waits for its end).
    basic.Enter("new\n10 sound 9,10:t=time\n20 if time-t<20 then 20");
    const std::size_t writes = basic.Machine().SoundWrites().size();
    basic.Enter("run");
    const auto& log = basic.Machine().SoundWrites();
    ASSERT_GE(log.size(), writes + 2);
    EXPECT_EQ(log[writes].second, 9);
    EXPECT_EQ(log[writes + 1].second, 0);
}

// A line of 255 characters is stored and listed whole, however much its tokens take (the
// names and numbers here take more than twice the room of their text).
TEST(Statements, LongestLines)
{
    BasicSession basic;
    std::string line = "10 ";
    for (int i = 10; line.size() + 8 <= 255; ++i)
        line += "a" + std::to_string(i) + "=" + std::to_string(i % 7) + ":";
    line += "rem" + std::string(252 - line.size(), 'b');
    basic.Enter(line);
    basic.Enter("list");
    std::string listed;
    for (const std::string& row : basic.Output())
        if (row != "Ready")
            listed += row;
    std::string expected = line;
    for (std::size_t i = 0, end = expected.find("rem") + 3; i < end; ++i)
        expected[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(expected[i])));
    EXPECT_EQ(listed, expected);
    basic.Enter("run");
    EXPECT_EQ(basic.Output(), (Lines{"Ready"}));
    basic.Enter("print a10;a40");
    EXPECT_EQ(basic.Output(), (Lines{" 3  5", "Ready"}));
}
