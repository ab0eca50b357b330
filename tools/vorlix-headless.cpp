// The headless runner: the machine without a window or an audio device, for tests, scripts
// and anyone who wants to run a program without a display. It starts up from the working
// directory exactly as the desktop program does (the same messages, on stderr), then carries
// out its options in the order given, running the same 20 ms slice back to back.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bus/CPortObserver.h"
#include "core/CColourScreen.h"
#include "core/CEmuApp.h"
#include "core/CEmuShell.h"
#include "core/CKeyFeeder.h"
#include "core/CPasteText.h"
#include "core/CScreenText.h"
#include "core/CTextFile.h"
#include "core/CTypist.h"
#include "core/CWavFile.h"
#include "host/CPngFile.h"
#include "host/CSilentWaveOut.h"

namespace {

const char VERSION[] = "vorlix-headless " VORLIX_VERSION "\n";

const char USAGE[] =
    "usage: vorlix-headless [OPTION]...\n"
    "Runs the machine from the ROM images, font and samples in the working directory,\n"
    "without a window or sound, carrying out the options in the order given:\n"
    "  --set NAME=VALUE   set FileFolder, PrintDestination, PrintAppend, PrintTranslate or\n"
    "                     EmulatorSpeed for this run (the settings store is not touched)\n"
    "  --frames N         run N frames of 20 ms emulated time\n"
    "  --type TEXT        type TEXT (UTF-8; the two characters \\n mean Enter), with frames\n"
    "                     running while each key is held and between keys\n"
    "  --paste FILE       type a host text file as the window's Paste does: each line end\n"
    "                     is Enter, a tab a space, and characters the machine cannot type\n"
    "                     are skipped (their number is said on stderr)\n"
    "  --until TEXT       run frames until TEXT is on the screen (looked for before each\n"
    "                     frame); status 3 when it is not there after --max-frames frames\n"
    "  --max-frames N     the limit of every --until, wherever it stands (default 30000)\n"
    "  --screen           print the screen as 24 lines of 40 characters\n"
    "  --pbm FILE         write the last rendered 240x240 image as a binary PBM; lit pixels\n"
    "                     are 1 (black), so the file's bits are the image's bits\n"
    "  --png FILE         write the last rendered image as a 240x240 PNG in the window's colours\n"
    "  --wav FILE         from here on, record the sound generator's output as a WAV file\n"
    "                     (8-bit mono, 22050 samples per second of emulated time)\n"
    "  --port6-log FILE   from here on, write one line \"FRAME 0xVV\" per port 6 write,\n"
    "                     FRAME counting the frames of this run from 1\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "Exit status: 0 done, 1 start-up or output failure, 2 bad arguments, 3 --until gave up.\n";

constexpr unsigned long DEFAULT_MAX_FRAMES = 30000;
constexpr int EXIT_UNTIL_FAILED = 3;

struct Action {
    enum class Kind { Set, Frames, Type, Screen, Pbm, Png, Wav, PortLog, Until } kind;
    std::string text;                 // setting name, file name, awaited text
    std::string value;                // setting value
    unsigned long count = 0;          // frames; characters a paste skips
    std::vector<KeyStroke> strokes;   // typed text
};

// What applies to the whole run rather than at one place in it.
struct RunLimits {
    unsigned long maxFrames = DEFAULT_MAX_FRAMES;
};

class HeadlessShell final : public CEmuShell {
public:
    // Defaults only: --set changes this run's copy afterwards.
    void ReadSettings(Settings& settings) override { settings = Settings{}; }
    bool CreateMainWindow() override { return true; }
    void DestroyMainWindow() override {}
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void ExplainFailure(const std::string& line) override { std::fprintf(stderr, "vorlix-headless: %s\n", line.c_str()); }
    CWaveOut& WaveOut() override { return waveOut; }
    void AppendAboutItem() override {}
    void ShowMainWindow() override {}
    void EnableRun() override {}

