// The headless runner run as a program, as scripts and the system software's tests use it:
// test ROMs are made in a temporary folder beside the generated font and samples.
#include <gtest/gtest.h>

#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "SoundSamples.h"
#include "TempFolder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Text(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

// 16 KB of ROM holding the given pieces of code at their addresses; the NMI returns at once.
Bytes Rom(const std::vector<std::pair<std::uint16_t, Bytes>>& pieces)
{
    Bytes rom(0x4000, 0x00);
    rom[0x66] = 0xED, rom[0x67] = 0x45;  // RETN
    for (const auto& [address, code] : pieces)
        std::copy(code.begin(), code.end(), rom.begin() + address);
    return rom;
}

// Copies a table at 0x1000 to video memory and halts: every kind of cell, blinking or not,
// in both sets, the known video memory of the golden images.
Bytes FillRom()
{
    Bytes table(0x400);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<std::uint8_t>((i * 151) ^ (i >> 3));
    return Rom({{0x0000, {0xF3, 0x31, 0x00, 0x00, 0x21, 0x00, 0x10,  // DI; LD SP,0000h; LD HL,1000h
                          0x11, 0x00, 0x7C, 0x01, 0x00, 0x04,        // LD DE,7C00h; LD BC,0400h
                          0xED, 0xB0, 0x76, 0x18, 0xFD}},            // LDIR; HALT; JR back to the HALT
                {0x1000, table}});
}

// Echoes every key code the keyboard interrupt finds on port 56 to port 6.
Bytes KeyEchoRom()
{
    return Rom({{0x0000, {0xF3, 0x31, 0x00, 0x00, 0xED, 0x56, 0xFB,  // DI; LD SP,0000h; IM 1; EI
                          0x76, 0x18, 0xFD}},                        // HALT; JR back to the HALT
                {0x0038, {0xF5, 0xDB, 0x38, 0xD3, 0x06,              // PUSH AF; IN A,(56); OUT (6),A
                          0xF1, 0xFB, 0xED, 0x4D}}});                // POP AF; EI; RETI
}

// Writes port 6 from a table of (frames to wait, value) pairs, each wait counted in periodic
// interrupts: a pair (n, v) writes v in the n-th frame after the previous write.
Bytes Port6PlayerRom(const Bytes& table)
{
    return Rom({{0x0000, {0xF3, 0x31, 0x00, 0x00, 0x21, 0x00, 0x10,  // DI; LD SP,0000h; LD HL,1000h
                          0x46, 0x23,                                // next: LD B,(HL); INC HL
                          0x76, 0x10, 0xFD,                          // wait: HALT; DJNZ wait
                          0x7E, 0x23, 0xD3, 0x06, 0x18, 0xF5}},      // LD A,(HL); INC HL; OUT (6),A; JR next
                {0x1000, table}});
}

