// The built ROM images on the emulated machine: typed sessions through the headless runner,
// checked by their screen text, the files they write and their port 6 traffic. Ctrl+C and
// a held key cannot be typed through the runner, so those cases, and calls straight into the
// device ROMs, drive the machine in-process, typing as the runner does.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "BasicListing.h"
#include "HeadlessBasic.h"
#include "MachineSession.h"
#include "TempFolder.h"
#include "bus/CIoBus.h"
#include "bus/CMemory.h"
#include "bus/CPortObserver.h"
#include "core/CEmuApp.h"
#include "core/CScreenText.h"
#include "core/Settings.h"
#include "cpu/CCpu.h"
#include "devices/CKeyboard.h"

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::string>;

// A temporary working folder holding copies of the runtime files and a file store "store/".
class RuntimeFolder : public HeadlessBasic::RuntimeFolder {
public:
    RuntimeFolder() { fs::create_directory(Path() / "store"); }
};

// Runs the headless runner on a session from power-on that shows the screen at its end, and
// returns that screen as 24 rows without trailing blanks.
Rows TypedScreen(const std::string& text)
{
    std::vector<std::string> arguments = HeadlessBasic::TypedArguments({}, text);
    arguments.push_back("--screen");
    EXPECT_EQ(HeadlessBasic::RunHeadless(arguments), 0) << text;
    std::vector<Rows> screens;
    std::ifstream out("runner.out");
    for (std::string row; std::getline(out, row);) {
        row.erase(row.find_last_not_of(' ') + 1);
        if (screens.empty() || screens.back().size() == 24)
            screens.emplace_back();
        screens.back().push_back(row);
    }
    EXPECT_TRUE(!screens.empty() && screens.back().size() == 24) << text;
    return screens.empty() ? Rows() : screens.back();
}

TEST(FirmwareEndToEnd, BannerArithmeticErrorsAndLineWrapping)
{
    RuntimeFolder folder;
    const std::string rem = "10 rem 3456789012345678901234567890abcde";  // a full row
    const Rows expected = {
        "Vorlix BASIC 2.0", "24062 bytes free", "Ready", "print 6*7", " 42", "Ready",
        rem, "20 x=3:print x/(x-3)", "run", "Division by zero in 20", "Ready",
        "list", "10 REM 3456789012345678901234567890abcde", "20 X=3:PRINT X/(X-3)", "Ready",
        "print \"" + std::string(33, 'x'), std::string(12, 'x') + "\"", std::string(40, 'x'),
        std::string(5, 'x'), "Ready", "", "", "", ""};
    EXPECT_EQ(TypedScreen("print 6*7\\n" + rem + "\\n20 x=3:print x/(x-3)\\nrun\\nlist\\nprint \"" +
                          std::string(45, 'x') + "\"\\n"),
              expected);
}

TEST(FirmwareEndToEnd, CtrlCBreaksHeldKeysRepeatAndSetSwitchCodesGiveBlocks)
{
    constexpr std::uint8_t SCAN_C = 0x2E, SCAN_A = 0x1E;
    // Text is typed as the runner types it, with 10 frames after it; a held key is released 3
    // frames before what comes next.
    MachineSession m(VORLIX_RUNTIME);
    const auto type = [&m](const std::string& text) {
        m.Keys(text);
        m.Frames(10);
    };
    m.Frames(50);
    EXPECT_EQ(m.Cell(3, 0), 0xA0);  // the cursor is a blinking space where typing goes
    type("10 i=i+1:goto 10\n");
    EXPECT_EQ(m.Cell(4, 0), 0xA0);
    type("run\n");
    m.Frames(100);
    EXPECT_EQ(m.Screen()[5], "");
    m.Press(SCAN_C, CKeyboard::SCAN_CTRL, 3, 3);
    m.Frames(20);
    type("list\nprint i>100\n");
    for (const auto& [number, text] : std::map<int, std::string>{
             {5, "Break in 10"}, {6, "Ready"}, {8, "10 I=I+1:GOTO 10"}, {11, "-1"}})
        EXPECT_EQ(m.Screen()[number], text) << number;

    // Block graphics after a set-switch code; video memory by address (the last cell).
    type("print \"a\";chr$(23);\"b\"\npoke &h7fd0+39,42:print peek(&h7ff7)\n");
    EXPECT_EQ(m.Screen()[14], std::string("a ") + CScreenText::GRAPHICS);
    EXPECT_EQ(m.Screen()[17], " 42");
    EXPECT_EQ(m.Cell(23, 39), 42);

    m.Press(SCAN_A, 0, 20, 3);  // shorter than the delay: one character
    EXPECT_EQ(m.Screen()[19], "a");
    m.Press(SCAN_A, 0, 50, 3);  // one, then a repeat every 3 frames after 25
    const std::string repeated = m.Screen()[19];
    EXPECT_TRUE(repeated.size() >= 10 && repeated.size() <= 12 && repeated == std::string(repeated.size(), 'a'))
        << repeated;
}

