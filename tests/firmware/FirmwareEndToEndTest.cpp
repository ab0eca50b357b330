// The built ROM images on the emulated machine: typed sessions through the headless runner,
// checked by their screen text, the files they write and their port 6 traffic. Ctrl+C and
// a held key cannot be typed through the runner, so those cases drive the machine in-process
// with the same hold and gap frames the runner uses.
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
#include "cpu/CCpu.h"
#include "core/CEmuApp.h"
#include "core/CEmuShell.h"
#include "core/CScreenText.h"
#include "devices/CDisplay.h"
#include "core/CTypist.h"
#include "core/Settings.h"
#include "devices/CKeyboard.h"
#include "host/CNullWaveOut.h"

namespace fs = std::filesystem;

namespace {

const char* const RUNTIME_FILES[] = {"basic.rom", "dev_dos.rom", "dev_pr.rom", "font.bin",
                                     "noise.snd", "vco_hi.snd", "vco_lo.snd", "vco_slf.snd",
                                     "slf.snd"};

// A temporary working folder holding copies of the runtime files.
class RuntimeFolder : public TempFolder {
public:
    RuntimeFolder()
    {
        for (const char* name : RUNTIME_FILES)
            fs::copy_file(fs::path(VORLIX_RUNTIME) / name, Path() / name);
    }
};

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs the headless runner in the working folder and returns what it printed.
std::string Headless(const std::vector<std::string>& args)
{
    std::string command = Quote(VORLIX_HEADLESS);
    for (const auto& a : args)
        command += " " + Quote(a);
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "";
    std::string out;
    std::array<char, 4096> chunk{};
    std::size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        out.append(chunk.data(), n);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return out;
}

// The last screen the runner printed, as 24 rows with trailing spaces removed.
std::vector<std::string> LastScreen(const std::string& output)
{
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        line.erase(line.find_last_not_of(' ') + 1);
        lines.push_back(line);
    }
    if (lines.size() < 24)
        return lines;
    return {lines.end() - 24, lines.end()};
}

// A typed session from power-on: a second for the banner, the text, then time to finish.
std::vector<std::string> Session(const std::string& typed, std::vector<std::string> extra = {},
                                 const std::string& finishFrames = "150")
{
    std::vector<std::string> args = extra;
    args.insert(args.end(), {"--frames", "50", "--type", typed, "--frames", finishFrames, "--screen"});
    return LastScreen(Headless(args));
}

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Padded(std::string s)
{
    while (s.size() % 256)
        s += '\x1A';
    return s;
}

TEST(FirmwareEndToEnd, BannerPromptAndSimpleArithmetic)
{
    RuntimeFolder folder;
    auto screen = LastScreen(Headless({"--frames", "50", "--screen"}));
    ASSERT_EQ(screen.size(), 24u);
    EXPECT_EQ(screen[0], "Vorlix BASIC 1.0");
    EXPECT_EQ(screen[1], "29935 bytes free");
    EXPECT_EQ(screen[2], "Ready");
    for (int row = 3; row < 24; ++row)
        EXPECT_EQ(screen[row], "") << row;

    screen = Session("print 6*7\\n");
    EXPECT_EQ(screen[3], "print 6*7");
    EXPECT_EQ(screen[4], " 42");
    EXPECT_EQ(screen[5], "Ready");
}

TEST(FirmwareEndToEnd, AFullRowTakesOneRowAndLongerLinesWrap)
{
    RuntimeFolder folder;
    const std::string full = "10 rem 3456789012345678901234567890abcde";  // 40 characters
    ASSERT_EQ(full.size(), 40u);
    auto screen = Session(full + "\\nlist\\nprint \"" + std::string(45, 'x') + "\"\\n");
    EXPECT_EQ(screen[3], full);
    EXPECT_EQ(screen[4], "list");
    EXPECT_EQ(screen[5], "10 REM 3456789012345678901234567890abcde");
    EXPECT_EQ(screen[6], "Ready");
    EXPECT_EQ(screen[7], "print \"" + std::string(33, 'x'));
    EXPECT_EQ(screen[8], std::string(12, 'x') + "\"");
    EXPECT_EQ(screen[9], std::string(40, 'x'));
    EXPECT_EQ(screen[10], std::string(5, 'x'));
    EXPECT_EQ(screen[11], "Ready");
}

