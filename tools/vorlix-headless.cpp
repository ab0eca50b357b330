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
#include "core/CScreenText.h"
#include "core/CTypist.h"
#include "core/CWavFile.h"
#include "host/CPngFile.h"
#include "host/CSilentWaveOut.h"

namespace {

const char VERSION[] = "vorlix-headless 1.1\n";

const char USAGE[] =
    "usage: vorlix-headless [OPTION]...\n"
    "Runs the machine from the ROM images, font and samples in the working directory,\n"
    "without a window or sound, carrying out the options in the order given:\n"
    "  --set NAME=VALUE   set FileFolder, PrintDestination, PrintAppend, PrintTranslate or\n"
    "                     EmulatorSpeed for this run (the settings store is not touched)\n"
    "  --frames N         run N frames of 20 ms emulated time\n"
    "  --type TEXT        type TEXT (UTF-8; the two characters \\n mean Enter), with frames\n"
    "                     running while each key is held and between keys\n"
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
    "Exit status: 0 done, 1 start-up or output failure, 2 bad arguments.\n";

// Frames a typed key is held, and frames between one key's release and the next press.
constexpr unsigned long HOLD_FRAMES = 3;
constexpr unsigned long GAP_FRAMES = 3;

struct Action {
    enum class Kind { Set, Frames, Type, Screen, Pbm, Png, Wav, PortLog } kind;
    std::string text;                 // setting name, file name
    std::string value;                // setting value
    unsigned long count = 0;          // frames
    std::vector<KeyStroke> strokes;   // typed text
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

bool ParseArguments(int argc, char** argv, std::vector<Action>& actions)
{
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        bool takesValue = option == "--set" || option == "--frames" || option == "--type" ||
                          option == "--pbm" || option == "--png" || option == "--wav" || option == "--port6-log";
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
    Runner(CEmuApp& app, CSilentWaveOut& waveOut) : app(app), log(frame)
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
            for (const KeyStroke& stroke : action.strokes)
                Type(stroke);
            return true;
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

private:
    void RunFrames(unsigned long count)
    {
        for (unsigned long i = 0; i < count; ++i) {
            ++frame;
            app.RunSlice();
            image = app.Display().Render();
        }
    }

    void Type(const KeyStroke& stroke)
    {
        CKeyboard& keyboard = app.Keyboard();
        if (stroke.shift)
            keyboard.KeyDown(CTypist::SCAN_SHIFT);
        keyboard.KeyDown(stroke.scan);
        RunFrames(HOLD_FRAMES);
        keyboard.KeyUp(stroke.scan);
        if (stroke.shift)
            keyboard.KeyUp(CTypist::SCAN_SHIFT);
        RunFrames(GAP_FRAMES);
    }

    // Before any frame, the image the first tick would show.
    const std::uint8_t* LastImage()
    {
        if (image == nullptr)
            image = app.Display().Render();
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
        LastImage();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "P4\n" << CDisplay::WIDTH << ' ' << CDisplay::HEIGHT << '\n';
        out.write(reinterpret_cast<const char*>(image), CDisplay::IMAGE_BYTES);
        out.close();
        return static_cast<bool>(out) || Fail("cannot write " + path);
    }

    CEmuApp& app;
    unsigned long frame = 0;
    const std::uint8_t* image = nullptr;
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
    if (!ParseArguments(argc, argv, actions))
        return 2;

    HeadlessShell shell;
    CEmuApp app(shell);
    if (!app.Startup()) {
        app.Shutdown();
        return 1;
    }
    bool ok = true;
    {
        Runner runner(app, shell.waveOut);
        for (const Action& action : actions)
            if (!(ok = runner.Do(action)))
                break;
        ok = runner.Finish() && ok;
    }
    app.Shutdown();
    return ok ? 0 : 1;
}
