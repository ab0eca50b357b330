// Block graphics: PLOT, UNPLOT and POINT against the video memory cells, the rendered image
// and each other, with the rule for rows that hold text.
#include <gtest/gtest.h>

#include <string>

#include "BasicSession.h"
#include "devices/CDisplay.h"

namespace {

// Rows 0-5 set up as text, a text row with a graphics switch in it, and a graphics row with
// a letter and a mosaic typed into it; then points plotted and a table of POINTs printed on
// row 20 as 1 and 0. Line 100 plots on the switch cell of row 1.
const char* const PROGRAM =
    "10 CLS:PRINT \"HELLO\"\n"
    "20 PRINT \"AB\";CHR$(17)\n"
    "30 PRINT CHR$(17);\"A\";CHR$(97)\n"
    "40 PLOT 10,1:PLOT 10,4:PLOT 3,6:PLOT 11,11\n"
    "50 FOR I=0 TO 5:PLOT 20+(I AND 1),12+INT(I/2):NEXT:UNPLOT 21,13\n"
    "60 PLOT 0,15:PLOT 1,16:PLOT 79,17\n"
    "70 LOCATE 20,0:FOR I=1 TO 27:READ X,Y:PRINT CHR$(48-POINT(X,Y));:NEXT:END\n"
    "80 DATA 10,1,11,1,10,0,10,2,10,4,11,4,2,3,4,4,3,6,2,6,4,6,5,8,5,7,4,8\n"
    "90 DATA 11,11,10,11,20,12,21,12,20,13,21,13,20,14,21,14,0,15,1,16,79,17,78,17,40,30\n"
    "100 PLOT 4,4:LOCATE 21,0:PRINT POINT(4,4);POINT(10,4)";

struct Point {
    int x, y;
    bool lit;
};
const Point POINTS[27] = {
    {10, 1, true},  {11, 1, false}, {10, 0, false}, {10, 2, false},  // a text row made graphics
    {10, 4, true},  {11, 4, false},                                  // the text before a switch stays
    {2, 3, false},  {4, 4, false},                                   // ... a letter, the switch itself
    {3, 6, true},   {2, 6, false},                                   // a letter replaced by a mosaic
    {4, 6, true},   {5, 8, true},   {5, 7, false}, {4, 8, false},    // CHR$(97): top left, bottom right
    {11, 11, true}, {10, 11, false},                                 // the bottom right point
    {20, 12, true}, {21, 12, true}, {20, 13, true}, {21, 13, false},  // all six, one unplotted
    {20, 14, true}, {21, 14, true},
    {0, 15, false}, {1, 16, false},                                  // column 0 holds the switch
    {79, 17, true}, {78, 17, false}, {40, 30, false},                // the last column; a text row
};

struct Cell {
    int row, column;
    std::uint8_t code;
};

void ExpectCells(BasicSession& basic, std::initializer_list<Cell> cells)
{
    for (const Cell& c : cells)
        EXPECT_EQ(basic.Machine().Cell(c.row, c.column), c.code) << "row " << c.row << " column " << c.column;
}

// 1 when every pixel of the point's block is lit, 0 when none is, -1 when some are.
int Shown(const std::uint8_t* image, int x, int y)
{
    static constexpr int BAND_TOP[4] = {0, 3, 7, 10};  // pixel rows of the three bands of a cell
    const int left = (x / 2) * CDisplay::CELL_WIDTH + (x % 2) * 3;
    int lit = 0;
    int pixels = 0;
    for (int py = BAND_TOP[y % 3]; py < BAND_TOP[y % 3 + 1]; ++py)
        for (int px = left; px < left + 3; ++px) {
            const int row = (y / 3) * CDisplay::CELL_HEIGHT + py;
            lit += (image[row * CDisplay::STRIDE + px / 8] >> (7 - px % 8)) & 1;
            ++pixels;
        }
    return lit == 0 ? 0 : lit == pixels ? 1 : -1;
}

}  // namespace

TEST(Graphics, PointsAgreeWithCellsAndScreen)
{
    BasicSession basic;
    basic.Enter(PROGRAM);
    basic.Enter("run");
    std::string expected;
    for (const Point& p : POINTS)
        expected += p.lit ? '1' : '0';
    EXPECT_EQ(basic.Screen()[20], expected);
    ExpectCells(basic, {
        {0, 0, 0x11}, {0, 1, 0x20}, {0, 5, 0x24},                // HELLO cleared
        {1, 0, 'A'}, {1, 1, 'B'}, {1, 2, 0x11}, {1, 5, 0x24},
        {2, 0, 0x11}, {2, 1, 0x22}, {2, 2, 0x61},
        {3, 0, 0x11}, {3, 5, 0x60},
        {4, 0, 0x11}, {4, 10, 0x77},
        {5, 0, 0x11}, {5, 1, 0x20}, {5, 39, 0x60},
        {10, 0, 0x20},
    });
    // A point shows as its whole block lit; a letter's cell lights some of a block.
    const std::uint8_t* image = basic.Machine().App().Display().Render();
    for (const Point& p : POINTS)
        EXPECT_EQ(Shown(image, p.x, p.y) == 1, p.lit) << p.x << "," << p.y;

    // The switch cell of row 1 is drawn in the text set: a point there makes row 1 a
    // graphics row afresh.
    basic.Enter("run 100");
    EXPECT_EQ(basic.Screen()[21], "-1  0");
    ExpectCells(basic, {{1, 0, 0x11}, {1, 1, 0x20}, {1, 2, 0x24}, {1, 5, 0x20}});
}

TEST(Graphics, CoordinatesOutsideTheGridAreRefused)
{
    BasicSession basic;
    const struct {
        const char* typed;
        const char* message;
    } cases[] = {
        {"plot 80,0", "Illegal function call"},  {"plot 0,72", "Illegal function call"},
        {"unplot -1,0", "Illegal function call"}, {"print point(0,72)", "Illegal function call"},
        {"print point(256,0)", "Illegal function call"}, {"plot 1", "Syntax error"},
        {"print point(1,2", "Syntax error"},     {"plot \"a\",1", "Type mismatch"},
    };
    for (const auto& c : cases) {
        basic.Enter(c.typed);
        EXPECT_EQ(basic.Output(), (Lines{c.message, "Ready"})) << c.typed;
    }
    basic.Enter("cls:plot 79,71:plot 0,0:print point(79,71);point(78,71);point(0,0)");
    EXPECT_EQ(basic.Screen()[0], "-1  0  0");
    ExpectCells(basic, {{23, 0, 0x11}, {23, 38, 0x20}, {23, 39, 0x60}});
}
