// The install: `cmake --install` into a temporary prefix puts the programs, the machine's files,
// the desktop entry, icons and manual pages in place; the installed program, started from
// another folder, prepares the user's folder of links and runs there, so that a program saved
// from BASIC lands in it, while the files it loaded stay out of the machine's reach. Runs on
// the X server of xvfb-run; keys are typed with XTest, as a person would press them, and
// checked only by the files they make.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iterator>
#include <thread>

#include "TempFolder.h"
#include "core/CTypist.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const char* const RUNTIME_FILES[] = {"basic.rom",  "dev_dos.rom", "dev_pr.rom",  "font.bin", "noise.snd",
                                     "vco_hi.snd", "vco_lo.snd",  "vco_slf.snd", "slf.snd"};

// An installed program started in a folder of its own with the user's folders in `home`,
// ended (by a signal) when the object goes.
class Program {
public:
    Program(const fs::path& binary, const fs::path& folder, const fs::path& home, const std::vector<std::string>& args)
    {
        pid = ::fork();
        if (pid != 0)
            return;
        if (::chdir(folder.c_str()) != 0)
            ::_exit(127);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
        ::unsetenv("QT_QPA_PLATFORM");  // the X server's, not the tests' offscreen one
        std::vector<char*> argv{const_cast<char*>(binary.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(binary.c_str(), argv.data());
        ::_exit(127);
    }
    ~Program()
    {
        if (pid <= 0)
            return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }

private:
    pid_t pid = -1;
};

// The X server: finds the emulator's window and types into it.
class XServer {
public:
    XServer() : display(XOpenDisplay(nullptr)) {}
    ~XServer()
    {
        if (display)
            XCloseDisplay(display);
    }
    explicit operator bool() const { return display != nullptr; }

    // The mapped top-level window captioned "Vorlix", waiting up to `limit` for it.
    Window Find(std::chrono::seconds limit)
    {
        for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;
             std::this_thread::sleep_for(100ms)) {
            Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(display, root, &root, &parent, &children, &count))
                continue;
            Window found = 0;
            for (unsigned i = 0; i < count && !found; ++i) {
                char* name = nullptr;
                XWindowAttributes a{};
                if (XFetchName(display, children[i], &name) && name && std::string(name) == "Vorlix" &&
                    XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable)
                    found = children[i];
                XFree(name);
            }
            XFree(children);
            if (found)
                return found;
        }
        return 0;
    }

    std::pair<int, int> SizeOf(Window window)
    {
        XWindowAttributes a{};
        XGetWindowAttributes(display, window, &a);
        return {a.width, a.height};
    }
    std::pair<int, int> RootSize()
    {
        return {DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display))};
    }

    void Focus(Window window)
    {
        XRaiseWindow(display, window);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
    }

    // Presses each key of the text on the machine's layout: the set-1 code of a PC key plus 8
    // is its X keycode.
    void Type(const std::string& text)
    {
        std::vector<KeyStroke> strokes;
        std::string error;
        ASSERT_TRUE(CTypist::Plan(text, strokes, error)) << error;
        for (const KeyStroke& s : strokes) {
            if (s.shift)
                Key(CTypist::SCAN_SHIFT, true);
            Key(s.scan, true);
            std::this_thread::sleep_for(60ms);
            Key(s.scan, false);
            if (s.shift)
                Key(CTypist::SCAN_SHIFT, false);
            std::this_thread::sleep_for(60ms);
        }
    }

private:
    void Key(std::uint8_t scan, bool down)
    {
        XTestFakeKeyEvent(display, scan + 8u, down ? True : False, CurrentTime);
        XFlush(display);
    }

    ::Display* display;
};

}  // namespace

