#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "core/CEmuApp.h"
#include "core/CEmuShell.h"
#include "devices/CWaveOut.h"
#include "host/CHostFile.h"

namespace {

class FakeWaveOut final : public CWaveOut {
public:
    bool Open() override
    {
        ++opens;
        return openSucceeds;
    }
    bool Prepare(WaveBuffer&) override { return true; }
    bool Write(WaveBuffer&) override { return true; }
    bool Unprepare(WaveBuffer&) override { return true; }
    bool openSucceeds = true;
    int opens = 0;
};

// Records what start-up asked of the user interface, in order.
class FakeShell final : public CEmuShell {
public:
    void ReadSettings(Settings& s) override
    {
        calls.push_back("ReadSettings");
        s.fileFolder = "stored/";
    }
    bool CreateMainWindow() override
    {
        calls.push_back("CreateMainWindow");
        return windowCreates;
    }
    void DestroyMainWindow() override { calls.push_back("DestroyMainWindow"); }
    void ShowMessage(const std::string& text) override
    {
        calls.push_back("ShowMessage");
        messages.push_back(text);
    }
    void ExplainFailure(const std::string& line) override
    {
        calls.push_back("ExplainFailure");
        lines.push_back(line);
    }
    CWaveOut& WaveOut() override { return waveOut; }
    void AppendAboutItem() override { calls.push_back("AppendAboutItem"); }
    void ShowMainWindow() override { calls.push_back("ShowMainWindow"); }
    void EnableRun() override { calls.push_back("EnableRun"); }

    bool windowCreates = true;
    FakeWaveOut waveOut;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
    std::vector<std::string> lines;
};

// The complete set of start-up files in the working directory.
void WriteMachineFiles(const TempFolder& dir)
{
    dir.Write("basic.rom", 0x4000, 0x00);
    dir.Write("dev_dos.rom", 16, 0x00);
    dir.Write("dev_pr.rom", 16, 0x00);
    dir.Write("font.bin", 2560, 0x00);
    for (const char* name : {"noise.snd", "vco_hi.snd", "vco_lo.snd", "vco_slf.snd", "slf.snd"})
        dir.Write(name, 4000, 0x80);
}

const std::vector<std::string> NO_WINDOW_SHOWN_AFTER_FAILURE = {"ReadSettings", "CreateMainWindow", "ExplainFailure",
                                                                 "ShowMessage"};

// The line that explains a start-up file that could not be used.
std::string CannotRead(const std::string& file, const TempFolder& dir, const std::string& reason)
{
    return "cannot read " + file + " in " + dir.Path().string() + " (" + reason +
           "): start the emulator in the folder that holds its ROM images, font and samples";
}

}  // namespace

TEST(Startup, RunsEveryStepInOrderAndResetsTheCpu)
{
    TempFolder dir;
    WriteMachineFiles(dir);
    FakeShell shell;
    CEmuApp app(shell);
    app.Cpu().Regs().pc = 0x1234;
    app.Cpu().Regs().af = 0x5678;
    app.Cpu().pendingEvents = CCpu::EVENT_NMI;
    app.Cpu().cycleBudget = 99;

    ASSERT_TRUE(app.Startup());
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"ReadSettings", "CreateMainWindow", "AppendAboutItem",
                                                     "ShowMainWindow", "EnableRun"}));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(app.Config().fileFolder, "stored/");
    EXPECT_EQ(app.Cpu().Regs().pc, 0);
    EXPECT_EQ(app.Cpu().Regs().af, 0x5678);  // reset touches PC, I, IFFs, IM, events and budget only
    EXPECT_EQ(app.Cpu().pendingEvents, 0u);
    EXPECT_EQ(app.Cpu().cycleBudget, 0);
    EXPECT_EQ(app.Bus().ReadPort(CIoBus::PORT_KEYBOARD), 0);
    EXPECT_EQ(app.Bus().ReadPort(CIoBus::PORT_ECHO), 0xFF);
    EXPECT_GE(shell.waveOut.opens, 1);

    app.Shutdown();
    EXPECT_EQ(shell.calls.back(), "DestroyMainWindow");
}

TEST(Startup, MissingBasicRomStopsBeforeTheOtherImagesAreOpened)
{
    TempFolder dir;
    WriteMachineFiles(dir);
    std::filesystem::remove(dir.Path() / "basic.rom");

    int watch = ::inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.Path().c_str(), IN_OPEN), 0);

    FakeShell shell;
    CEmuApp app(shell);
    EXPECT_FALSE(app.Startup());
    EXPECT_EQ(shell.messages, std::vector<std::string>{"Memory initialization failed!"});
    EXPECT_EQ(shell.calls, NO_WINDOW_SHOWN_AFTER_FAILURE);

    alignas(inotify_event) char events[4096];
    std::vector<std::string> opened;
    for (ssize_t n; (n = ::read(watch, events, sizeof events)) > 0;) {
        for (char* p = events; p < events + n;) {
            auto* e = reinterpret_cast<inotify_event*>(p);
            if (e->len)
                opened.emplace_back(e->name);
            p += sizeof(inotify_event) + e->len;
        }
    }
    ::close(watch);
    EXPECT_TRUE(opened.empty()) << opened.front();

    // The failed start-up leaves the hidden window to Shutdown.
    app.Shutdown();
    EXPECT_EQ(shell.calls.back(), "DestroyMainWindow");
}

