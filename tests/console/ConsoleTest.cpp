// The BASIC's console modules (keyboard, screen, screen editor) on the emulated machine, in a
// test image whose driver reads lines with con_getline and shows them as "(text)A", A being
// 1 for the input line and 0 for another, or "BRK" after Ctrl+C. A line typed as ">text"
// shows text as the prompt of the next line; "k" polls con_inkey until Enter and shows the
// codes in hex; "o" shows control codes through con_putc; "l" tries con_locate.
//
// Golden screens give the rows from the top down to the last non-blank one; a row that
// continues the logical line above it starts with "+". In the key scripts ^X is Ctrl+X, \b
// Backspace (the left arrow gives the same code) and \t the right arrow.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "LinkerMap.h"
#include "MachineSession.h"
#include "core/CScreenText.h"
#include "devices/CKeyboard.h"

namespace {

using Rows = std::vector<std::string>;

constexpr std::uint8_t SCAN_A = 0x1E;

// n characters cycling through the digits: easy to count on a golden screen.
std::string Digits(std::size_t n, std::size_t from = 0)
{
    std::string s;
    for (std::size_t i = from; i < from + n; ++i)
        s += static_cast<char>('0' + i % 10);
    return s;
}

std::string Times(int n, const std::string& keys)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += keys;
    return s;
}

// A logical line as it shows from column 0: rows of 40, the later ones marked as linked.
Rows Wrapped(const std::string& text)
{
    Rows rows;
    for (std::size_t at = 0; at < text.size(); at += 40)
        rows.push_back((at ? "+" : "") + text.substr(at, 40));
    return rows;
}

