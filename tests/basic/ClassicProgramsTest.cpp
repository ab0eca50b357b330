// Classic-style programs of our own, typed in as they stand in programs/NAME.bas, listed
// back, and run with scripted answers; the whole transcript must equal programs/NAME.txt,
// which was worked out on the host independently of this BASIC.
#include <gtest/gtest.h>

#include <fstream>

#include "BasicSession.h"

namespace {

const std::filesystem::path PROGRAMS = CLASSIC_PROGRAMS;

Lines ReadLines(const std::filesystem::path& path)
{
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    Lines lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Types the program, checks LIST against it, runs it and types each answer (a key script:
// "\n" is Enter), and returns everything that appeared after RUN.
Lines RunProgram(BasicSession& basic, const std::string& name, const std::vector<std::string>& answers)
{
    const Lines program = ReadLines(PROGRAMS / (name + ".bas"));
    std::string text;
    for (const std::string& line : program)
        text += line + "\n";
    basic.Enter(text);
    basic.Enter("list");
    Lines listing = Listed(program);
    listing.push_back("Ready");
    EXPECT_EQ(basic.Output(), listing) << name;
    basic.Enter("run");
    const std::size_t from = basic.Mark();
    for (const std::string& keys : answers)
        basic.Keys(keys);
    return basic.OutputFrom(from);
}

void Expect(const std::string& name, const std::vector<std::string>& answers)
{
    BasicSession basic;
    EXPECT_EQ(RunProgram(basic, name, answers), ReadLines(PROGRAMS / (name + ".txt"))) << name;
}

// Lines typed while the program runs, each followed by Enter.
std::vector<std::string> Answers(std::initializer_list<const char*> lines)
{
    std::vector<std::string> keys;
    for (const char* line : lines)
        keys.push_back(std::string(line) + "\n");
    return keys;
}

}  // namespace

TEST(Classic, Sieve)
{
    Expect("sieve", Answers({"5", "1000", "Y"}));
}

TEST(Classic, GuessTheNumber)
{
    Expect("guess", Answers({"1984", "50", "abc", "0", "75", "60", "56", "55", "Y", "50.5", "10", "20", "30", "40",
                             "90", "80", "70", "YES", "68", "N"}));
}

TEST(Classic, Calendar)
{
    Expect("calendar", Answers({"1", "2,2024", "1", "13,2024", "1", "9", "2023", "2", "25,12,2023", "2", "29,2,1900",
                                "2", "1,1,2000", "3", "14,7,1789", "1,1,2000", "7", "4"}));
}

TEST(Classic, Maze)
{
    Expect("maze", Answers({"20,5", "12,10", "1234", "Y", "5,3", "77", "N"}));
}

TEST(Classic, MoonBase)
{
    Expect("moonbase", Answers({"71", "3", "4", "x", "-1", "100", "2", "3", "2", "11", "5", "0", "3", "1", "2", "0",
                                "4"}));
}

TEST(Classic, TextAdventure)
{
    Expect("mine", Answers({"look", "n", "n", "open door", "w", "take key", "take lamp", "e", "open door", "open door",
                            "n", "s", "go east", "get lamp", "inventory", "w", "n", "n", "take rope", "e", "d",
                            "tie rope", "d", "take gold", "dance", "take sword", "i", "", "quit", "no", "u", "w", "s",
                            "s", "help", "score", "drop gold"}));
}

TEST(Classic, FunctionTablesAndPlots)
{
    Expect("plotter", Answers({"30", "3,4"}));
}

TEST(Classic, WordWorkshop)
{
    Expect("words", Answers({"Madam, I'm Adam", "The 3 quick brown foxes jumped over 12 lazy dogs, 0 cats and 2.5 hens",
                             "!!!", "a", "Was it a car or a cat I saw", ""}));
}

// STOP halfway, a look at the variables in direct mode, and CONT.
TEST(Classic, MonitorOfMemoryPortsAndBases)
{
    Expect("monitor", Answers({"print peek(base+2);x", "cont", "-2", "255", "Y", "70000", "12.5", "43981", "4660", "N"}));
}

TEST(Classic, CalculatorThatTrapsItsErrors)
{
    Expect("calc", Answers({"3,*,4", "2,S", "9", "1,/,0", "10,x,1", "7,M,0", "0,Q,0"}));
}

// A program that places its text with CLS, LOCATE and PRINT AT and reads single keys with
// GET: its screen at the end is programs/drill.txt.
TEST(Classic, TypingDrillOnAScreenOfItsOwn)
{
    BasicSession basic;
    RunProgram(basic, "drill", {"bqasic", "loop", "variablxe", "A", "!", "0"});
    Lines screen = basic.Screen();
    while (!screen.empty() && screen.back().empty())
        screen.pop_back();
    EXPECT_EQ(screen, ReadLines(PROGRAMS / "drill.txt"));
}

TEST(Classic, TicTacToe)
{
    Expect("tictac", Answers({"1", "0", "9", "5", "x", "7", "4", "YES", "5", "9", "2", "7", "6", "Y", "2", "8", "4", "NO"}));
}

TEST(Classic, LifeInAThreeDimensionalArray)
{
    Expect("life", Answers({"1", "6", "Y", "2", "8", "N"}));
}

// RND, RANDOMIZE and TIME, whose numbers the host cannot foresee: the program checks their
// properties itself and prints what it found.
TEST(Classic, DiceLabChecksTheRandomNumbers)
{
    Expect("dice", {});
}

TEST(Classic, NumberPuzzles)
{
    Expect("numbers", Answers({"1", "1984", "1", "MCMLXXXIV", "1", "XLIIX", "1", "4000", "ABC", "3999", "2", "0", "2",
                               "15", "2", "40", "2", "-3", "999999", "2", "101011", "2", "1000", "3", "3", "3", "8",
                               "4", "360", "4", "9973", "4", "16000000", "4", "1", "4", "7", "5"}));
}
