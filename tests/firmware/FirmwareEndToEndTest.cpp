// The built ROM images on the emulated machine: typed sessions through the headless runner,
// checked by their screen text, the files they write and their port 6 traffic. Ctrl+C and
// a held key cannot be typed through the runner, so those cases, and calls straight into the
// device ROMs, drive the machine in-process with the same hold and gap frames the runner uses.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "TempFolder.h"
#include "bus/CIoBus.h"
#include "bus/CMemory.h"
#include "bus/CPortObserver.h"
#include "core/CEmuApp.h"
#include "core/CEmuShell.h"
#include "core/CScreenText.h"
#include "core/CTypist.h"
#include "core/Settings.h"
#include "cpu/CCpu.h"
#include "devices/CDisplay.h"
#include "devices/CKeyboard.h"
#include "host/CNullWaveOut.h"

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::string>;

const char* const RUNTIME_FILES[] = {"basic.rom", "dev_dos.rom", "dev_pr.rom", "font.bin",
                                     "noise.snd", "vco_hi.snd", "vco_lo.snd", "vco_slf.snd",
                                     "slf.snd"};

// A temporary working folder holding copies of the runtime files and a file store "store/".
class RuntimeFolder : public TempFolder {
public:
    RuntimeFolder()
    {
        for (const char* name : RUNTIME_FILES)
            fs::copy_file(fs::path(VORLIX_RUNTIME) / name, Path() / name);
        fs::create_directory(Path() / "store");
    }
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
        "Vorlix BASIC 1.0", "29935 bytes free", "Ready", "print 6*7", " 42", "Ready",
        rem, "20 x=3:print x/(x-3)", "run", "Division by zero in 20", "Ready",
        "list", "10 REM 3456789012345678901234567890abcde", "20 X=3:PRINT X/(X-3)", "Ready",
        "print \"" + std::string(33, 'x'), std::string(12, 'x') + "\"", std::string(40, 'x'),
        std::string(5, 'x'), "Ready", "", "", "", ""};
    EXPECT_EQ(Session(Typed("print 6*7\\n" + rem + "\\n20 x=3:print x/(x-3)\\nrun\\nlist\\nprint \"" +
                            std::string(45, 'x') + "\"\\n")).back(),
              expected);
}

// A program with loops, subroutines, strings and arrays, and arithmetic the cross-compiler
// could get wrong (multiplications with high low bytes, the string collector, array
// arithmetic, INPUT while a program runs): the ROM prints what the host build prints.
TEST(FirmwareEndToEnd, ProgramRunsAsOnTheHost)
{
    RuntimeFolder folder;
    Rows screen = Session(Typed(
        "10 print 181*181;-200*100;255*128;-7/2;-7 mod 2;300/-7\\n"
        "20 print -32768;-128*256;1000*-32;-1*-32767;17 and -2;-32768 or 1\\n"
        "30 print \"ab\"<\"b\";\"abc\">\"ab\";val(\"-123\")+1;str$(-32768);asc(chr$(200))\\n"
        "40 a$=\"\":for i=1 to 320:a$=left$(a$+chr$(65+i mod 26),50):next:print len(a$);right$(a$,3)\\n"
        "50 randomize 7:for i=1 to 8:print rnd(100);:next:print\\n"
        "60 dim b(300):for i=0 to 300:b(i)=i*100:next:s=0:for i=0 to 300:s=s+b(i)/100 mod 7:next:print s\\n"
        "62 dim n$(3):for i=1 to 3:read n$(i):next:gosub 90\\n"
        "64 s$=\"\":for i=3 to 1 step -2:s$=s$+left$(n$(i),2):next:print s$;mid$(\"hello\",2,3)\\n"
        "70 input \"n\";n:print n*2;\\n"
        "80 print 200*200\\n"
        "90 for i=1 to 3:print n$(i);\" \";:next:print:return\\n"
        "95 data apple,\"pear, ripe\",plum\\n"
        "run\\n21\\n",
        1000)).back();
    const Rows expected = {"run", " 32761-20000 32640-3-1-42", "-32768-32768-32000 32767 16-32767",
                           "-1-1-122-32768 200", " 50WXY", " 95 43 86 74 81 41 4 40", " 903",
                           "apple pear, ripe plum", "plapell", "n? 21", " 42", "Overflow in 80",
                           "Ready", ""};
    EXPECT_EQ(Rows(screen.end() - expected.size(), screen.end()), expected);
}

