// Editing the program: RENUM, AUTO, DELETE, EDIT and TRON, typed into the machine as a
// user would (key scripts where the screen editor takes part) and read back from the screen.
#include <gtest/gtest.h>

#include "BasicSession.h"

namespace {

// A line typed (with Enter) or a key script (Keys, its own Enters in it), and what appears
// after the last Enter.
struct Step {
    const char* typed;
    Lines expected;
    bool keys = false;
};

void Play(BasicSession& basic, std::initializer_list<Step> steps)
{
    for (const Step& s : steps) {
        if (s.keys)
            basic.Keys(s.typed);
        else
            basic.Enter(s.typed);
        EXPECT_EQ(basic.Output(), s.expected) << s.typed;
    }
}

// Every kind of line reference: ON ERROR GOTO, GOSUB, THEN and ELSE lines, ON GOTO and ON
// GOSUB lists, RESTORE, RESUME, RUN, a number typed with a leading zero, an undefined line,
// and line 0 (no handler, RESUME the failed statement).
const char* const PROGRAM =
    "10 ON ERROR GOTO 80\n"
    "20 GOSUB 70:IF A<3 THEN 20 ELSE 30\n"
    "30 ON A-1 GOTO 40,50\n"
    "40 PRINT \"no\":RESUME 0\n"
    "50 RESTORE 090:READ X:PRINT \"data\";X\n"
    "60 ERROR 5\n"
    "65 PRINT \"resumed\":IF 1 GOTO 0100\n"
    "70 A=A+1:PRINT A:RETURN\n"
    "80 PRINT \"err\";ERR:RESUME 65\n"
    "90 DATA 7,8\n"
    "95 IF 0 THEN RUN 100 ELSE 999\n"
    "100 ON 1 GOSUB 110:END\n"
    "110 PRINT \"end\":ON ERROR GOTO 0:RETURN";
const Lines RUNS = {" 1", " 2", " 3", "data 7", "err 5", "resumed", "end", "Ready"};

}  // namespace

TEST(Edit, RenumFollowsEveryReferenceAndStillRuns)
{
    BasicSession basic;
    basic.Enter(PROGRAM);
    Play(basic, {
        {"run", RUNS},
        {"renum", {"Undefined line 999 in 110", "Ready"}},
        {"list",
         {"10 ON ERROR GOTO 90", "20 GOSUB 80:IF A<3 THEN 20 ELSE 30", "30 ON A-1 GOTO 40,50", "40 PRINT \"no\":RESUME 0",
          "50 RESTORE 100:READ X:PRINT \"data\";X", "60 ERROR 5", "70 PRINT \"resumed\":IF 1 GOTO 120",
          "80 A=A+1:PRINT A:RETURN", "90 PRINT \"err\";ERR:RESUME 70", "100 DATA 7,8",
          "110 IF 0 THEN RUN 120 ELSE 999", "120 ON 1 GOSUB 130:END",
          "130 PRINT \"end\":ON ERROR GOTO 0:RETURN", "Ready"}},
        {"run", RUNS},
        {"renum 1000,50,5", {"Undefined line 999 in 1030", "Ready"}},
        {"list",
         {"10 ON ERROR GOTO 1020", "20 GOSUB 1015:IF A<3 THEN 20 ELSE 30", "30 ON A-1 GOTO 40,1000",
          "40 PRINT \"no\":RESUME 0", "1000 RESTORE 1025:READ X:PRINT \"data\";X", "1005 ERROR 5",
          "1010 PRINT \"resumed\":IF 1 GOTO 1035", "1015 A=A+1:PRINT A:RETURN",
          "1020 PRINT \"err\";ERR:RESUME 1010", "1025 DATA 7,8", "1030 IF 0 THEN RUN 1035 ELSE 999",
          "1035 ON 1 GOSUB 1040:END", "1040 PRINT \"end\":ON ERROR GOTO 0:RETURN", "Ready"}},
        {"run", RUNS},
        {"renum 65529,1040", {"Undefined line 999 in 1030", "Ready"}},
        {"list 1035-", {"1035 ON 1 GOSUB 65529:END", "65529 PRINT \"end\":ON ERROR GOTO 0:RETURN", "Ready"}},
        {"run", RUNS},
    });
}