TEST(FirmwareEndToEnd, ProgramWithLoopsSubroutinesStringsAndArrays)
{
    RuntimeFolder folder;
    auto screen = Session(
        "10 dim a(5),n$(3)\\n"
        "20 for i=0 to 5:a(i)=i*i:next i\\n"
        "30 for i=5 to 1 step -2:print a(i);:next:print\\n"
        "40 for i=1 to 3:read n$(i):next:gosub 100\\n"
        "50 s$=\"\":for i=3 to 1 step -1:s$=s$+left$(n$(i),2):next\\n"
        "60 print s$;len(s$);mid$(\"hello\",2,3);right$(s$,2);asc(\"A\")\\n"
        "70 end\\n"
        "100 for i=1 to 3:print n$(i);\" \";:next:print:return\\n"
        "110 data apple,\"pear, ripe\",plum\\n"
        "run\\n",
        {}, "300");
    // Typed lines longer than 40 characters wrap onto a second row.
    EXPECT_EQ(screen[17], "run");
    EXPECT_EQ(screen[18], " 25 9 1");
    EXPECT_EQ(screen[19], "apple pear, ripe plum");
    EXPECT_EQ(screen[20], "plpeap 6ellap 65");
    EXPECT_EQ(screen[21], "Ready");
}

TEST(FirmwareEndToEnd, ErrorsNameTheLineAndKeepTheProgram)
{
    RuntimeFolder folder;
    auto screen = Session("10 x=3\\n20 print x/(x-3)\\nrun\\nlist\\n");
    EXPECT_EQ(screen[5], "run");
    EXPECT_EQ(screen[6], "Division by zero in 20");
    EXPECT_EQ(screen[7], "Ready");
    EXPECT_EQ(screen[8], "list");
    EXPECT_EQ(screen[9], "10 X=3");
    EXPECT_EQ(screen[10], "20 PRINT X/(X-3)");
}

TEST(FirmwareEndToEnd, SaveWritesTheTextFileAndHostileNamesStayInTheFolder)
{
    RuntimeFolder folder;
    fs::create_directory(folder.Path() / "store");
    auto screen = Session("10 print \"hi\"\\n20 goto 10\\nsave \"prog\"\\nsave \"../x\"\\nsave \"a/b\"\\n",
                          {"--set", "FileFolder=store/"});
    EXPECT_EQ(screen[7], "save \"../x\"");
    EXPECT_EQ(screen[8], "Bad file name");
    EXPECT_EQ(screen[11], "Bad file name");
    EXPECT_EQ(Slurp(folder.Path() / "store" / "PROG.BAS"),
              Padded("10 PRINT \"hi\"\r\n20 GOTO 10\r\n"));
    // Only the one file was made, and nothing beside the store.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path() / "store"), fs::directory_iterator()), 1);
    std::size_t entries = std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator());
    EXPECT_EQ(entries, std::size(RUNTIME_FILES) + 1);
}

TEST(FirmwareEndToEnd, LoadReadsHostWrittenFiles)
{
    RuntimeFolder folder;
    fs::create_directory(folder.Path() / "store");
    folder.WriteText("store/DOS.BAS", "10 PRINT \"crlf\";\r\n20 PRINT 1+1\r\n");
    std::string unix;
    for (int n = 1; n <= 12; ++n)  // more than one 256-byte record
        unix += std::to_string(n * 10) + " REM line " + std::to_string(n) + " of a unix text file\n";
    unix += "130 PRINT \"lf\"\n";
    folder.WriteText("store/UNIX.BAS", unix);

    auto screen = Session("load \"dos\"\\nrun\\nload \"unix.bas\"\\nrun\\nlist 120-\\nload \"none\"\\n",
                          {"--set", "FileFolder=store/"});
    EXPECT_EQ(screen[6], "crlf 2");
    EXPECT_EQ(screen[11], "lf");
    EXPECT_EQ(screen[14], "120 REM line 12 of a unix text file");
    EXPECT_EQ(screen[15], "130 PRINT \"lf\"");
    EXPECT_EQ(screen[18], "File not found");
}

