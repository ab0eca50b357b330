#include <gtest/gtest.h>

#include <string>

#include "ChannelMachine.h"
#include "devices/CFolderLookup.h"
#include "devices/CHostName.h"
#include "devices/TranslateChar.h"

TEST(TranslateChar, TenNationalLettersAndEverythingElseUnchanged)
{
    const std::string from = "\x40\x5B\x5C\x5D\x5E\x60\x7B\x7C\x7D\x7E", to = "\xC9\xC4\xD6\xC5\xDC\xE9\xE4\xF6\xE5\xFC";
    for (int code = 0; code < 256; ++code) {
        const auto at = from.find(static_cast<char>(code));
        const int expected = at == std::string::npos ? code : static_cast<std::uint8_t>(to[at]);
        EXPECT_EQ(TranslateChar(static_cast<std::uint8_t>(code)), expected) << code;
    }
}

TEST(HostName, BuildsUtf8NamesFromTheElevenBytes)
{
    const std::pair<std::string, std::string> cases[] = {
        {"GAME    BAS", "GAME.BAS"},
        {"  A  B  C  ", "AB.C"},
        {"ABCDEFGHIJK", "ABCDEFGH.IJK"},
        {"\x5D" "SA     TXT", "\xC3\x85SA.TXT"},  // 0x5D is A with ring: 0xC5, stored as UTF-8
        {"DATA    \x80\xA0\xFF", "DATA.\xC2\x80\xC2\xA0\xC3\xBF"},  // high bytes are Latin-1
        {"NAME       ", "NAME"},                                    // all-space extension: no point
        {"NAME    B  ", "NAME.B"},
        {"A.      .  ", "A"},                                       // every trailing point goes
        {std::string("AB\0DEFGHTXT", 11), "AB"},                    // a zero ends the name
        {std::string("ABCDEFGHT\0T", 11), "ABCDEFGH.T"},
        {"...     TXT", "....TXT"},
        {"A:B     C:D", "A:B.C:D"},  // ':' separates nothing on this host
        {"\x7F" "       TXT", "\x7F.TXT"},
    };
    for (const auto& [target, host] : cases) {
        CHostName::TargetName t{};
        std::copy(target.begin(), target.end(), t.begin());
        EXPECT_EQ(CHostName::Build(t).value_or("(refused)"), host) << target;
    }
}

TEST(FolderLookup, ComparesAsciiAndLatin1LettersWithoutCase)
{
    const struct {
        const char *a, *b;
        bool same;
    } cases[] = {
        {"GAME.BAS", "game.bas", true},
        {"\xC3\x85SA.TXT", "\xC3\xA5sa.txt", true},  // Å and å
        {"\xC3\xBF", "\xC5\xB8", true},              // ÿ and its capital
        {"\xFF\xFE", "\xFF\xFE", true},              // broken names still equal themselves
        {"\xC3\x97", "\xC3\xB7", false},             // × and ÷ are not letters
        {"GAME.BAS", "GAME.BA", false},
        {"GAME.BAS", "GAME.BASX", false},
        {"[", "{", false},                           // 0x5B and 0x7B are not letters
        {"\xC1\x81", "A", false},                    // an overlong form is not 'A'
        {"\xC3", "\xC3\x85", false},                 // a cut sequence is not a letter
    };
    for (const auto& c : cases)
        EXPECT_EQ(CFolderLookup::SameName(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(FolderLookup, FindsExistingFilesAndPrefersTheExactName)
{
    TempFolder t;
    const std::string store = t.File("store") + "/";
    fs::create_directory(store);
    t.WriteText("store/\xC3\xA5sa.txt", "ring");
    t.WriteText("store/game.bas", "lower");
    t.WriteText("store/Game.Bas", "mixed");
    EXPECT_EQ(CFolderLookup::Resolve(store + "\xC3\x85SA.TXT"), store + "\xC3\xA5sa.txt");
    EXPECT_EQ(CFolderLookup::Resolve(store + "GAME.BAS"), store + "Game.Bas");  // first in byte order
    EXPECT_EQ(CFolderLookup::Resolve(store + "NEW.BAS"), store + "NEW.BAS");    // created as built
    EXPECT_EQ(CFolderLookup::Resolve(store + "game.bas"), store + "game.bas");  // the exact name wins
    t.WriteText("storegame.bas", "here");
    EXPECT_EQ(CFolderLookup::Resolve("STOREGAME.BAS"), "storegame.bas");  // no folder: the working directory
    EXPECT_EQ(CFolderLookup::Resolve(t.File("missing/GAME.BAS")), t.File("missing/GAME.BAS"));
}
