// The built ROM images on the emulated machine: typed sessions through the headless runner,
// checked by their screen text, the files they write and their port 6 traffic. Ctrl+C and
// a held key cannot be typed through the runner, so those cases, and calls straight into the
// device ROMs, drive the machine in-process, typing as the runner does.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "BasicListing.h"
#include "CQuietShell.h"
#include "HeadlessBasic.h"
#include "TempFolder.h"
#include "bus/CIoBus.h"
#include "bus/CMemory.h"
#include "bus/CPortObserver.h"
#include "core/CEmuApp.h"
#include "core/CKeyFeeder.h"
#include "core/CScreenText.h"
#include "core/CTypist.h"
#include "core/Settings.h"
#include "cpu/CCpu.h"
#include "devices/CDisplay.h"
#include "devices/CKeyboard.h"

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::string>;

// A temporary working folder holding copies of the runtime files and a file store "store/".
class RuntimeFolder : public HeadlessBasic::RuntimeFolder {
public:
    RuntimeFolder() { fs::create_directory(Path() / "store"); }
};

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The runner's arguments for a session from power-on: a second for the banner, the typed
// text, `frames` to finish, then the screen.
Rows Typed(const std::string& text, int frames = 150)
{
    return {"--frames", "50", "--type", text, "--frames", std::to_string(frames), "--screen"};
}

// Runs the headless runner and returns each screen it printed as 24 rows without trailing
// blanks.
std::vector<Rows> Session(const Rows& args)
{
    std::string command = VORLIX_HEADLESS;
    for (const std::string& a : args)
        command += " '" + a + "'";  // the tests pass no single quotes
    FILE* pipe = popen(command.c_str(), "r");
    std::vector<Rows> screens;
    char line[256];
    while (pipe && std::fgets(line, sizeof line, pipe)) {
        std::string row(line);
        row.erase(row.find_last_not_of(" \n") + 1);
        if (screens.empty() || screens.back().size() == 24)
            screens.emplace_back();
        screens.back().push_back(row);
    }
    EXPECT_TRUE(pipe && pclose(pipe) == 0) << command;
    EXPECT_TRUE(!screens.empty() && screens.back().size() == 24) << command;
    return screens;
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
    EXPECT_EQ(Session(Typed("print 6*7\\n" + rem + "\\n20 x=3:print x/(x-3)\\nrun\\nlist\\nprint \"" +
                            std::string(45, 'x') + "\"\\n")).back(),
              expected);
}

class Machine {
public:
    Machine() : app(shell) { started = app.Startup(); }
    ~Machine() { app.Shutdown(); }

    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            app.RunSlice();
            shell.waveOut.DeliverFinished([this](WaveBuffer& b) { app.Sound().OnBufferDone(b); });
        }
    }

    void Hold(std::uint8_t scan, int frames, std::uint8_t modifier = 0)
    {
        for (std::uint8_t key : {modifier, scan})
            if (key)
                app.Keyboard().KeyDown(key);
        Frames(frames);
        for (std::uint8_t key : {scan, modifier})
            if (key)
                app.Keyboard().KeyUp(key);
        Frames(3);
    }

    void Type(const std::string& text)
    {
        std::vector<KeyStroke> strokes;
        std::string error;
        ASSERT_TRUE(CTypist::Plan(text, strokes, error)) << error;
        CKeyFeeder feeder(app.Keyboard(), app.Cpu());
        feeder.Queue(strokes);
        while (feeder.Busy()) {
            feeder.BeforeSlice();
            Frames(1);
        }
        Frames(10);
    }

    std::string Row(int row)
    {
        std::string s = CScreenText::Row(app.Memory(), row);
        return s.erase(s.find_last_not_of(' ') + 1);
    }

    std::uint8_t Cell(int row, int column)
    {
        return app.Memory().ReadByte(CDisplay::RowAddress(row) + column);
    }

    CQuietShell shell;
    CEmuApp app;
    bool started = false;
};