// SAVE writes the text file (and hostile names write nothing), LOAD reads host-written
// files with CR LF and LF line ends, LLIST and LPRINT fill the printer file, SOUND writes
// port 6.
TEST(FirmwareEndToEnd, SaveLoadPrinterAndSound)
{
    RuntimeFolder folder;
    folder.WriteText("store/DOS.BAS", "10 PRINT \"crlf\";\r\n20 PRINT 1+1\r\n");
    std::string unix;
    for (int n = 1; n <= 12; ++n)  // more than one 256-byte record
        unix += std::to_string(n * 10) + " REM line " + std::to_string(n) + " of a unix text file\n";
    folder.WriteText("store/UNIX.BAS", unix + "130 PRINT \"lf\"\n");
    Rows args = {"--set", "FileFolder=store/", "--set", "PrintDestination=printer.txt", "--set",
                 "PrintAppend=1", "--port6-log", "port6.txt"};
    for (const Rows& part :
         {Typed("10 print \"hi\"\\n20 lprint \"total\";6*7\\nsave \"prog\"\\nsave \"../x\"\\nsave \"a/b\"\\n"),
          Typed("llist\\nrun\\nsound 65:sound 0\\ncls\\nload \"dos\"\\nrun\\nload \"unix.bas\"\\nrun\\n"
                "list 120-\\nload \"none\"\\n")})
        args.insert(args.end(), part.begin(), part.end());
    auto screens = Session(args);
    ASSERT_EQ(screens.size(), 2u);
    EXPECT_EQ(Rows(screens[0].begin() + 5, screens[0].begin() + 14),
              (Rows{"save \"prog\"", "Ready", "save \"../x\"", "Bad file name", "Ready",
                    "save \"a/b\"", "Bad file name", "Ready", ""}));
    EXPECT_EQ(Rows(screens[1].begin(), screens[1].begin() + 18),
              (Rows{"Ready", "load \"dos\"", "Ready", "run", "crlf 2", "Ready", "load \"unix.bas\"",
                    "Ready", "run", "lf", "Ready", "list 120-", "120 REM line 12 of a unix text file",
                    "130 PRINT \"lf\"", "Ready", "load \"none\"", "File not found", "Ready"}));
    std::string prog = "10 PRINT \"hi\"\r\n20 LPRINT \"total\";6*7\r\n";
    EXPECT_EQ(Slurp(folder.Path() / "store" / "PROG.BAS"),
              prog + std::string(256 - prog.size(), '\x1A'));
    EXPECT_EQ(Slurp(folder.Path() / "printer.txt"), prog + "total 42\r\n");
    std::istringstream log(Slurp(folder.Path() / "port6.txt"));
    Rows values;
    for (std::string frame, value; log >> frame >> value;)
        values.push_back(value);
    EXPECT_EQ(values, (Rows{"0x41", "0x00"}));
    // Only the one file was made in the store, and nothing new beside it.
    auto count = [](const fs::path& p) { return std::distance(fs::directory_iterator(p), {}); };
    EXPECT_EQ(count(folder.Path() / "store"), 3);
    EXPECT_EQ(count(folder.Path()), std::ssize(RUNTIME_FILES) + 3);
}

class QuietShell final : public CEmuShell {
public:
    void ReadSettings(Settings& settings) override { settings = Settings{}; }
    bool CreateMainWindow() override { return true; }
    void DestroyMainWindow() override {}
    void ShowMessage(const std::string&) override {}
    CWaveOut& WaveOut() override { return waveOut; }
    void AppendAboutItem() override {}
    void ShowMainWindow() override {}
    void EnableRun() override {}
    CNullWaveOut waveOut;
};

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
        for (const KeyStroke& s : strokes)
            Hold(s.scan, 3, s.shift ? CTypist::SCAN_SHIFT : 0);
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

    QuietShell shell;
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
    m.Hold(SCAN_A, 50);  // one, then a repeat every 0.1 s after 0.5 s
    std::string row = m.Row(19);
    EXPECT_TRUE(row.size() >= 7 && row.size() <= 9 && row == std::string(row.size(), 'a')) << row;
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