    CSilentWaveOut waveOut;
};

class Port6Log final : public CPortObserver {
public:
    explicit Port6Log(const unsigned long& frame) : frame(frame) {}
    bool Open(const std::string& path)
    {
        out.close();
        out.clear();
        out.open(path, std::ios::trunc);
        return static_cast<bool>(out);
    }
    bool Close()
    {
        if (!out.is_open())
            return true;
        out.close();
        return static_cast<bool>(out);
    }
    void OnPortWrite(std::uint8_t port, std::uint8_t value) override
    {
        if (port != CIoBus::PORT_SOUND || !out.is_open())
            return;
        char line[32];
        std::snprintf(line, sizeof line, "%lu 0x%02X\n", frame, value);
        out << line;
    }

private:
    const unsigned long& frame;
    std::ofstream out;
};

bool ParseNumber(const std::string& text, unsigned long& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

bool ParseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// Checks a NAME=VALUE pair and applies it to settings (or only checks it, with nullptr).
bool ApplySetting(const std::string& name, const std::string& value, Settings* settings)
{
    Settings scratch;
    Settings& s = settings ? *settings : scratch;
    if (name == "FileFolder")
        s.fileFolder = value;
    else if (name == "PrintDestination")
        s.printDestination = value;
    else if (name == "PrintAppend")
        return ParseInt(value, s.printAppend);
    else if (name == "PrintTranslate")
        return ParseInt(value, s.printTranslate);
    else if (name == "EmulatorSpeed")
        return ParseInt(value, s.emulatorSpeed);
    else
        return false;
    return true;
}

bool Fail(const std::string& message)
{
    std::fprintf(stderr, "vorlix-headless: %s\n", message.c_str());
    return false;
}

// A bad command line: one line, and where to find the rest.
bool BadArguments(const std::string& message)
{
    return Fail(message + " (try --help)");
}

bool ParseArguments(int argc, char** argv, std::vector<Action>& actions, RunLimits& limits)
{
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        bool takesValue = option == "--set" || option == "--frames" || option == "--type" ||
                          option == "--pbm" || option == "--png" || option == "--wav" || option == "--port6-log" ||
                          option == "--paste" || option == "--until" || option == "--max-frames";
        if (option != "--screen" && !takesValue)
            return BadArguments("unknown option " + option);
        if (takesValue && i + 1 >= argc)
            return BadArguments(option + " needs a value");
        std::string value = takesValue ? argv[++i] : "";
        Action action{};
        if (option == "--set") {
            std::size_t eq = value.find('=');
            action.kind = Action::Kind::Set;
            action.text = value.substr(0, eq);
            action.value = eq == std::string::npos ? "" : value.substr(eq + 1);
            if (eq == std::string::npos || !ApplySetting(action.text, action.value, nullptr))
                return BadArguments("bad setting " + value);
        } else if (option == "--frames") {
            action.kind = Action::Kind::Frames;
            if (!ParseNumber(value, action.count))
                return BadArguments("bad frame count " + value);
        } else if (option == "--type") {
            action.kind = Action::Kind::Type;
            std::string error;
            if (!CTypist::Plan(value, action.strokes, error))
                return BadArguments(error);
        } else if (option == "--paste") {
            action.kind = Action::Kind::Type;
            std::string text, error;
            if (!CTextFile::Read(value, text, error))
                return BadArguments(error);
            CPasteText::Plan plan = CPasteText::Make(text);
            action.strokes = std::move(plan.strokes);
            action.count = plan.skipped;
            action.text = value;
        } else if (option == "--until") {
            action.kind = Action::Kind::Until;
            if (value.empty())
                return BadArguments("--until needs a text");
            action.text = value;
        } else if (option == "--max-frames") {
            if (!ParseNumber(value, limits.maxFrames))
                return BadArguments("bad frame count " + value);
            continue;
        } else if (option == "--screen") {
            action.kind = Action::Kind::Screen;
        } else {
            action.kind = option == "--pbm"   ? Action::Kind::Pbm
                          : option == "--png" ? Action::Kind::Png
                          : option == "--wav" ? Action::Kind::Wav
                                              : Action::Kind::PortLog;
            if (value.empty())
                return BadArguments(option + " needs a file name");
            action.text = value;
        }
        actions.push_back(std::move(action));
    }
    return true;
}

// Runs the started machine: frames, typing, and what it shows.
class Runner {
public:
    Runner(CEmuApp& app, CSilentWaveOut& waveOut, const RunLimits& limits)
        : app(app), limits(limits), feeder(app.Keyboard(), app.Cpu()), log(frame)
    {
        // Each slice plays 20 ms of sound; the buffers it finished are refilled.
        app.SetAfterSlice([&app, &waveOut] {
            waveOut.Play(CSilentWaveOut::SLICE_BYTES, [&app](WaveBuffer& buffer) { app.Sound().OnBufferDone(buffer); });
        });
    }
    ~Runner()
    {
        app.Bus().SetObserver(nullptr);
        app.SetAfterSlice(nullptr);
        app.Sound().SetTap(nullptr);
    }