// Records each command written to the printer port with the registers it carried.
class PrinterLog final : public CPortObserver {
public:
    explicit PrinterLog(CCpu& cpu) : cpu(cpu) {}
    void OnPortWrite(std::uint8_t port, std::uint8_t value) override
    {
        if (port == 254)
            entries.push_back({value, cpu.Regs().bc, cpu.Regs().de, cpu.Regs().hl});
    }
    std::vector<std::array<int, 4>> entries;  // command, BC, DE, HL
    CCpu& cpu;
};

// The printer ROM called directly: 600 bytes at 0x9000 go to the channel in runs of 255.
TEST(FirmwareEndToEnd, PrinterRomSplitsLongTextIntoRunsOf255)
{
    MachineSession m(VORLIX_RUNTIME);
    m.App().Config().printDestination = "out.prn";
    std::string text;
    for (int i = 0; i < 600; ++i)
        text += static_cast<char>('A' + i % 26);
    const std::uint8_t code[] = {0x06, 0x01, 0xCD, 0x00, 0x78,        // ld b,1 / call open
                                 0x21, 0x00, 0x90, 0x11, 0x58, 0x02,  // ld hl,0x9000 / ld de,600
                                 0xCD, 0x03, 0x78,                    // call print
                                 0xCD, 0x06, 0x78, 0x76};             // call close / halt
    for (std::uint32_t i = 0; i < text.size(); ++i)
        m.App().Memory().WriteByte(0x9000 + i, static_cast<std::uint8_t>(text[i]));
    for (std::uint32_t i = 0; i < std::size(code); ++i)
        m.App().Memory().WriteByte(0x8000 + i, code[i]);
    CCpu::Registers& r = m.App().Cpu().Regs();
    r.pc = 0x8000;
    r.sp = 0xF000;
    r.iff1 = r.iff2 = 0;
    PrinterLog log(m.App().Cpu());
    m.App().Bus().SetObserver(&log);
    m.App().Cpu().AddCycles(200000);
    m.App().Cpu().Run(200000);
    m.App().Bus().SetObserver(nullptr);
    EXPECT_EQ(log.entries, (std::vector<std::array<int, 4>>{
                               {1, 0x0100, 0x0000, 0xF600},  // open slot 1: HL is its buffer
                               {4, 0x01FF, 0x0258, 0x9000},  // 255 bytes
                               {4, 0x01FF, 0x0159, 0x90FF},  // 255 bytes
                               {4, 0x015A, 0x005A, 0x91FE},  // the last 90
                               {2, 0x015A, 0x0000, 0x9258},  // close slot 1
                           }));
    EXPECT_EQ(ReadFile(m.Folder() / "out.prn"), text);
}

}  // namespace

// Listings typed in by --paste come back exactly through SAVE: every line end kind is Enter,
// a tab a space, and what the machine cannot type is skipped and counted on stderr.
TEST(FirmwareEndToEnd, PastedListingsComeBackExactlyThroughSave)
{
    RuntimeFolder folder;
    const std::string listing = BasicListing::Make(300);
    // The same listing with CR LF, CR and LF line ends in turn.
    std::string mixed;
    int line = 0;
    for (char c : listing)
        mixed += c != '\n' ? std::string(1, c) : (++line % 3 == 0 ? "\r\n" : line % 3 == 1 ? "\r" : "\n");
    const struct {
        std::string pasted, saved, err;
    } cases[] = {
        {mixed, listing, ""},
        {"10 REM a\tb\xE2\x82\xAC\r\n20 REM \xC3\xA4\x01!\n", "10 REM a b\n20 REM {!\n",
         "vorlix-headless: pasted.txt: skipped 2 characters the machine cannot type\n"},
    };
    for (const auto& [pasted, saved, err] : cases) {
        folder.WriteText("pasted.txt", pasted);
        folder.WriteText("save.txt", BasicListing::SaveCommand("PASTED"));
        fs::remove(folder.Path() / "store" / BasicListing::SavedName("PASTED"));
        ASSERT_EQ(HeadlessBasic::RunHeadless({"--set", "FileFolder=store/", "--frames", "50", "--paste", "pasted.txt",
                                              "--paste", "save.txt", "--frames", "1500"}),
                  0);
        EXPECT_EQ(BasicListing::FromSaved(ReadFile(folder.Path() / "store" / BasicListing::SavedName("PASTED"))), saved);
        EXPECT_EQ(ReadFile(folder.Path() / "runner.err"), err);
    }
}