// A RENUM that cannot be done changes nothing.
TEST(Edit, RenumRefusesCollisionsAndOverflow)
{
    BasicSession basic;
    basic.Enter("10 GOTO 30\n20 GOTO 010\n30 GOSUB 20");
    const Lines listing = {"10 GOTO 30", "20 GOTO 010", "30 GOSUB 20", "Ready"};
    const struct {
        const char* typed;
        const char* message;
    } cases[] = {
        {"renum 15,30", "Illegal function call"},    // below line 20, which keeps its number
        {"renum 20,30", "Illegal function call"},    // onto line 20
        {"renum 65500,10,15", "Illegal function call"},  // the third would be 65530
        {"renum 65529,20", "Illegal function call"},  // line 30 would pass 65535
        {"renum 10,10,0", "Illegal function call"},
        {"renum 65530", "Illegal function call"},
        {"renum 10 20", "Syntax error"},
        {"renum 10,20,30,40", "Syntax error"},
        {"renum:list", "Syntax error"},  // it goes back to the prompt: nothing may follow
    };
    for (const auto& c : cases) {
        basic.Enter(c.typed);
        EXPECT_EQ(basic.Output(), (Lines{c.message, "Ready"})) << c.typed;
        basic.Enter("list");
        EXPECT_EQ(basic.Output(), listing) << c.typed;
    }
    Play(basic, {
        {"renum 21,30", {"Ready"}},
        {"list", {"10 GOTO 21", "20 GOTO 010", "21 GOSUB 20", "Ready"}},  // 10 stays 10: so does its text
        {"renum 65499,,15", {"Ready"}},
        {"list", {"65499 GOTO 65529", "65514 GOTO 65499", "65529 GOSUB 65514", "Ready"}},
        {"renum", {"Ready"}},
        {"list", {"10 GOTO 30", "20 GOTO 10", "30 GOSUB 20", "Ready"}},
    });
}

TEST(Edit, AutoNumbersTheLinesTyped)
{
    BasicSession basic;
    Play(basic, {
        {"auto", {"10"}},
        {"print 1", {"20"}},
        {"   print 2", {"30"}},
        {"\n", {"Ready"}, true},
        {"auto 15,5", {"15"}},
        {"rem", {"20*"}},  // line 20 exists
        {"\n", {"Ready"}, true},  // kept as it was
        {"auto ,100", {"10*"}},
        {"pri^C", {"10*pri", "Ready"}, true},
        {"list", {"10 PRINT 1", "15 REM", "20 PRINT 2", "Ready"}},
        {"auto 65519,5", {"65519"}},
        {"rem a", {"65524"}},
        {"rem b", {"65529"}},
        {"rem c", {}},  // past the last line number: AUTO is over
        {"list 65519-", {"65519 REM a", "65524 REM b", "65529 REM c", "Ready"}},
        {"auto 10,0", {"Illegal function call", "Ready"}},
        {"auto 70000", {"Illegal function call", "Ready"}},
    });
    // A line entered from elsewhere on the screen goes in as it stands and AUTO goes on,
    // its prompt on a row of its own.
    basic.Enter("cls");
    basic.Enter("list 15");
    basic.Enter("auto 40");
    basic.Keys("^E^E^E^A5\n");  // up to "15 REM", which becomes line 55
    EXPECT_EQ(basic.Output(), (Lines{"40", "Ready", "auto 40", "40"}));
    basic.Keys("^C");
    basic.Enter("cls");
    basic.Enter("list 15-");
    EXPECT_EQ(basic.Output(), (Lines{"15 REM", "20 PRINT 2", "55 REM", "65519 REM a", "65524 REM b", "65529 REM c", "Ready"}));
}

TEST(Edit, DeleteRemovesRanges)
{
    BasicSession basic;
    basic.Enter("10 PRINT 1;\n20 PRINT 2;\n30 PRINT 3;\n40 PRINT 4;\n50 PRINT 5;\n40000 PRINT 6");
    Play(basic, {
        {"delete 20-30", {"Ready"}},
        {"list", {"10 PRINT 1;", "40 PRINT 4;", "50 PRINT 5;", "40000 PRINT 6", "Ready"}},
        {"delete 45", {"Illegal function call", "Ready"}},
        {"delete 41-49", {"Illegal function call", "Ready"}},
        {"delete", {"Syntax error", "Ready"}},
        {"delete 40 50", {"Syntax error", "Ready"}},
        {"delete 40:print", {"Syntax error", "Ready"}},
        {"delete -10", {"Ready"}},
        {"list", {"40 PRINT 4;", "50 PRINT 5;", "40000 PRINT 6", "Ready"}},
        {"delete 40000", {"Ready"}},
        {"run", {" 4  5", "Ready"}},
        {"delete 50-", {"Ready"}},
        {"list", {"40 PRINT 4;", "Ready"}},
        {"60 PRINT 7\nrun", {" 4  7", "Ready"}},
    });
}

