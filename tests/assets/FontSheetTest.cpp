// The drawn source of the character set: the shipped file parses, and faulty edits are
// refused with the line they are on, so a broken font never reaches the runtime folder.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "assets/CFontSheet.h"

namespace {

std::string Source()
{
    std::ifstream in(VORLIX_FONT_SOURCE);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Parses(const std::string& text, std::string& error)
{
    CFontSheet sheet;
    std::istringstream in(text);
    return sheet.Parse(in, error);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

TEST(FontSheet, ShippedSourceParsesToTheDrawnPixels)
{
    CFontSheet sheet;
    std::istringstream in(Source());
    std::string error;
    ASSERT_TRUE(sheet.Parse(in, error)) << error;
    // 'H': two uprights joined on the middle row.
    CFontSheet::Glyph h = {0x00, 0x88, 0x88, 0x88, 0xF8, 0x88, 0x88, 0x88, 0x00, 0x00};
    EXPECT_EQ(sheet.Get('H'), h);
}

TEST(FontSheet, RefusesFaultyEditsNamingTheLine)
{
    const std::string good = Source();
    const std::string hHeader = "glyph 48 H\n";
    std::string error;
    struct Case {
        std::string text;
        std::string expect;
    };
    const Case cases[] = {
        {Replaced(good, hHeader, "glyph 49 H\n"), "drawn twice"},
        {Replaced(good, hHeader + "......\n#...#.", hHeader + "......\n#...##"), "the last one '.'"},
        {Replaced(good, hHeader + "......\n#...#.", hHeader + "......\n#...#.."), "six of"},
        {Replaced(good, hHeader + "......\n#...#.", hHeader + "......\n#..x#."), "six of"},
        {Replaced(good, hHeader, "glyph 1F H\n"), "control code"},
        {Replaced(good, hHeader, "glyph 80 H\n"), "00 to 7F"},
        {Replaced(good, hHeader, "glyph 4 H\n"), "glyph HH"},
        {good.substr(0, good.rfind("#####.")), "fewer than ten rows"},
    };
    for (const Case& c : cases) {
        error.clear();
        EXPECT_FALSE(Parses(c.text, error)) << c.expect;
        EXPECT_NE(error.find(c.expect), std::string::npos) << error;
    }
    // A missing glyph is named.
    error.clear();
    std::string dropped = good;
    std::size_t at = dropped.find(hHeader);
    dropped.erase(at, hHeader.size() + 10 * 7);
    EXPECT_FALSE(Parses(dropped, error));
    EXPECT_NE(error.find("48 is not drawn"), std::string::npos) << error;
}

}  // namespace