TEST(Startup, EachFailureShowsOnlyItsOwnMessageAfterALineNamingTheFileTheFolderAndWhy)
{
    struct Case {
        const char* brokenFile;
        enum { MISSING, FOLDER, SHORT, LOCKED } how;
        const char* message;
        const char* reason;
    };
    const Case cases[] = {
        {"basic.rom", Case::FOLDER, "Memory initialization failed!", "a folder, not a file"},
        {"basic.rom", Case::SHORT, "Memory initialization failed!", "needs 16384 bytes, found 100"},
        {"basic.rom", Case::LOCKED, "Memory initialization failed!", "held open by another program"},
        {"dev_pr.rom", Case::MISSING, "Memory initialization failed!", "no such file"},
        {"font.bin", Case::MISSING, "Display initialization failed!", "no such file"},
        {"font.bin", Case::FOLDER, "Display initialization failed!", "a folder, not a file"},
        {"font.bin", Case::SHORT, "Display initialization failed!", "needs 2560 bytes, found 100"},
        {"vco_lo.snd", Case::MISSING, "Sound initialization failed!", "no such file"},
        {"noise.snd", Case::SHORT, "Sound initialization failed!", "needs 110 to 16777216 bytes, found 100"},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        WriteMachineFiles(dir);
        std::filesystem::remove(dir.Path() / c.brokenFile);
        if (c.how == Case::FOLDER)
            std::filesystem::create_directory(dir.Path() / c.brokenFile);
        if (c.how == Case::SHORT || c.how == Case::LOCKED)
            dir.Write(c.brokenFile, c.how == Case::SHORT ? 100 : 0x4000, 0x00);
        CHostFile holder;
        if (c.how == Case::LOCKED) {
            ASSERT_TRUE(holder.Open(c.brokenFile, CHostFile::Mode::Read));
        }
        FakeShell shell;
        CEmuApp app(shell);
        EXPECT_FALSE(app.Startup()) << c.brokenFile;
        EXPECT_EQ(shell.messages, std::vector<std::string>{c.message}) << c.brokenFile;
        EXPECT_EQ(shell.lines, std::vector<std::string>{CannotRead(c.brokenFile, dir, c.reason)});
        EXPECT_EQ(shell.calls, NO_WINDOW_SHOWN_AFTER_FAILURE) << c.brokenFile;
    }
}

TEST(Startup, ShortFontFailsAfterBusMemoryAndKeyboardAreUp)
{
    TempFolder dir;
    WriteMachineFiles(dir);
    dir.Write("font.bin", 2559, 0x00);
    dir.Write("basic.rom", 0x4000, 0x3C);
    FakeShell shell;
    CEmuApp app(shell);
    EXPECT_FALSE(app.Startup());
    EXPECT_EQ(shell.messages, std::vector<std::string>{"Display initialization failed!"});
    EXPECT_EQ(app.Bus().ReadPort(CIoBus::PORT_ECHO), 0xFF);  // bus initialised
    EXPECT_EQ(app.Memory().ReadByte(0x3FFF), 0x3C);           // memory loaded
    EXPECT_EQ(app.Bus().ReadPort(CIoBus::PORT_KEYBOARD), 0);  // keyboard initialised
    EXPECT_EQ(shell.waveOut.opens, 0);                         // sound never tried
}

TEST(Startup, WindowFailureAndWindowClosedByUser)
{
    TempFolder dir;
    WriteMachineFiles(dir);
    {
        FakeShell shell;
        shell.windowCreates = false;
        CEmuApp app(shell);
        EXPECT_FALSE(app.Startup());
        EXPECT_EQ(shell.messages, std::vector<std::string>{"MainWnd creation failed!"});
        EXPECT_EQ(shell.lines, std::vector<std::string>{"the main window or its 20 ms timer could not be created"});
        app.Shutdown();  // no window was recorded, so there is none to destroy
        EXPECT_EQ(shell.calls, NO_WINDOW_SHOWN_AFTER_FAILURE);
    }
    {
        FakeShell shell;
        CEmuApp app(shell);
        ASSERT_TRUE(app.Startup());
        app.OnMainWindowDestroyed();  // closed by its close box
        app.Shutdown();
        EXPECT_NE(shell.calls.back(), "DestroyMainWindow");
    }
}

TEST(Startup, SliceLeavesBudgetZeroAndTheNmiPending)
{
    TempFolder dir;
    WriteMachineFiles(dir);
    FakeShell shell;
    CEmuApp app(shell);
    ASSERT_TRUE(app.Startup());
    int after = 0;  // what a wave output paced by emulated time hangs on
    app.SetAfterSlice([&after, &app] { after += app.Cpu().cycleBudget == 0 ? 1 : 100; });
    app.RunSlice();
    app.RunSlice();
    EXPECT_EQ(after, 2);
    EXPECT_EQ(app.Cpu().cycleBudget, 0);
    EXPECT_EQ(app.Cpu().pendingEvents & CCpu::EVENT_NMI, CCpu::EVENT_NMI);

    // Reset drops the pending request and keeps memory and latches.
    app.Memory().WriteByte(0x7C00, 0x41);
    app.Bus().WritePort(CIoBus::PORT_ECHO, 0x00);
    app.ResetMachine();
    EXPECT_EQ(app.Cpu().pendingEvents, 0u);
    EXPECT_EQ(app.Memory().ReadByte(0x7C00), 0x41);
    EXPECT_EQ(app.Bus().ReadPort(CIoBus::PORT_ECHO), 0x87);
}