    bool Do(const Action& action)
    {
        switch (action.kind) {
        case Action::Kind::Set:
            ApplySetting(action.text, action.value, &app.Config());
            return true;
        case Action::Kind::Frames:
            RunFrames(action.count);
            return true;
        case Action::Kind::Type:
            feeder.Queue(action.strokes);
            while (feeder.Busy())
                RunFrames(1);
            if (action.count > 0)
                std::fprintf(stderr, "vorlix-headless: %s: skipped %lu character%s the machine cannot type\n",
                             action.text.c_str(), action.count, action.count == 1 ? "" : "s");
            return true;
        case Action::Kind::Until:
            return RunUntil(action.text);
        case Action::Kind::Screen:
            for (const std::string& row : CScreenText::Screen(app.Memory()))
                std::printf("%s\n", row.c_str());
            return std::fflush(stdout) == 0 || Fail("cannot write the screen");
        case Action::Kind::Pbm:
            return WritePbm(action.text);
        case Action::Kind::Png:
            return WritePng(action.text);
        case Action::Kind::Wav:
            if (!wav.Open(action.text))
                return Fail("cannot write " + action.text);
            app.Sound().SetTap([this](const std::uint8_t* samples, std::size_t count) { wav.Write(samples, count); });
            return true;
        case Action::Kind::PortLog:
            if (!log.Open(action.text))
                return Fail("cannot write " + action.text);
            app.Bus().SetObserver(&log);
            return true;
        }
        return false;
    }

    bool Finish()
    {
        const bool logged = log.Close() || Fail("cannot write the port 6 log");
        const bool recorded = wav.Close() || Fail("cannot write the sound recording");
        return logged && recorded;
    }
    // The exit status of the action that failed.
    int FailureStatus() const { return failureStatus; }

private:
    void RunFrames(unsigned long count)
    {
        for (unsigned long i = 0; i < count; ++i) {
            ++frame;
            feeder.BeforeSlice();
            app.RunSlice();
            ++framesUnshown;
        }
    }

    bool OnScreen(const std::string& text)
    {
        for (const std::string& row : CScreenText::Screen(app.Memory()))
            if (row.find(text) != std::string::npos)
                return true;
        return false;
    }

    bool RunUntil(const std::string& text)
    {
        for (unsigned long n = 0; !OnScreen(text); ++n) {
            if (n == limits.maxFrames) {
                failureStatus = EXIT_UNTIL_FAILED;
                return Fail("\"" + text + "\" not on the screen after " + std::to_string(n) + " frames");
            }
            RunFrames(1);
        }
        return true;
    }

    // The image of the last frame run (before any frame, the one the first tick would show),
    // rendered only when asked for; the frames before it only advance the blink phase.
    const std::uint8_t* LastImage()
    {
        if (image == nullptr || framesUnshown != 0) {
            if (framesUnshown > 1)
                app.Display().SkipFrames(static_cast<std::uint32_t>(framesUnshown - 1));
            image = app.Display().Render();
            framesUnshown = 0;
        }
        return image;
    }

    bool WritePng(const std::string& path)
    {
        std::vector<std::uint32_t> pixels(CDisplay::WIDTH * CDisplay::HEIGHT);
        CColourScreen::Expand(LastImage(), 1, pixels.data(), CDisplay::WIDTH);
        return CPngFile::Write(path, pixels.data(), CDisplay::WIDTH, CDisplay::HEIGHT, CDisplay::WIDTH) ||
               Fail("cannot write " + path);
    }

    bool WritePbm(const std::string& path)
    {
        const std::uint8_t* bits = LastImage();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "P4\n" << CDisplay::WIDTH << ' ' << CDisplay::HEIGHT << '\n';
        out.write(reinterpret_cast<const char*>(bits), CDisplay::IMAGE_BYTES);
        out.close();
        return static_cast<bool>(out) || Fail("cannot write " + path);
    }

    CEmuApp& app;
    const RunLimits& limits;
    CKeyFeeder feeder;
    int failureStatus = 1;
    unsigned long frame = 0;
    const std::uint8_t* image = nullptr;
    unsigned long framesUnshown = 0;  // frames run since image was rendered
    Port6Log log;
    CWavFile wav;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs(VERSION, stdout);
        return 0;
    }
    std::vector<Action> actions;
    RunLimits limits;
    if (!ParseArguments(argc, argv, actions, limits))
        return 2;

    HeadlessShell shell;
    CEmuApp app(shell);
    if (!app.Startup()) {
        app.Shutdown();
        return 1;
    }
    int status = 0;
    {
        Runner runner(app, shell.waveOut, limits);
        for (const Action& action : actions) {
            if (!runner.Do(action)) {
                status = runner.FailureStatus();
                break;
            }
        }
        if (!runner.Finish() && status == 0)
            status = 1;
    }
    app.Shutdown();
    return status;
}
