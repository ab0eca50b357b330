// The headless runner run as a program, as scripts and the system software's tests use it:
// test ROMs are made in a temporary folder beside the generated font and samples.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// 16 KB of ROM holding the given pieces of code at their addresses.
Bytes Rom(const std::vector<std::pair<std::uint16_t, Bytes>>& pieces)
{
    Bytes rom(0x4000, 0x00);
    for (const auto& [address, code] : pieces)
        std::copy(code.begin(), code.end(), rom.begin() + address);
    return rom;
}

// Fills video memory from a table at 0x1000 and halts; the periodic interrupt returns at once.
Bytes FillRom()
{
    Bytes table(0x400);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<std::uint8_t>((i * 151) ^ (i >> 3));
    return Rom({
        {0x0000, {0xF3,               // DI
                  0x31, 0x00, 0x00,   // LD SP,0000h
                  0x21, 0x00, 0x10,   // LD HL,1000h
                  0x11, 0x00, 0x7C,   // LD DE,7C00h
                  0x01, 0x00, 0x04,   // LD BC,0400h
                  0xED, 0xB0,         // LDIR
                  0x76,               // HALT
                  0x18, 0xFD}},       // JR back to the HALT
        {0x0066, {0xED, 0x45}},       // RETN
        {0x1000, table},
    });
}

// Echoes every key code the keyboard interrupt finds on port 56 to port 6.
Bytes KeyEchoRom()
{
    return Rom({
        {0x0000, {0xF3, 0x31, 0x00, 0x00,  // DI; LD SP,0000h
                  0xED, 0x56,              // IM 1
                  0xFB,                    // EI
                  0x76,                    // HALT
                  0x18, 0xFD}},            // JR back to the HALT
        {0x0038, {0xF5,                    // PUSH AF
                  0xDB, 0x38,              // IN A,(56)
                  0xD3, 0x06,              // OUT (6),A
                  0xF1, 0xFB,              // POP AF; EI
                  0xED, 0x4D}},            // RETI
        {0x0066, {0xED, 0x45}},            // RETN
    });
}

const char* const RUNTIME_FILES[] = {"font.bin", "noise.snd", "vco_hi.snd", "vco_lo.snd", "slf.snd", "vco_slf.snd"};