TEST(Install, TheInstalledProgramRunsInTheUsersFolderAndSavesThere)
{
    TempFolder dir;
    const fs::path prefix = dir.Path() / "prefix";
    const std::string install = std::string("'" VORLIX_CMAKE "' --install '" VORLIX_BUILD_DIR "' --prefix '") +
                                prefix.string() + "' > install.log 2>&1";
    ASSERT_EQ(std::system(install.c_str()), 0) << ReadFile(dir.Path() / "install.log");

    // What goes where.
    std::vector<fs::path> expected = {"bin/vorlix", "bin/vorlix-headless", "share/applications/vorlix.desktop",
                                      "share/man/man1/vorlix.1", "share/man/man1/vorlix-headless.1"};
    for (const char* name : RUNTIME_FILES)
        expected.push_back(fs::path("share/vorlix") / name);
    for (const char* size : {"32x32", "48x48", "128x128", "256x256"})
        expected.push_back(fs::path("share/icons/hicolor") / size / "apps/vorlix.png");
    for (const fs::path& file : expected)
        EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
    const std::string entry = ReadFile(prefix / "share/applications/vorlix.desktop");
    for (const char* line : {"[Desktop Entry]\n", "Type=Application\n", "Exec=vorlix\n", "Icon=vorlix\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    EXPECT_EQ(ReadFile(prefix / "share/man/man1/vorlix.1").rfind(".TH VORLIX 1", 0), 0u);

    // The user has put a sample of their own in the folder before.
    const fs::path home = dir.Path() / "home";
    const fs::path user = home / "data/vorlix";
    fs::create_directories(user);
    fs::copy_file(prefix / "share/vorlix/slf.snd", user / "slf.snd");
    const std::string font = ReadFile(prefix / "share/vorlix/font.bin");
    ASSERT_EQ(font.size(), 2560u);
    const fs::path elsewhere = dir.Path() / "elsewhere";
    fs::create_directories(elsewhere);

    XServer x;
    ASSERT_TRUE(x) << "no X server: run under xvfb-run";
    {
        Program vorlix(prefix / "bin/vorlix", elsewhere, home, {});
        const Window window = x.Find(30s);
        ASSERT_NE(window, 0u) << "the window never showed";
        EXPECT_EQ(x.SizeOf(window), std::make_pair(306, 246));
        x.Focus(window);
        // Whether a file whose name starts with `name` is in the user's folder, waiting up to
        // `tenths` tenths of a second for it.
        const auto saved = [&](const std::string& name, int tenths) {
            for (int wait = 0; wait < tenths; ++wait) {
                std::this_thread::sleep_for(100ms);
                for (const auto& e : fs::directory_iterator(user))
                    if (e.path().filename().string().rfind(name, 0) == 0)
                        return true;
            }
            return false;
        };
        // Typed until the file is there, in case the first line came before BASIC was ready.
        bool hello = false;
        for (int attempt = 0; attempt < 6 && !hello; ++attempt) {
            std::this_thread::sleep_for(2s);
            x.Focus(window);
            x.Type("\n10 REM\nSAVE \"HELLO\"\n");
            hello = saved("HELLO", 30);
        }
        EXPECT_TRUE(hello) << "no HELLO file in " << user;
        // The machine cannot write the files it loaded, links to the installed ones included.
        // The save after them shows that the machine has handled both lines.
        x.Type("SAVE \"FONT.BIN\"\nSAVE \"SLF.SND\"\nSAVE \"AFTER\"\n");
        EXPECT_TRUE(saved("AFTER", 600)) << "no AFTER file in " << user;
    }
    EXPECT_EQ(ReadFile(prefix / "share/vorlix/font.bin"), font);
    EXPECT_EQ(ReadFile(user / "slf.snd"), ReadFile(prefix / "share/vorlix/slf.snd"));
    // Links to the installed files, the user's own sample kept; nothing written elsewhere.
    for (const char* name : RUNTIME_FILES) {
        if (std::string(name) == "slf.snd")
            EXPECT_FALSE(fs::is_symlink(user / name));
        else
            EXPECT_EQ(fs::read_symlink(user / name), prefix / "share/vorlix" / name) << name;
    }
    EXPECT_TRUE(fs::is_empty(elsewhere));
    std::size_t installed = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(prefix / "share/vorlix"))
        ++installed;
    EXPECT_EQ(installed, std::size(RUNTIME_FILES));

    // The headless runner runs in that folder too.
    const std::string headless = "cd '" + user.string() + "' && '" + (prefix / "bin/vorlix-headless").string() +
                                 "' --frames 5 > /dev/null 2>&1";
    EXPECT_EQ(std::system(headless.c_str()), 0);

    // Zoomed and full screen on a real X server.
    const std::pair<std::vector<std::string>, std::pair<int, int>> sizes[] = {{{"--zoom", "3"}, {786, 726}},
                                                                             {{"--fullscreen"}, x.RootSize()}};
    for (const auto& [args, size] : sizes) {
        Program vorlix(prefix / "bin/vorlix", elsewhere, home, args);
        const Window window = x.Find(30s);
        ASSERT_NE(window, 0u) << args[0];
        EXPECT_EQ(x.SizeOf(window), size) << args[0];
    }
}