TEST(FirmwareEndToEnd, ListingAndPrintingGoToThePrinterFile)
{
    RuntimeFolder folder;
    auto screen = Session("10 lprint \"total\";6*7\\nllist\\nrun\\n",
                          {"--set", "PrintDestination=printer.txt", "--set", "PrintAppend=1"});
    EXPECT_EQ(screen[6], "run");
    EXPECT_EQ(screen[7], "Ready");
    EXPECT_EQ(Slurp(folder.Path() / "printer.txt"), "10 LPRINT \"total\";6*7\r\ntotal 42\r\n");
}

TEST(FirmwareEndToEnd, SoundWritesPortSix)
{
    RuntimeFolder folder;
    Headless({"--frames", "50", "--port6-log", "port6.txt", "--type", "sound 65:sound 0\\n",
              "--frames", "20"});
    std::istringstream log(Slurp(folder.Path() / "port6.txt"));
    std::vector<std::string> values;
    for (std::string frame, value; log >> frame >> value;)
        values.push_back(value);
    EXPECT_EQ(values, (std::vector<std::string>{"0x41", "0x00"}));
}

// The same program on the ROM as in the host build of the interpreter: catches code the
// cross-compiler gets wrong (multiplications with high low bytes, the string collector,
// array arithmetic, INPUT while a program runs).
TEST(FirmwareEndToEnd, TheRomComputesWhatTheHostBuildComputes)
{
    RuntimeFolder folder;
    auto screen = Session(
        "new\\n"
        "10 print 181*181;-200*100;255*128;-7/2;-7 mod 2;300/-7\\n"
        "20 print -32768;-128*256;1000*-32;-1*-32767;17 and -2;-32768 or 1\\n"
        "30 print \"ab\"<\"b\";\"abc\">\"ab\";val(\"-123\")+1;str$(-32768);asc(chr$(200))\\n"
        "40 a$=\"\":for i=1 to 320:a$=left$(a$+chr$(65+i mod 26),50):next:print len(a$);right$(a$,3)\\n"
        "50 randomize 7:for i=1 to 8:print rnd(100);:next:print\\n"
        "60 dim b(300):for i=0 to 300:b(i)=i*100:next:s=0:for i=0 to 300:s=s+b(i)/100 mod 7:next:print s\\n"
        "70 input \"n\";n:print n*2;\\n"
        "80 print 200*200\\n"
        "run\\n21\\n",
        {}, "1000");
    const std::vector<std::string> expected = {
        " 32761-20000 32640-3-1-42",
        "-32768-32768-32000 32767 16-32767",
        "-1-1-122-32768 200",
        " 50WXY",
        " 95 43 86 74 81 41 4 40",
        " 903",
        "n? 21",
        " 42",
        "Overflow in 80",
        "Ready",
    };
    ASSERT_EQ(screen.size(), 24u);
    EXPECT_EQ(std::vector<std::string>(screen.begin() + 13, screen.begin() + 23), expected);
}

