// The desktop program run as a user runs it, in a temporary working folder whose system ROM
// opens HELD.BIN for writing, writes one record and keeps the file open: its command line,
// the line that explains a failed start, running without a sound device, and ending on
// SIGTERM, SIGINT and SIGHUP as Exit does. Waits have generous limits that only keep a hung
// program from hanging the suite; how long the program took to end is logged, not checked.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// The record the test ROM writes: the bytes 0 to 255.
Bytes Record()
{
    Bytes record(256);
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = static_cast<std::uint8_t>(i);
    return record;
}

// Polls `done` every 20 ms for at most `limit`.
template <typename Check>
bool WaitUntil(Check done, std::chrono::seconds limit)
{
    for (const auto end = Clock::now() + limit; Clock::now() < end;) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

// vorlix started in the folder, with its output in stdout.txt and stderr.txt; under xvfb-run
// when asked for and available. A shell in between notes vorlix's own process id.
class Desktop {
public:
    Desktop(const TempFolder& folder, const std::vector<std::string>& arguments,
            const std::vector<std::pair<std::string, std::string>>& environment, bool underX)
        : folder(folder)
    {
        std::vector<std::string> command;
        if (underX && std::string(XVFB_RUN) != "")
            command = {XVFB_RUN, "-a"};
        command.insert(command.end(), {"/bin/sh", "-c", "echo $$ > vorlix.pid && exec \"$0\" \"$@\"", VORLIX_DESKTOP});
        command.insert(command.end(), arguments.begin(), arguments.end());
        folder.WriteText("leaks.supp", "leak:libdbus-1.so\n");
        // Nothing of an earlier run may be taken for this one's.
        for (const char* name : {"vorlix.pid", "stdout.txt", "stderr.txt", "HELD.BIN"})
            std::filesystem::remove(folder.Path() / name);
        top = ::fork();
        if (top == 0) {
            const int out = ::open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::dup2(err, 2);
            // The settings store and runtime folder of this run; a sound device that plays into nothing.
            const std::string runtime = folder.File("runtime");
            ::mkdir(runtime.c_str(), 0700);
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1);
            ::setenv("SDL_AUDIODRIVER", "dummy", 1);
            // Under X, Qt reaches the session bus through libdbus, which keeps some memory to
            // the end; in the sanitized build that is not ours to report.
            ::setenv("LSAN_OPTIONS", ("print_suppressions=0:suppressions=" + folder.File("leaks.supp")).c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", underX && std::string(XVFB_RUN) != "" ? "xcb" : "offscreen", 1);
            for (const auto& [name, value] : environment)
                ::setenv(name.c_str(), value.c_str(), 1);
            std::vector<char*> argv;
            for (std::string& part : command)
                argv.push_back(part.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~Desktop()
    {
        if (top > 0 && !status) {
            ::kill(top, SIGKILL);
            ::waitpid(top, nullptr, 0);
        }
    }

    // Sends a signal to vorlix itself.
    bool Signal(int number)
    {
        pid_t pid = 0;
        WaitUntil([&] { return (std::ifstream(folder.File("vorlix.pid")) >> pid) && pid > 0; }, std::chrono::seconds(30));
        return pid > 0 && ::kill(pid, number) == 0;
    }
    // The wait status once the program has ended; nothing if it is still running after `limit`.
    std::optional<int> Ended(std::chrono::seconds limit)
    {
        WaitUntil([this] {
            int raw = 0;
            if (!status && ::waitpid(top, &raw, WNOHANG) == top)
                status = raw;
            return status.has_value();
        }, limit);
        return status;
    }
    std::string Err() const
    {
        const Bytes bytes = folder.Read("stderr.txt");
        return {bytes.begin(), bytes.end()};
    }

private:
    const TempFolder& folder;
    pid_t top = -1;
    std::optional<int> status;
};

class DesktopProgram : public ::testing::Test {
protected:
    // The working folder: the test ROM, empty device ROMs, the generated font and samples.
    DesktopProgram()
    {
        folder.Write("basic.rom", ReadBytes(HELD_FILE_ROM));
        folder.Write("dev_dos.rom", Bytes{});
        folder.Write("dev_pr.rom", Bytes{});
        for (const char* name : {"font.bin", "noise.snd", "vco_hi.snd", "vco_lo.snd", "slf.snd", "vco_slf.snd"})
            folder.Write(name, ReadBytes(std::string(VORLIX_RUNTIME_DIR) + "/" + name));
    }

    bool Held() const { return folder.Exists("HELD.BIN") && folder.Read("HELD.BIN").size() == 256; }

    TempFolder folder;
};

}  // namespace

TEST_F(DesktopProgram, CommandLineAnswersWithoutADisplayAndRefusesWhatItDoesNotKnow)
{
    // Qt would end the program on a display it cannot reach: none of these may start it.
    const std::vector<std::pair<std::string, std::string>> noDisplay = {
        {"DISPLAY", ":99999"}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", "xcb"}};
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string out, err;
    } cases[] = {
        {{"--version"}, 0, "vorlix 1.1\n", ""},
        {{"--no-sound", "--help"}, 0, "usage: vorlix [OPTION]... [FILE]\n", ""},
        {{"--bogus"}, 2, "", "vorlix: unknown option --bogus (try --help)\n"},
        {{"-platform", "offscreen"}, 2, "", "vorlix: unknown option -platform (try --help)\n"},
        {{"--no-sound=yes"}, 2, "", "vorlix: --no-sound takes no value (try --help)\n"},
        {{"game.bas"}, 2, "", "vorlix: cannot read game.bas\n"},
        {{"--run", "."}, 2, "", "vorlix: cannot read .\n"},
        {{"a.bas", "b.bas"}, 2, "", "vorlix: unexpected argument b.bas (try --help)\n"},
        {{"--keyboard", "sideways"}, 2, "", "vorlix: --keyboard takes character or position, not sideways (try --help)\n"},
        {{"--keyboard"}, 2, "", "vorlix: --keyboard needs a value MODE (try --help)\n"},
        {{"--zoom", "5"}, 2, "", "vorlix: --zoom takes 1, 2, 3 or 4 (try --help)\n"},
        {{"--fullscreen", "--zoom=x"}, 2, "", "vorlix: --zoom takes 1, 2, 3 or 4 (try --help)\n"},
    };
    for (const auto& c : cases) {
        Desktop desktop(folder, c.arguments, noDisplay, false);
        const auto status = desktop.Ended(std::chrono::seconds(30));
        ASSERT_TRUE(status.has_value()) << c.arguments[0];
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == c.status) << c.arguments[0] << " " << *status;
        const Bytes bytes = folder.Read("stdout.txt");
        const std::string out(bytes.begin(), bytes.end());
        EXPECT_EQ(out.substr(0, c.out.size()), c.out);
        EXPECT_EQ(desktop.Err(), c.err);
        // The help is made from the option table, one line an option.
        for (const char* option : {"\n  --no-sound ", "\n  --zoom N ", "\n  --fullscreen ", "\n  --help ", "\n  --version "})
            EXPECT_EQ(out.find(option) != std::string::npos, c.arguments.back() == "--help") << option;
    }
    EXPECT_FALSE(folder.Exists("HELD.BIN"));
}

TEST_F(DesktopProgram, EndsOnSignalsAsExitDoesWithTheGuestsFileClosedAndKept)
{
    // SIGTERM with the SDL sound device under X, the others also without a sound device.
    const struct {
        int signal;
        std::vector<std::string> arguments;
    } cases[] = {{SIGTERM, {}}, {SIGINT, {}}, {SIGHUP, {"--no-sound"}}, {SIGTERM, {"--no-sound"}}};
    for (const auto& c : cases) {
        Desktop desktop(folder, c.arguments, {}, true);
        ASSERT_TRUE(WaitUntil([this] { return Held(); }, std::chrono::seconds(60))) << desktop.Err();
        ASSERT_TRUE(desktop.Signal(c.signal));
        const auto sent = Clock::now();
        const auto status = desktop.Ended(std::chrono::seconds(20));
        ASSERT_TRUE(status.has_value()) << "still running after signal " << c.signal;
        std::printf("signal %d: ended after %.0f ms\n", c.signal,
                    std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << c.signal << ": status " << *status;
        EXPECT_EQ(desktop.Err(), "");
        EXPECT_EQ(folder.Read("HELD.BIN"), Record());
    }
}

TEST_F(DesktopProgram, AFailedStartExplainsItselfOnStderrAndNoSoundStartsWithoutADevice)
{
    const std::string folderText = folder.Path().string();
    const std::string advice = ": start the emulator in the folder that holds its ROM images, font and samples\n";
    const struct {
        const char* missing;  // a start-up file taken away, or none
        std::vector<std::string> arguments;
        std::string expected;  // stderr; for a failed start the beginning of its line
    } cases[] = {
        {nullptr, {}, "vorlix: no sound output could be opened (SDL: "},
        {nullptr, {"--no-sound"}, ""},
        {"slf.snd", {"--no-sound"}, "vorlix: cannot read slf.snd in " + folderText + " (no such file)" + advice},
        {"font.bin", {"--no-sound"}, "vorlix: cannot read font.bin in " + folderText + " (no such file)" + advice},
    };
    for (const auto& c : cases) {
        if (c.missing)
            std::filesystem::remove(folder.Path() / c.missing);
        Desktop desktop(folder, c.arguments, {{"SDL_AUDIODRIVER", "no-such-audio-driver"}}, false);
        // A failed start shows its message box once the line is out; the signal closes it.
        const bool starts = c.expected.empty();
        ASSERT_TRUE(WaitUntil([&] { return starts ? Held() : desktop.Err().find('\n') != std::string::npos; },
                              std::chrono::seconds(60)))
            << desktop.Err();
        ASSERT_TRUE(desktop.Signal(SIGTERM));
        const auto status = desktop.Ended(std::chrono::seconds(20));
        ASSERT_TRUE(status.has_value());
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == (starts ? 0 : 1)) << *status;
        const std::string err = desktop.Err();
        EXPECT_EQ(err.substr(0, c.expected.size()), c.expected);
        if (!starts) {
            // One line of ours; the offscreen platform may add its own about the message box.
            EXPECT_EQ(err.find("\nvorlix"), std::string::npos) << err;
            EXPECT_EQ(err.find("; start with --no-sound to run silently\n") != std::string::npos, c.missing == nullptr)
                << err;
        }
    }
}
