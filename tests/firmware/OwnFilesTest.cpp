// With the default settings the file store is the folder of the emulator's own files: BASIC
// can name them, but saving over them or printing into them changes nothing, and the next
// start still finds them whole.
#include <gtest/gtest.h>

#include "HeadlessBasic.h"

using namespace HeadlessBasic;

TEST(OwnFiles, SaveAndPrintCannotDestroyTheRomImagesFontOrSamples)
{
    RuntimeFolder folder;
    std::vector<std::vector<std::uint8_t>> before;
    for (const std::string& name : CRuntimeFolder::Files())
        before.push_back(folder.Read(name));
    // The store is the working folder, as by default; the printer writes into a sample.
    ASSERT_EQ(Typed({"PrintDestination=slf.snd"},
                    ProgramLine() + Save("font.bin") + Save("BASIC.ROM") + Save("Noise.Snd") + PrintListing() +
                        Save("kept.bas")),
              0);
    for (std::size_t i = 0; i < CRuntimeFolder::Files().size(); ++i)
        EXPECT_EQ(folder.Read(CRuntimeFolder::Files()[i]), before[i]) << CRuntimeFolder::Files()[i] << " changed";
    // The BASIC did save where it could: the same session's last SAVE made its file.
    EXPECT_FALSE(folder.Read("KEPT.BAS").empty());
    EXPECT_EQ(RunHeadless({"--frames", "5"}), 0) << "the next start";
    EXPECT_EQ(folder.Read("runner.err"), std::vector<std::uint8_t>{});
}