Rows operator+(Rows a, const Rows& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class Console : public ::testing::Test {
protected:
    Console() : map(CONSOLE_MAP) { Start(); }

    void Start()
    {
        m = std::make_unique<MachineSession>(VORLIX_RUNTIME, CONSOLE_IMAGE);
        m->Frames(5);
    }

    std::uint8_t Var(const char* name, int offset = 0)
    {
        return m->Peek(static_cast<std::uint16_t>(map[name] + offset));
    }
    int CursorRow() { return Var("scr_row"); }
    int CursorColumn() { return Var("scr_col"); }

    Rows View()
    {
        Rows rows = m->Screen();
        for (int r = 0; r < 24; ++r)
            if (Var("scr_links", r) & 1)
                rows[r].insert(0, "+");
        while (!rows.empty() && rows.back().empty())
            rows.pop_back();
        return rows;
    }

    // While the editor waits in overtype mode, the cell where the cursor shows has bit 7
    // flipped, and no other cell has it set.
    void ExpectCursorShownAlone()
    {
        int row = CursorRow(), column = CursorColumn();
        if (column == 40) {
            column = row < 23 ? 0 : 39;
            row = row < 23 ? row + 1 : row;
        }
        int strays = 0;
        for (int r = 0; r < 24; ++r)
            for (int c = 0; c < 40; ++c)
                strays += ((m->Cell(r, c) & 0x80) != 0) != (r == row && c == column);
        EXPECT_EQ(strays, 0) << "cursor at " << row << "," << column;
    }

    std::unique_ptr<MachineSession> m;
    LinkerMap map;
};

struct Script {
    const char* what;
    std::string keys;
    Rows screen;
    int row, column;  // the cursor afterwards
};

TEST_F(Console, KeyScriptsGiveTheirScreens)
{
    const std::string d40 = Digits(40);
    const std::vector<Script> scripts = {
        {"a line longer than a row wraps onto a linked row",
         "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGH\n",
         {"abcdefghijklmnopqrstuvwxyz0123456789ABCD", "+EFGH", "(abcdefghijklmnopqrstuvwxyz0123456789ABC",
          "+DEFGH)1"},
         4, 0},
        {"a full row waits for more text before it wraps",
         d40,
         {d40},
         0, 40},
        {"and wraps when more comes",
         d40 + "x",
         {d40, "+x"},
         1, 1},
        {"a full row of input or output ended by Enter takes one row",
         d40 + "\n" + Digits(37) + "\n",
         {d40, "(" + Digits(39), "+9)1", Digits(37), "(" + Digits(37) + ")1"},
         5, 0},
        {"overtype and insert in the middle of a line",
         "hello world^A^D^D^D^D^D^D^Vbig ^VW\n",
         {"hello big World", "(hello big World)1"},
         2, 0},
        {"inserting pushes the end of the line onto a new row",
         Digits(38) + "^A^Vxyz\n^V",
         {"xyz" + Digits(37), "+7", "(xyz" + Digits(36), "+67)1"},
         4, 0},
        {"Backspace erases at the end of the text, moves left inside it in overtype mode",
         "abcd\b^S^S\bX\n",
         {"Xbc", "(Xbc)1"},
         2, 0},
        {"and erases inside it in insert mode",
         "abcd^V^S^S\b\n^V",
         {"acd", "(acd)1"},
         2, 0},
        {"and erases back across a row boundary",
         d40 + "ab\b\b\b\n",
         {Digits(39), "+", "(" + Digits(39), "+)1"},
         4, 0},
        {"Ctrl+G deletes under the cursor, Ctrl+T to the end, Ctrl+F goes to the end",
         "hello world^A^G^G^F^S^S^S^S^S^T\n",
         {"llo", "(llo)1"},
         2, 0},
        {"typing past the end of the text leaves blanks between",
         "ab^D^D^D^Dc\n",
         {"ab    c", "(ab    c)1"},
         2, 0},
        {"Ctrl+Y clears the line",
         "abc^Yx\n",
         {"x", "(x)1"},
         2, 0},
        {"Ctrl+L clears the screen, the input starting afresh at the top",
         "one\ntwo^Lx\n",
         {"x", "(x)1"},
         2, 0},
        {"other control keys do nothing",
         "a^B^J^K^N^O^P^Q^R^U^W^Zb\n",
         {"ab", "(ab)1"},
         2, 0},
        {"the prompt is neither returned nor reached",
         ">Name:\nBob^AX^S^S^S\b^Y" "Al\n",
         {">Name:", "Name:Al", "(Al)1"},
         3, 0},
        {"on a prompt that wraps, up from the input stays on the input",
         ">" + Digits(45) + "\nxy^EZ\n",
         {">" + Digits(39), "+" + Digits(6, 39), Digits(40), "+" + Digits(5) + "Zy", "(Zy)1"},
         5, 0},
        {"input after a prompt that fills its row starts on a linked row",
         ">" + d40 + "\nab\n",
         {">" + Digits(39), "+9", d40, "+ab", "(ab)1"},
         5, 0},
        {"a listed line is changed in place and taken again, not from the input line",
         "10 print\n20 goto\n^E^E^E^E^Fx\n",
         {"10 printx", "(10 printx)0", "20 goto", "(20 goto)1"},
         2, 0},
        {"a key on another line edits that line; Enter takes all of its rows",
         Digits(79) + "\nnext\n" + Times(7, "^E") + "^V--\n^V",
         {"--" + Digits(38), "+" + Digits(40, 38), "+8", "(--" + Digits(37), "+" + Digits(40, 37), "+78)0", "next",
          "(next)1"},
         6, 0},
        {"Enter on a blank row gives an empty line",
         "^X^X\n",
         {"", "", "", "()0"},
         4, 0},
        {"the cursor stops at the edges of the screen",
         "^S^E^Xab\n",
         {"", "ab", "(ab)0"},
         3, 0},
        {"and at the bottom right, where the cursor waits on the last cell after a character",
         Times(30, "^X") + Times(45, "^D") + "z",
         Rows(23) + Rows{std::string(39, ' ') + "z"},
         23, 40},
        {"Ctrl+C abandons the line",
         "abc^C^Cd\n",
         {"abc", "BRK", "", "BRK", "d", "(d)1"},
         6, 0},
        {"con_putc: clear screen, cursor left, a set-switch code, a beep and a new line",
         "o\n",
         {std::string("AC ") + CScreenText::GRAPHICS},
         1, 0},
        {"con_locate clamps the row; wrapping on the bottom row scrolls",
         "l\n",
         Rows(21) + Rows{std::string(38, ' ') + "XY", "+Z1703"},
         23, 0},
        {"polled keys: Ctrl+C is not among them, Ctrl keys are",
         "k\nab^C^E\b\t\n",
         {"k", "6162050809", "", "BRK"},
         4, 0},
    };
    for (const Script& s : scripts) {
        SCOPED_TRACE(s.what);
        Start();
        m->Keys(s.keys);
        m->Frames(10);
        EXPECT_EQ(View(), s.screen);
        EXPECT_EQ(CursorRow(), s.row);
        EXPECT_EQ(CursorColumn(), s.column);
        ExpectCursorShownAlone();
    }
}

// A line typed on the bottom row grows by scrolling the screen; the output scrolls it
// further, and the links go along: Enter on its second row, five rows up, takes it whole.
TEST_F(Console, LinksScrollWithTheRows)
{
    m->Keys("top\n" + Times(21, "^X") + Digits(45) + "\n^E^E^EX\n");
    m->Frames(3);
    Rows expected(19);
    expected = expected + Rows{Digits(40), "+X1234", "(" + Digits(39), "+9X1234)0"};
    EXPECT_EQ(View(), expected);
    EXPECT_EQ(CursorRow(), 23);
    ExpectCursorShownAlone();
}

// 255 characters and no more: a key that would lengthen the line beeps and flashes it,
// overtyping inside it still works. Ctrl+C pressed during the flash empties the queue.
TEST_F(Console, LinesStopAt255Characters)
{
    m->Keys(Digits(255) + "x");
    EXPECT_EQ(m->Cell(0, 1), '1' | 0x80);  // the flash
    m->Frames(20);
    EXPECT_EQ(View(), Wrapped(Digits(255)));
    ExpectCursorShownAlone();

    m->Keys("^A^Vy");  // inserting is lengthening too
    m->Frames(20);
    m->Keys("^Vz^Fq" "ab^C");  // during the flash of q
    m->Frames(20);
    const std::string line = "z" + Digits(254, 1);
    EXPECT_EQ(View(), Wrapped(line) + Rows{"BRK"});
    EXPECT_EQ(CursorRow(), 8);
    m->Keys("^E^E\n");  // the line is there to be taken
    m->Frames(3);
    EXPECT_EQ(View(), Wrapped(line) + Wrapped("(" + line + ")0"));
    EXPECT_EQ(CursorRow(), 14);
    ExpectCursorShownAlone();

    // Silence from con_init, then three beeps, each ended by the NMI six frames on.
    std::vector<int> values, lengths;
    const auto& writes = m->SoundWrites();
    for (std::size_t i = 0; i < writes.size(); ++i) {
        values.push_back(writes[i].second);
        if (writes[i].second)
            lengths.push_back(i + 1 < writes.size() ? writes[i + 1].first - writes[i].first : -1);
    }
    EXPECT_EQ(values, (std::vector<int>{0, 1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(lengths, (std::vector<int>{6, 6, 6}));
}

// A logical line spans at most 8 rows: input after a prompt of 254 characters stops at the
// end of the eighth row. Enter on a line of 320 characters takes the first 255.
TEST_F(Console, LongLines)
{
    const std::string prompt = Digits(254), x66(66, 'x');
    m->Keys(">" + prompt + "\n" + x66 + "xxx\n");
    m->Frames(60);  // three refused keys flash for 16 frames each
    EXPECT_EQ(View(), Wrapped(">" + prompt) + Wrapped(prompt + x66) + Wrapped("(" + x66 + ")1"));
    m->Keys("^E^E^E^E\n");
    m->Frames(10);
    EXPECT_EQ(View(),
              Wrapped(">" + prompt) + Wrapped(prompt + x66) + Wrapped("(" + (prompt + x66).substr(0, 255) + ")0"));
    EXPECT_EQ(CursorRow(), 22);
    std::vector<int> values;
    for (const auto& [frame, value] : m->SoundWrites())
        values.push_back(value);
    EXPECT_EQ(values, (std::vector<int>{0, 1, 0, 1, 0, 1, 0}));
}

// A held key repeats 25 frames after it went down, then every 3 frames, in the editor and
// for a program polling the keys; Ctrl+C does not repeat.
TEST_F(Console, HeldKeysRepeat)
{
    struct Hold {
        const char* before;
        std::uint8_t scan, modifier;
        int frames;
        Rows screen;
    };
    const std::uint8_t SCAN_C = 0x2E;
    const std::vector<Hold> holds = {
        {"", SCAN_A, 0, 25, {"a"}},
        {"", SCAN_A, 0, 26, {"aa"}},
        {"", SCAN_A, 0, 28, {"aa"}},
        {"", SCAN_A, 0, 29, {"aaa"}},
        {"", SCAN_A, 0, 50, {"aaaaaaaaaa"}},
        {"k\n", SCAN_A, 0, 29, {"k", "616161"}},
        {"k\n", SCAN_C, CKeyboard::SCAN_CTRL, 50, {"k"}},
    };
    for (const Hold& h : holds) {
        SCOPED_TRACE(h.frames);
        Start();
        m->Keys(h.before);
        m->Press(h.scan, h.modifier, h.frames);
        m->Frames(3);
        EXPECT_EQ(View(), h.screen);
    }

    // A second key pressed while the first is held, just as the first would repeat, comes
    // once; it then repeats itself while the first is still down.
    constexpr std::uint8_t SCAN_B = 0x30;
    Start();
    CKeyboard& keyboard = m->App().Keyboard();
    keyboard.KeyDown(SCAN_A);
    m->Frames(25);
    m->Press(SCAN_B, 0, 1, 25);
    keyboard.KeyUp(SCAN_A);
    m->Frames(3);
    EXPECT_EQ(View(), Rows{"abb"});
}

// The cursor blinks with the display while the editor waits: its cell keeps bit 7 flipped in
// overtype mode, and in insert mode for 16 frames out of every 32, a slower blink.
TEST_F(Console, InsertModeShowsInTheCursor)
{
    struct Mode {
        const char* keys;
        int lit;  // frames out of 32 with the cursor cell flipped
    };
    for (const Mode& mode : {Mode{"ab^S", 32}, Mode{"ab^S^V", 16}}) {
        SCOPED_TRACE(mode.keys);
        Start();
        m->Keys(mode.keys);
        int lit = 0;
        for (int i = 0; i < 32; ++i, m->Frames(1))
            lit += m->Cell(0, 1) == ('b' | 0x80);
        EXPECT_EQ(lit, mode.lit);
        EXPECT_EQ(m->Cell(0, 0), 'a');
    }
}

// The NMI counts ticks in three bytes.
TEST_F(Console, TicksCountFrames)
{
    const std::uint16_t ticks = map["ticks"];
    for (int i = 0; i < 3; ++i)
        m->App().Memory().WriteByte(ticks + i, std::array{0xFE, 0xFF, 0x00}[i]);
    m->Frames(300);
    EXPECT_EQ(Var("ticks") | Var("ticks", 1) << 8 | Var("ticks", 2) << 16, 0x00FFFE + 300);
}

}  // namespace