TEST(FirmwareEndToEnd, CtrlCBreaksHeldKeysRepeatAndSetSwitchCodesGiveBlocks)
{
    constexpr std::uint8_t SCAN_CTRL = 0x1D, SCAN_C = 0x2E, SCAN_A = 0x1E;
    RuntimeFolder folder;
    Machine m;
    ASSERT_TRUE(m.started);
    m.Frames(50);
    EXPECT_EQ(m.Cell(3, 0), 0xA0);  // the cursor is a blinking space where typing goes
    m.Type("10 i=i+1:goto 10\n");
    EXPECT_EQ(m.Cell(4, 0), 0xA0);
    m.Type("run\n");
    m.Frames(100);
    EXPECT_EQ(m.Row(5), "");
    m.Hold(SCAN_C, 3, SCAN_CTRL);
    m.Frames(20);
    m.Type("list\nprint i>100\n");
    for (const auto& [row, text] : std::map<int, std::string>{
             {5, "Break in 10"}, {6, "Ready"}, {8, "10 I=I+1:GOTO 10"}, {11, "-1"}})
        EXPECT_EQ(m.Row(row), text) << row;

    // Block graphics after a set-switch code; video memory by address (the last cell).
    m.Type("print \"a\";chr$(23);\"b\"\npoke &h7fd0+39,42:print peek(&h7ff7)\n");
    EXPECT_EQ(m.Row(14), std::string("a ") + CScreenText::GRAPHICS);
    EXPECT_EQ(m.Row(17), " 42");
    EXPECT_EQ(m.Cell(23, 39), 42);

    m.Hold(SCAN_A, 20);  // shorter than the delay: one character
    EXPECT_EQ(m.Row(19), "a");
    m.Hold(SCAN_A, 50);  // one, then a repeat every 3 frames after 25
    std::string row = m.Row(19);
    EXPECT_TRUE(row.size() >= 10 && row.size() <= 12 && row == std::string(row.size(), 'a')) << row;
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
    RuntimeFolder folder;
    Machine m;
    ASSERT_TRUE(m.started);
    m.app.Config().printDestination = "out.prn";
    std::string text;
    for (int i = 0; i < 600; ++i)
        text += static_cast<char>('A' + i % 26);
    const std::uint8_t code[] = {0x06, 0x01, 0xCD, 0x00, 0x78,        // ld b,1 / call open
                                 0x21, 0x00, 0x90, 0x11, 0x58, 0x02,  // ld hl,0x9000 / ld de,600
                                 0xCD, 0x03, 0x78,                    // call print
                                 0xCD, 0x06, 0x78, 0x76};             // call close / halt
    for (std::uint32_t i = 0; i < text.size(); ++i)
        m.app.Memory().WriteByte(0x9000 + i, static_cast<std::uint8_t>(text[i]));
    for (std::uint32_t i = 0; i < std::size(code); ++i)
        m.app.Memory().WriteByte(0x8000 + i, code[i]);
    CCpu::Registers& r = m.app.Cpu().Regs();
    r.pc = 0x8000;
    r.sp = 0xF000;
    r.iff1 = r.iff2 = 0;
    PrinterLog log(m.app.Cpu());
    m.app.Bus().SetObserver(&log);
    m.app.Cpu().AddCycles(200000);
    m.app.Cpu().Run(200000);
    m.app.Bus().SetObserver(nullptr);
    EXPECT_EQ(log.entries, (std::vector<std::array<int, 4>>{
                               {1, 0x0100, 0x0000, 0xF600},  // open slot 1: HL is its buffer
                               {4, 0x01FF, 0x0258, 0x9000},  // 255 bytes
                               {4, 0x01FF, 0x0159, 0x90FF},  // 255 bytes
                               {4, 0x015A, 0x005A, 0x91FE},  // the last 90
                               {2, 0x015A, 0x0000, 0x9258},  // close slot 1
                           }));
    EXPECT_EQ(Slurp(folder.Path() / "out.prn"), text);
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
        const std::string command = std::string(VORLIX_HEADLESS) +
                                    " --set FileFolder=store/ --frames 50 --paste pasted.txt --paste save.txt"
                                    " --frames 1500 2> stderr.txt";
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(BasicListing::FromSaved(Slurp(folder.Path() / "store" / BasicListing::SavedName("PASTED"))), saved);
        EXPECT_EQ(Slurp(folder.Path() / "stderr.txt"), err);
    }
}