TEST(Edit, EditListsTheLineForTheScreenEditor)
{
    BasicSession basic;
    const std::string longLine = "30 REM " + std::string(50, 'x');
    basic.Enter("10 PRINT \"HELLO\"\n" + longLine);
    basic.Enter("edit 10");
    EXPECT_EQ(basic.Output(), (Lines{"10 PRINT \"HELLO\""}));
    int column = -1;
    const int row = basic.CursorRow(&column);
    ASSERT_GE(row, 1);
    ASSERT_EQ(column, 0);
    EXPECT_EQ(basic.Screen()[static_cast<std::size_t>(row)].substr(0, 2), "10");  // the cursor is on its start
    EXPECT_EQ(basic.Screen()[static_cast<std::size_t>(row - 1)], "edit 10");

    Play(basic, {
        {"^F;1\n", {}, true},  // to the end of the text, ";1" added
        {"list", {"10 PRINT \"HELLO\";1", "30 REM " + std::string(33, 'x'), std::string(17, 'x'), "Ready"}},
        {"edit 10", {"10 PRINT \"HELLO\";1"}},
        {"2\n", {}, true},  // a copy as line 20
        {"edit 30", {"30 REM " + std::string(33, 'x'), std::string(17, 'x')}},
        {"^F!\n", {}, true},  // the whole logical line is taken
        {"edit 20", {"20 PRINT \"HELLO\";1"}},
        {"^DA^C", {"2A PRINT \"HELLO\";1"}, true},  // Ctrl+C: nothing stored
        {"list", {"10 PRINT \"HELLO\";1", "20 PRINT \"HELLO\";1", "30 REM " + std::string(33, 'x'), std::string(17, 'x') + "!", "Ready"}},
        {"edit 25", {"Undefined line number", "Ready"}},
        {"edit", {"Missing operand", "Ready"}},
        {"edit 20:print", {"Syntax error", "Ready"}},
    });
    // Old text on the row the line is listed on is not taken with it.
    basic.Enter("cls:locate 5,0:print string$(30,\"z\");:locate 3,0");
    basic.Enter("edit 20");
    EXPECT_EQ(basic.Screen()[5], "20 PRINT \"HELLO\";1");
    basic.Keys("\n");
    basic.Enter("list 20");
    EXPECT_EQ(basic.Output(), (Lines{"20 PRINT \"HELLO\";1", "Ready"}));

    // Cells are taken as they are: outside strings a control code becomes a blank and a
    // blinking character a '?' (PRINT), as LOAD reads a file; strings keep them.
    basic.Enter("cls:k$=chr$(5):h$=chr$(200):q$=chr$(34):?:?\"40 read c$,d$:b=1\";k$;\"+1:\";h$;"
                "\"b;asc(c$);asc(mid$(c$,2));asc(d$);asc(\";q$;k$;q$;\"):rem\";k$;\"x\";q$;k$:"
                "?\"50 data \";k$;\"a\";h$;\"b,\";q$;chr$(6);q$:locate 0,0");
    basic.Keys("\n\ncls\n");  // (a blinking cell on the screen would look like a second cursor)
    Play(basic, {
        {"list 40-",
         {"40 READ C$,D$:B=1 +1:PRINTB;ASC(C$);ASC(", "MID$(C$,2));ASC(D$);ASC(\" \"):REM x\"", "50 DATA  a?b,\" \"", "Ready"}},
        {"run 40", {" 2  97  63  6  5", "Ready"}},
    });
}

TEST(Edit, TraceShowsEachLineRun)
{
    BasicSession basic;
    basic.Enter("10 PRINT \"A\";\n20 GOSUB 040:GOTO 060\n40 RETURN\n60 END");
    Play(basic, {
        {"tron:run", {"<10>A<20><40><60>", "Ready"}},
        {"run 040", {"<40>", "RETURN without GOSUB in 40", "Ready"}},
        {"troff:run", {"A", "Ready"}},
    });
}