class HeadlessRunner : public ::testing::Test {
protected:
    // A working folder with the given system ROM, empty device ROMs and our font and samples.
    void Prepare(const Bytes& basicRom)
    {
        folder.Write("basic.rom", basicRom);
        folder.Write("dev_dos.rom", Bytes{});
        folder.Write("dev_pr.rom", Bytes{});
        for (const char* name : RUNTIME_FILES) {
            Bytes bytes = ReadFile(std::string(VORLIX_RUNTIME_DIR) + "/" + name);
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
        out = folder.Read("stdout.txt").empty() ? "" : ReadText(folder.File("stdout.txt"));
        err = ReadText(folder.File("stderr.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempFolder folder;
    std::string out;
    std::string err;
};

TEST_F(HeadlessRunner, RendersKnownVideoMemoryAsTheStoredImagesInBothBlinkPhases)
{
    Prepare(FillRom());
    ASSERT_EQ(Run("--frames 5 --pbm plain.pbm --frames 7 --pbm blink.pbm"), 0) << err;
    EXPECT_EQ(err, "");
    // Frame 5 shows blinking cells plain, frame 12 inverted.
    Bytes plain = folder.Read("plain.pbm");
    Bytes blink = folder.Read("blink.pbm");
    ASSERT_EQ(plain.size(), 11u + 7200u);
    EXPECT_EQ(std::string(plain.begin(), plain.begin() + 11), "P4\n240 240\n");
    EXPECT_TRUE(plain == ReadFile(VORLIX_HEADLESS_DATA "/fill_frame5.pbm")) << "differs from fill_frame5.pbm";
    EXPECT_TRUE(blink == ReadFile(VORLIX_HEADLESS_DATA "/fill_frame12.pbm")) << "differs from fill_frame12.pbm";
}

TEST_F(HeadlessRunner, PrintsTheScreenAsText)
{
    Prepare(FillRom());
    ASSERT_EQ(Run("--frames 2 --screen"), 0) << err;
    const std::vector<std::string> expected = {
        "  ▒EÖ▒ ▒▒N▒▒ ▒CX▒  7Nax ▒▒U▒  1Jds !8Wn ",
        "  >ULc 1)Üwl :SHb  ▒Ü▒▒ ;,Eü  ▒Z▒▒ ▒▒G▒ ",
        " 7 eöS*  nGÖ5 cxR%< ▒AX▒  ▒N▒▒ ▒DS▒  wN%",
        "0' ulC:  ▒WL▒ ▒▒B▒▒ üQH#  eÜ7( zTC:  ▒Ü▒",
        "ÉWn  3Jay '<Uj  2EÖw !8Skö ▒GX▒ ▒▒J▒▒ ▒E",
        "PGü  ▒Z▒▒ ▒▒E▒  ▒UL▒ ▒▒C▒▒ >WHa 4#Zqh >U",
        "éwN%< ▒AY▒  uJ#8 ▒▒W▒  sKÖ5 gxQ*  ▒AX▒ ▒",
        "pgÜ5, zQI>  ▒Z▒▒ ulG>  ▒ÄL▒ ▒▒A▒  zQH' u",
        " *CXq '<Vax ▒EÖ▒  ▒J▒▒ ▒H_▒  ▒B▒▒ /4Åb  ",
        " :SHa 7,Fqh :ULg  !Zsl >XOv  +Rya ▒▒M▒  ",
        "= cxQ.  vAX3 eöW/8 ▒CÖ▒ ▒▒F▒▒ ▒IQ▒  ▒B▒▒",
        "- shA>  ▒QH▒ ▒▒G▒▒ zSL% xoV=$ rYA6  mR; ",
        "Åj  1Ngö ▒▒S▒  7OXq #<Un  &MTä )1Fot \"KP",
        "Mz  ▒Ü▒▒ 1(Cz  ▒_H▒ ▒▒E▒  ▒ÅD▒ ▒▒V▒▒ ▒ÄÉ",
        "åJ#8 ▒GÖ▒  sJ%< ▒▒Q▒  uN(? mtÄ\"  ▒OT▒ kp",
        "mZ3( üWL&  ▒Z▒▒ █hA:  ▒Ü▒▒ ▒▒K▒  v_D- ▒▒",
        ":MT█ )0Äct &OPy ,;Bip &MUb  9Fot )0Äb  ▒",
        "*ÅDo ▒ K▒▒ ▒_É▒ ▒▒R▒▒ ▒ÅE▒  ▒V▒▒ ▒ K▒  /",
        " mt_&  äCT= opY\"  bIP? muB+0 fOT>  äB-4 ",
        " ådO6  kSD- ▒▒I▒  ▒YÉ▒ ▒▒R▒  ▒_D▒  ▒R▒▒ ",
        "z  ▒F▒▒ ▒▒Å▒  ▒B▒▒ )0_f  ▒KP▒ /4Üip \"MT█",
        "j  /Vyé 3$Mv  )Rök ▒ O▒  2ÄÉi ▒▒N▒▒ ▒ÅD▒",
        "Z-4 fIP;  ▒F▒▒ ▒LÄ▒  ▒F▒▒ kpY&  ▒IP▒ mt_",
        "J=$ vYÉ+  mV?  rÖK2  oV=% ▒▒I▒  nYÉ+ ▒▒O",
    };
    std::string joined;
    for (const std::string& row : expected)
        joined += row + "\n";
    EXPECT_EQ(out, joined);
}

TEST_F(HeadlessRunner, TypesThroughTheKeyboardAndLogsPortSixWithFrameNumbers)
{
    Prepare(KeyEchoRom());
    // Each key is held three frames and followed by three more; the interrupt is taken in
    // the first frame after the press.
    ASSERT_EQ(Run("--frames 2 --port6-log keys.log --type 'Ab\\n' --type '\xC3\xA4@' --frames 1"), 0) << err;
    EXPECT_EQ(ReadText(folder.File("keys.log")),
              "3 0xC1\n"    // Shift+A
              "9 0xE2\n"    // b
              "15 0x8D\n"   // Enter
              "21 0xFB\n"   // a diaeresis, on the second key right of L
              "27 0xC0\n"); // '@' is the machine's E acute, Shift on the second key right of 0
    EXPECT_EQ(out, "");
}

TEST_F(HeadlessRunner, StartUpFailuresGiveTheirMessageAndAnErrorStatus)
{
    Prepare(FillRom());
    std::filesystem::remove(folder.Path() / "font.bin");
    EXPECT_EQ(Run("--frames 1 --screen"), 1);
    EXPECT_EQ(err, "Display initialization failed!\n");
    EXPECT_EQ(out, "");

    folder.Write("font.bin", Bytes(2559, 0));
    EXPECT_EQ(Run("--frames 1"), 1);
    EXPECT_EQ(err, "Display initialization failed!\n");

    folder.Write("font.bin", ReadFile(std::string(VORLIX_RUNTIME_DIR) + "/font.bin"));
    std::filesystem::remove(folder.Path() / "vco_slf.snd");
    EXPECT_EQ(Run("--frames 1"), 1);
    EXPECT_EQ(err, "Sound initialization failed!\n");

    folder.Write("basic.rom", Bytes(0x3FFF, 0));
    EXPECT_EQ(Run("--frames 1"), 1);
    EXPECT_EQ(err, "Memory initialization failed!\n");
}

TEST_F(HeadlessRunner, RefusesBadArgumentsBeforeStartingAnything)
{
    Prepare(FillRom());
    const char* const bad[] = {
        "--frames", "--frames x", "--frames -1", "--frames 5x", "--bogus", "--set Colour=1",
        "--set PrintAppend=yes", "--set FileFolder", "--type '\xE2\x82\xAC'", "--pbm ''",
    };
    for (const char* arguments : bad) {
        EXPECT_EQ(Run(std::string("--port6-log never.log ") + arguments), 2) << arguments;
        EXPECT_NE(err.find("usage: vorlix-headless"), std::string::npos) << arguments;
        EXPECT_FALSE(folder.Exists("never.log")) << arguments;
    }
    // Good settings are taken, and the options act in order: the log sees only later frames.
    EXPECT_EQ(Run("--set FileFolder=files/ --set PrintAppend=0 --set EmulatorSpeed=1 --frames 1 --port6-log later.log"), 0)
        << err;
    EXPECT_EQ(ReadText(folder.File("later.log")), "");
    EXPECT_EQ(Run("--pbm nowhere/image.pbm"), 1);
    EXPECT_NE(err.find("cannot write nowhere/image.pbm"), std::string::npos) << err;
}

}  // namespace