// --- in-process sessions, for keys the runner cannot type ---

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
    static constexpr std::uint8_t SCAN_CTRL = 0x1D;
    static constexpr std::uint8_t SCAN_C = 0x2E;
    static constexpr std::uint8_t SCAN_A = 0x1E;

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
        if (modifier)
            app.Keyboard().KeyDown(modifier);
        app.Keyboard().KeyDown(scan);
        Frames(frames);
        app.Keyboard().KeyUp(scan);
        if (modifier)
            app.Keyboard().KeyUp(modifier);
        Frames(3);
    }

    void Type(const std::string& text)
    {
        std::vector<KeyStroke> strokes;
        std::string error;
        ASSERT_TRUE(CTypist::Plan(text, strokes, error)) << error;
        for (const KeyStroke& s : strokes)
            Hold(s.scan, 3, s.shift ? CTypist::SCAN_SHIFT : 0);
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

TEST(FirmwareEndToEnd, CtrlCBreaksAnEndlessLoopAndTheCursorBlinks)
{
    RuntimeFolder folder;
    Machine m;
    ASSERT_TRUE(m.started);
    m.Frames(50);
    // The cursor is a blinking space where the next character goes.
    EXPECT_EQ(m.Cell(3, 0), 0xA0);
    m.Type("10 i=i+1:goto 10\n");
    EXPECT_EQ(m.Cell(4, 0), 0xA0);
    m.Type("run\n");
    m.Frames(100);
    EXPECT_EQ(m.Row(5), "");
    m.Hold(Machine::SCAN_C, 3, Machine::SCAN_CTRL);
    m.Frames(20);
    EXPECT_EQ(m.Row(5), "Break in 10");
    EXPECT_EQ(m.Row(6), "Ready");
    m.Type("list\nprint i>100\n");
    m.Frames(20);
    EXPECT_EQ(m.Row(8), "10 I=I+1:GOTO 10");
    EXPECT_EQ(m.Row(11), "-1");
}

TEST(FirmwareEndToEnd, HeldKeyRepeatsAfterHalfASecond)
{
    RuntimeFolder folder;
    Machine m;
    ASSERT_TRUE(m.started);
    m.Frames(50);
    m.Hold(Machine::SCAN_A, 20);  // shorter than the delay: one character
    EXPECT_EQ(m.Row(3), "a");
    m.Hold(Machine::SCAN_A, 50);  // one, then a repeat every 0.1 s after 0.5 s
    std::string row = m.Row(3);
    EXPECT_GE(row.size(), 7u) << row;
    EXPECT_LE(row.size(), 9u) << row;
    EXPECT_EQ(row.find_first_not_of('a'), std::string::npos) << row;
}

TEST(FirmwareEndToEnd, SetSwitchCodesGiveBlockGraphics)
{
    RuntimeFolder folder;
    Machine m;
    ASSERT_TRUE(m.started);
    m.Frames(50);
    m.Type("print \"a\";chr$(23);\"b\"\n");
    m.Frames(10);
    EXPECT_EQ(m.Cell(4, 0), 'a');
    EXPECT_EQ(m.Cell(4, 1), 0x17);
    EXPECT_EQ(m.Cell(4, 2), 'b');
    EXPECT_EQ(m.Row(4), std::string("a ") + CScreenText::GRAPHICS);
    // Video memory by address: the last cell of the bottom row.
    m.Type("poke &h7fd0+39,42:print peek(&h7ff7)\n");
    m.Frames(10);
    EXPECT_EQ(m.Cell(23, 39), 42);
    EXPECT_EQ(m.Row(7), " 42");
}

// --- the device ROMs' routines called directly, with their port traffic recorded ---

// Records each command written to the two channel ports with the registers it carried.
class ChannelLog final : public CPortObserver {
public:
    explicit ChannelLog(CCpu& cpu) : cpu(cpu) {}
    void OnPortWrite(std::uint8_t port, std::uint8_t value) override
    {
        if (port == 254 || port == 255)
            entries.push_back({port, value, cpu.Regs().bc, cpu.Regs().de, cpu.Regs().hl});
    }
    struct Entry {
        int port, command, bc, de, hl;
        bool operator==(const Entry&) const = default;
    };
    std::vector<Entry> entries;

private:
    CCpu& cpu;
};

// Loads a routine at 0x8000 that ends in HALT and runs it with interrupts off.
void RunRoutine(Machine& m, const std::vector<std::uint8_t>& code)
{
    for (std::size_t i = 0; i < code.size(); ++i)
        m.app.Memory().WriteByte(static_cast<std::uint32_t>(0x8000 + i), code[i]);
    CCpu::Registers& r = m.app.Cpu().Regs();
    r.pc = 0x8000;
    r.sp = 0xF000;
    r.iff1 = r.iff2 = 0;
    m.app.Cpu().AddCycles(200000);
    m.app.Cpu().Run(200000);
}

TEST(FirmwareEndToEnd, PrinterRomSplitsLongTextIntoRunsOf255)
{
    RuntimeFolder folder;
    Machine m;
    ASSERT_TRUE(m.started);
    m.app.Config().printDestination = "out.prn";
    std::string text;
    for (int i = 0; i < 600; ++i) {
        text += static_cast<char>('A' + i % 26);
        m.app.Memory().WriteByte(0x9000 + i, static_cast<std::uint8_t>(text.back()));
    }
    ChannelLog log(m.app.Cpu());
    m.app.Bus().SetObserver(&log);
    RunRoutine(m, {0x06, 0x01, 0xCD, 0x00, 0x78,         // ld b,1 / call open
                   0x21, 0x00, 0x90, 0x11, 0x58, 0x02,   // ld hl,0x9000 / ld de,600
                   0xCD, 0x03, 0x78,                     // call print
                   0xCD, 0x06, 0x78, 0x76});             // call close / halt
    m.app.Bus().SetObserver(nullptr);
    using E = ChannelLog::Entry;
    const std::vector<E> expected = {
        {254, 1, 0x0100, 0x0000, 0xF600},  // open slot 1: HL comes back as its buffer
        {254, 4, 0x01FF, 0x0258, 0x9000},  // 255 bytes
        {254, 4, 0x01FF, 0x0159, 0x90FF},  // 255 bytes
        {254, 4, 0x015A, 0x005A, 0x91FE},  // the last 90
    };
    ASSERT_EQ(log.entries.size(), expected.size() + 1);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(log.entries[i], expected[i]) << i;
    EXPECT_EQ(log.entries.back().port, 254);
    EXPECT_EQ(log.entries.back().command, 2);  // close
    EXPECT_EQ(log.entries.back().bc >> 8, 1);
    EXPECT_EQ(Slurp(folder.Path() / "out.prn"), text);
}

TEST(FirmwareEndToEnd, FileRomRoutinesDriveTheFileChannel)
{
    RuntimeFolder folder;
    Machine m;
    ASSERT_TRUE(m.started);
    const std::string name = "REC     DAT";
    for (std::size_t i = 0; i < name.size(); ++i)
        m.app.Memory().WriteByte(0x9000 + i, static_cast<std::uint8_t>(name[i]));
    ChannelLog log(m.app.Cpu());
    m.app.Bus().SetObserver(&log);
    // Create REC.DAT on slot 2, fill its buffer with 0x5A, write it, close; open it again,
    // read the record into 0xA000, read past the end, close. Statuses go to 0x9100 onwards.
    RunRoutine(m, {0x06, 0x02, 0x11, 0x00, 0x90, 0xCD, 0x03, 0x60, 0x32, 0x00, 0x91,  // create
                   0xE5, 0x36, 0x5A, 0x54, 0x5D, 0x13, 0x01, 0xFF, 0x00, 0xED, 0xB0,  // fill
                   0xE1, 0x06, 0x02, 0xCD, 0x0C, 0x60, 0x32, 0x01, 0x91,              // write
                   0xCD, 0x06, 0x60,                                                  // close
                   0x11, 0x00, 0x90, 0xCD, 0x00, 0x60, 0x32, 0x02, 0x91,              // open
                   0x21, 0x00, 0xA0, 0xCD, 0x09, 0x60, 0x32, 0x03, 0x91,              // read
                   0xCD, 0x09, 0x60, 0x32, 0x04, 0x91,                                // past end
                   0xCD, 0x06, 0x60, 0x76});                                          // close
    m.app.Bus().SetObserver(nullptr);
    std::vector<int> commands;
    for (const auto& e : log.entries) {
        EXPECT_EQ(e.port, 255);
        EXPECT_EQ(e.bc >> 8, 2);  // every command on slot 2
        commands.push_back(e.command);
    }
    EXPECT_EQ(commands, (std::vector<int>{1, 6, 2, 0, 5, 5, 2}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(m.app.Memory().ReadByte(0x9100 + i), i == 4 ? 0xFF : 0x00) << i;
    EXPECT_EQ(Slurp(folder.Path() / "REC.DAT"), std::string(256, 'Z'));
    EXPECT_EQ(m.app.Memory().ReadByte(0xA000), 0x5A);
    EXPECT_EQ(m.app.Memory().ReadByte(0xA0FF), 0x5A);
}

}  // namespace
