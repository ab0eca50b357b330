#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "devices/CFolderLookup.h"
#include "devices/CHostName.h"
#include "devices/TranslateChar.h"

namespace {

CHostName::TargetName Target(std::string_view eleven)
{
    CHostName::TargetName t{};
    for (std::size_t i = 0; i < t.size() && i < eleven.size(); ++i)
        t[i] = static_cast<std::uint8_t>(eleven[i]);
    return t;
}

}  // namespace

TEST(TranslateChar, TenNationalLettersAndEverythingElseUnchanged)
{
    const std::pair<int, int> letters[] = {{0x40, 0xC9}, {0x5B, 0xC4}, {0x5C, 0xD6}, {0x5D, 0xC5}, {0x5E, 0xDC},
                                           {0x60, 0xE9}, {0x7B, 0xE4}, {0x7C, 0xF6}, {0x7D, 0xE5}, {0x7E, 0xFC}};
    int translated = 0;
    for (int code = 0; code < 256; ++code) {
        int expected = code;
        for (auto [from, to] : letters)
            if (from == code)
                expected = to;
        translated += expected != code;
        EXPECT_EQ(TranslateChar(static_cast<std::uint8_t>(code)), expected) << code;
    }
    EXPECT_EQ(translated, 10);
}

TEST(HostName, BuildsNamesFromTheElevenBytes)
{
    struct Case {
        std::string target;  // 11 bytes
        std::string host;    // UTF-8
    };
    const Case cases[] = {
        {"GAME    BAS", "GAME.BAS"},
        {"X Y Z   TXT", "XYZ.TXT"},
        {"READ ME TXT", "README.TXT"},
        {"README  TXT", "README.TXT"},
        {"ABCDEFGHIJK", "ABCDEFGH.IJK"},          // the longest name, 12 characters
        {"\x5D" "SA     TXT", "\xC3\x85SA.TXT"},    // 0x5D is A with ring: 0xC5, stored as UTF-8
        {"\x40\x5B\x5C\x5E\x60\x7B\x7C\x7E" "\x7D  ", "\xC3\x89\xC3\x84\xC3\x96\xC3\x9C\xC3\xA9\xC3\xA4\xC3\xB6\xC3\xBC.\xC3\xA5"},
        {"NAME       ", "NAME"},                  // all-space extension: no trailing point
        {"NAME    B  ", "NAME.B"},
        {"  A  B  C  ", "AB.C"},
        {std::string("AB\0DEFGHTXT", 11), "AB"},  // a zero ends the name before the point
        {std::string("ABCDEFGH\0XT", 11), "ABCDEFGH"},
        {std::string("ABCDEFGHT\0T", 11), "ABCDEFGH.T"},
        {"DATA    \x80\xA0\xFF", "DATA.\xC2\x80\xC2\xA0\xC3\xBF"},  // high bytes pass through as Latin-1
        {".X         ", ".X"},
        {"...     TXT", "....TXT"},
        {"A:B     C:D", "A:B.C:D"},                 // ':' separates nothing on this host
        {"A.      .  ", "A"},                       // every trailing point goes, as where points at the end are ignored
        {"\x7F" "       TXT", "\x7F.TXT"},
    };
    for (const Case& c : cases) {
        auto built = CHostName::Build(Target(c.target));
        ASSERT_TRUE(built.has_value()) << c.target;
        EXPECT_EQ(*built, c.host) << c.target;
    }
}

TEST(HostName, RefusesNamesThatCouldLeaveTheFolder)
{
    const std::string hostile[] = {
        "..         ",                  // ".."
        ".          ",                  // "."
        "           ",                  // nothing at all
        std::string(11, '\0'),
        std::string("\0BCDEFGHTXT", 11),
        "..      .  ",                  // "...." loses its points: nothing left
        "A/B     TXT",
        "/ETC    PAS",
        "NAME    /  ",
        "..      /  ",
        "A\x01" "B     TXT",
        "NAME    T\nT",
        "\x1F" "       TXT",
        "NAME\t   TXT",
        std::string("NAME    \x1B\0\0", 11),
    };
    for (const std::string& name : hostile)
        EXPECT_FALSE(CHostName::Build(Target(name)).has_value()) << name;
}

TEST(FolderLookup, ComparesAsciiAndLatin1LettersWithoutCase)
{
    EXPECT_TRUE(CFolderLookup::SameName("GAME.BAS", "game.bas"));
    EXPECT_TRUE(CFolderLookup::SameName("\xC3\x85SA.TXT", "\xC3\xA5sa.txt"));  // Å and å
    EXPECT_TRUE(CFolderLookup::SameName("\xC3\xBF", "\xC5\xB8"));             // ÿ and its capital
    EXPECT_FALSE(CFolderLookup::SameName("\xC3\x97", "\xC3\xB7"));            // × and ÷ are not letters
    EXPECT_FALSE(CFolderLookup::SameName("GAME.BAS", "GAME.BA"));
    EXPECT_FALSE(CFolderLookup::SameName("GAME.BAS", "GAME.BASX"));
    EXPECT_FALSE(CFolderLookup::SameName("[", "{"));                          // 0x5B and 0x7B are not letters
    EXPECT_FALSE(CFolderLookup::SameName("\xC1\x81", "A"));                   // an overlong form is not 'A'
    EXPECT_FALSE(CFolderLookup::SameName("\xC3", "\xC3\x85"));                // a cut sequence is not a letter
    EXPECT_TRUE(CFolderLookup::SameName("\xFF\xFE", "\xFF\xFE"));             // broken names still equal themselves
}

TEST(FolderLookup, FindsExistingFilesAndPrefersTheExactName)
{
    TempFolder t;
    const std::string store = t.File("store") + "/";
    std::filesystem::create_directory(store);
    t.WriteText("store/game.bas", "lower");
    t.WriteText("store/\xC3\xA5sa.txt", "ring");

    EXPECT_EQ(CFolderLookup::Resolve(store + "GAME.BAS"), store + "game.bas");
    EXPECT_EQ(CFolderLookup::Resolve(store + "\xC3\x85SA.TXT"), store + "\xC3\xA5sa.txt");
    EXPECT_EQ(CFolderLookup::Resolve(store + "NEW.BAS"), store + "NEW.BAS");  // created as built

    t.WriteText("store/Game.Bas", "mixed");
    EXPECT_EQ(CFolderLookup::Resolve(store + "GAME.BAS"), store + "Game.Bas");  // first in byte order
    t.WriteText("store/GAME.BAS", "exact");
    EXPECT_EQ(CFolderLookup::Resolve(store + "GAME.BAS"), store + "GAME.BAS");

    // Without a trailing separator the name is glued to the folder's last component.
    t.WriteText("storegame.bas", "glued");
    EXPECT_EQ(CFolderLookup::Resolve(t.File("store") + "GAME.BAS"), t.File("storegame.bas"));
    // No folder text: the working directory.
    EXPECT_EQ(CFolderLookup::Resolve("STOREGAME.BAS"), "storegame.bas");
    // A folder that cannot be read leaves the path as it is.
    EXPECT_EQ(CFolderLookup::Resolve(t.File("missing/") + "GAME.BAS"), t.File("missing/") + "GAME.BAS");
}