// The pixels of a PNG file as 0xAARRGGBB, read through libpng's simple interface.
std::vector<std::uint32_t> ReadPng(const std::string& path, int& width, int& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_BGRA;  // in memory, little-endian 0xAARRGGBB
    std::vector<std::uint32_t> pixels(PNG_IMAGE_SIZE(image) / 4);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return {};
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

class HeadlessRunner : public ::testing::Test {
protected:
    // A working folder with the given system ROM, empty device ROMs and our font and samples.
    void Prepare(const Bytes& basicRom)
    {
        folder.Write("basic.rom", basicRom);
        folder.Write("dev_dos.rom", Bytes{});
        folder.Write("dev_pr.rom", Bytes{});
        for (const char* name : {"font.bin", "noise.snd", "vco_hi.snd", "vco_lo.snd", "slf.snd", "vco_slf.snd"}) {
            Bytes bytes = ReadBytes(std::string(VORLIX_RUNTIME_DIR) + "/" + name);
            ASSERT_FALSE(bytes.empty()) << name;
            folder.Write(name, bytes);
        }
    }

    // Runs the runner in the folder with the arguments (already quoted for the shell);
    // returns its exit status and leaves its output in out and err.
    int Run(const std::string& arguments)
    {
        std::string command = "cd '" + folder.Path().string() + "' && '" VORLIX_HEADLESS "' " + arguments +
                              " > stdout.txt 2> stderr.txt";
        int status = std::system(command.c_str());
        out = Text(folder.Read("stdout.txt"));
        err = Text(folder.Read("stderr.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempFolder folder;
    std::string out;
    std::string err;
};

TEST_F(HeadlessRunner, ShowsKnownVideoMemoryAsTheStoredImagesInBothBlinkPhasesAndAsText)
{
    Prepare(FillRom());
    ASSERT_EQ(Run("--frames 5 --pbm plain.pbm --screen --frames 7 --pbm blink.pbm"), 0) << err;
    EXPECT_EQ(err, "");
    // Frame 5 shows blinking cells plain, frame 12 inverted.
    for (const auto& [made, stored] : {std::pair{"plain.pbm", "fill_frame5.pbm"}, {"blink.pbm", "fill_frame12.pbm"}})
        EXPECT_TRUE(folder.Read(made) == ReadBytes(VORLIX_HEADLESS_DATA "/" + std::string(stored))) << made << " differs";
    // The screen as text at frame 5: 24 rows, of which three from different blocks of video memory.
    std::vector<std::string> rows;
    std::istringstream lines(out);
    for (std::string row; std::getline(lines, row);)
        rows.push_back(row);
    ASSERT_EQ(rows.size(), 24u);
    EXPECT_EQ(rows[0], "  ▒EÖ▒ ▒▒N▒▒ ▒CX▒  7Nax ▒▒U▒  1Jds !8Wn ");
    EXPECT_EQ(rows[8], " *CXq '<Vax ▒EÖ▒  ▒J▒▒ ▒H_▒  ▒B▒▒ /4Åb  ");
    EXPECT_EQ(rows[23], "J=$ vYÉ+  mV?  rÖK2  oV=% ▒▒I▒  nYÉ+ ▒▒O");
}

TEST_F(HeadlessRunner, WritesThePngOfTheRenderedImageInTheWindowsColours)
{
    Prepare(FillRom());
    ASSERT_EQ(Run("--frames 12 --png blink.png --pbm blink.pbm"), 0) << err;
    int width = 0, height = 0;
    const std::vector<std::uint32_t> png = ReadPng(folder.File("blink.png"), width, height);
    ASSERT_EQ(width, 240);
    ASSERT_EQ(height, 240);
    const Bytes pbm = folder.Read("blink.pbm");
    const std::size_t bits = pbm.size() - 7200;  // after the PBM header
    int wrong = 0, set = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 240; ++x) {
            const bool lit = (pbm[bits + std::size_t(y * 30 + x / 8)] & (0x80 >> (x % 8))) != 0;
            set += lit;
            wrong += png[std::size_t(y * 240 + x)] != (lit ? 0xFFC8B820u : 0xFF202020u);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(set, 1000);
    for (const auto& [option, file] : {std::pair{"--png ", "nowhere/image.png"}, {"--wav ", "nowhere/sound.wav"}}) {
        EXPECT_EQ(Run(option + std::string(file)), 1) << file;
        EXPECT_NE(err.find(std::string("cannot write ") + file), std::string::npos) << err;
    }
}

TEST_F(HeadlessRunner, RecordsTheSoundInStepWithEmulatedTime)
{
    using namespace sound_samples;
    constexpr std::size_t N = 110;
    Prepare(Port6PlayerRom({2, 0x01, 5, 0x09, 4, 0x00, 6, 0x11, 255, 0x00}));
    const Samples samples;
    samples.WriteTo(folder);
    ASSERT_EQ(Run("--frames 1 --wav sound.wav --port6-log port6.log --frames 29"), 0) << err;
    EXPECT_EQ(Text(folder.Read("port6.log")), "3 0x01\n8 0x09\n12 0x00\n18 0x11\n");
    // 22050 samples a second: after frame f, the generator has made the floor(441 f / 110)
    // buffers a device would have played; the recording starts after frame 1 (4 buffers).
    // A write in frame f is heard from the first buffer made after that frame.
    const Bytes wav = folder.Read("sound.wav");
    ASSERT_GE(wav.size(), 44u);
    const std::uint32_t data = 120 * N - 4 * N;
    const Bytes header = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                          0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0, 1, 0, 8, 0, 'd', 'a', 't', 'a'};
    Bytes expectedHeader = header;
    for (int i = 0; i < 4; ++i) {
        expectedHeader[4 + i] = std::uint8_t((36 + data) >> (8 * i));
        expectedHeader.push_back(std::uint8_t(data >> (8 * i)));
    }
    EXPECT_EQ(Bytes(wav.begin(), wav.begin() + 44), expectedHeader);
    // Buffer where each stretch starts, its source and the source's position; the noise and
    // slow loops move on while the sound is on and stand while it is off.
    const struct { std::size_t buffer; Source source; std::size_t start; } stretches[] = {
        {4, SILENT, 0}, {8, HI, 0}, {28, NOISE, 20 * N}, {44, SILENT, 0}, {68, SLOW, 36 * N}, {120, SILENT, 0}};
    for (std::size_t i = 0; i + 1 < std::size(stretches); ++i) {
        const std::size_t from = (stretches[i].buffer - 4) * N, to = (stretches[i + 1].buffer - 4) * N;
        ASSERT_GE(wav.size(), 44 + to);
        EXPECT_TRUE(Bytes(wav.begin() + 44 + from, wav.begin() + 44 + to) ==
                    Play(samples, stretches[i].source, stretches[i].start, to - from))
            << "stretch " << i;
    }
    EXPECT_EQ(wav.size(), 44 + data);
}

TEST_F(HeadlessRunner, TypesThroughTheKeyboardAndLogsPortSixWithFrameNumbers)
{
    Prepare(KeyEchoRom());
    // Each key is held one frame and followed by one with no key; the interrupt is taken in
    // the first frame after the press.
    ASSERT_EQ(Run("--frames 2 --port6-log keys.log --type 'Ab\\n' --type '\xC3\xA4@' --frames 1"), 0) << err;
    EXPECT_EQ(Text(folder.Read("keys.log")),
              "3 0xC1\n"    // Shift+A
              "5 0xE2\n"    // b
              "7 0x8D\n"    // Enter
              "9 0xFB\n"    // a diaeresis, on the second key right of L
              "11 0xC0\n"); // '@' is the machine's E acute, Shift on the second key right of 0
    EXPECT_EQ(out, "");
}

TEST_F(HeadlessRunner, UntilRunsFramesTillTheTextShowsOrGivesUpWithStatusThree)
{
    Prepare(FillRom());
    // The text is there after the first frame: four more make the image of frame 5.
    ASSERT_EQ(Run("--until 7Nax --frames 4 --pbm five.pbm"), 0) << err;
    EXPECT_TRUE(folder.Read("five.pbm") == ReadBytes(VORLIX_HEADLESS_DATA "/fill_frame5.pbm"));
    // Already there: no frame runs, wherever the limit stands.
    ASSERT_EQ(Run("--frames 4 --until 7Nax --max-frames 0 --frames 1 --pbm five.pbm"), 0) << err;
    EXPECT_TRUE(folder.Read("five.pbm") == ReadBytes(VORLIX_HEADLESS_DATA "/fill_frame5.pbm"));
    EXPECT_EQ(Run("--max-frames 7 --until 'not there' --screen"), 3);
    EXPECT_EQ(err, "vorlix-headless: \"not there\" not on the screen after 7 frames\n");
    EXPECT_EQ(out, "");
}

TEST_F(HeadlessRunner, RefusesBadArgumentsBeforeStartingAndReportsStartUpAndOutputFailures)
{
    Prepare(FillRom());
    const char* const bad[] = {
        "--frames", "--frames x", "--frames -1", "--frames 5x", "--bogus", "--set Colour=1",
        "--set PrintAppend=yes", "--set FileFolder", "--type '\xE2\x82\xAC'", "--pbm ''", "--png ''", "--wav",
        "--paste missing.txt", "--paste .", "--until ''", "--max-frames -5",
    };
    for (const char* arguments : bad) {
        EXPECT_EQ(Run(std::string("--port6-log never.log ") + arguments), 2) << arguments;
        // One line that says what is wrong and where to look.
        EXPECT_TRUE(err.starts_with("vorlix-headless: ") && err.ends_with(" (try --help)\n") &&
                    err.find('\n') == err.size() - 1)
            << arguments << ": " << err;
        EXPECT_FALSE(folder.Exists("never.log")) << arguments;
    }
    EXPECT_EQ(Run("--bogus"), 2);
    EXPECT_EQ(err, "vorlix-headless: unknown option --bogus (try --help)\n");
    EXPECT_EQ(Run("--version"), 0);
    EXPECT_EQ(out, "vorlix-headless 1.1\n");
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_TRUE(out.starts_with("usage: vorlix-headless") && out.find("\n  --version ") != std::string::npos) << out;
    // Good settings are taken, and the options act in order: the log sees only later frames.
    EXPECT_EQ(Run("--set FileFolder=files/ --set PrintAppend=0 --set EmulatorSpeed=1 --frames 1 --port6-log later.log"), 0)
        << err;
    EXPECT_TRUE(folder.Exists("later.log") && folder.Read("later.log").empty());
    EXPECT_EQ(Run("--pbm nowhere/image.pbm"), 1);
    EXPECT_NE(err.find("cannot write nowhere/image.pbm"), std::string::npos) << err;
    // Start-up failures: each case takes away one more file; the first part to start reports,
    // with a line naming the file, the folder and the reason before the message.
    const std::pair<std::string, std::string> startUp[] = {{"vco_slf.snd", "Sound initialization failed!\n"},
                                                           {"font.bin", "Display initialization failed!\n"},
                                                           {"basic.rom", "Memory initialization failed!\n"}};
    for (const auto& [file, message] : startUp) {
        std::filesystem::remove(folder.Path() / file);
        EXPECT_EQ(Run("--frames 1 --screen"), 1) << file;
        EXPECT_EQ(err, "vorlix-headless: cannot read " + file + " in " + folder.Path().string() +
                           " (no such file): start the emulator in the folder that holds its ROM images, font and "
                           "samples\n" + message);
        EXPECT_EQ(out, "") << file;
    }
}

}  // namespace
