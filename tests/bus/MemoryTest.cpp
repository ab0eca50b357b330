#include <gtest/gtest.h>

#include <sys/stat.h>

#include "TempFolder.h"
#include "bus/CMemory.h"
#include "host/CHostFile.h"

namespace {

// A ROM image whose byte i is (i * 7 + seed) so that misplaced loads show.
std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed)
{
    std::vector<std::uint8_t> v(size);
    for (std::size_t i = 0; i < size; ++i)
        v[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return v;
}

void WriteRoms(const TempFolder& dir, std::size_t basic, std::size_t dos, std::size_t pr)
{
    dir.Write("basic.rom", Pattern(basic, 1));
    dir.Write("dev_dos.rom", Pattern(dos, 2));
    dir.Write("dev_pr.rom", Pattern(pr, 3));
}

}  // namespace

TEST(Memory, LoadsImagesAtTheirAddressesAndLeavesTheRestFF)
{
    TempFolder dir;
    WriteRoms(dir, 0x4000, 0x100, 0x10);
    CMemory mem;
    ASSERT_TRUE(mem.Init());
    EXPECT_EQ(mem.ReadByte(0x0000), 1);
    EXPECT_EQ(mem.ReadByte(0x3FFF), static_cast<std::uint8_t>(0x3FFF * 7 + 1));
    EXPECT_EQ(mem.ReadByte(0x4000), 0xFF);
    EXPECT_EQ(mem.ReadByte(0x5FFF), 0xFF);
    EXPECT_EQ(mem.ReadByte(0x6000), 2);
    EXPECT_EQ(mem.ReadByte(0x60FF), static_cast<std::uint8_t>(0xFF * 7 + 2));
    EXPECT_EQ(mem.ReadByte(0x6100), 0xFF);
    EXPECT_EQ(mem.ReadByte(0x7800), 3);
    EXPECT_EQ(mem.ReadByte(0x7810), 0xFF);
    EXPECT_EQ(mem.ReadByte(0xFFFF), 0xFF);
}

TEST(Memory, ImageSizes)
{
    struct Case {
        std::size_t basic, dos, pr;
        bool ok;
    };
    const Case cases[] = {
        {0x4000, 0, 0, true},             // empty device images are fine
        {0x3FFF, 0, 0, false},            // one byte short of the BASIC image
        {0, 0, 0, false},                 // empty BASIC image
        {0x4001 + 500, 0x1000 + 9, 0x800 + 9, true},  // longer files: extra bytes ignored
    };
    for (const Case& c : cases) {
        TempFolder dir;
        WriteRoms(dir, c.basic, c.dos, c.pr);
        CMemory mem;
        EXPECT_EQ(mem.Init(), c.ok) << c.basic << " " << c.dos << " " << c.pr;
        if (c.ok) {
            // Nothing spills past an image's area.
            EXPECT_EQ(mem.ReadByte(0x4000), 0xFF);
            EXPECT_EQ(mem.ReadByte(0x7000), 0xFF);
            EXPECT_EQ(mem.ReadByte(0x8000), 0xFF);
        }
    }
}

TEST(Memory, LongPrinterImageReachesVideoMemory)
{
    TempFolder dir;
    WriteRoms(dir, 0x4000, 0, 0x800);
    CMemory mem;
    ASSERT_TRUE(mem.Init());
    EXPECT_EQ(mem.ReadByte(0x7C00), static_cast<std::uint8_t>(0x400 * 7 + 3));
    EXPECT_EQ(mem.ReadByte(0x7FFF), static_cast<std::uint8_t>(0x7FF * 7 + 3));
}

TEST(Memory, MissingLockedOrFolderImagesFail)
{
    {
        TempFolder dir;
        WriteRoms(dir, 0x4000, 0, 0);
        std::filesystem::remove(dir.Path() / "dev_pr.rom");
        CMemory mem;
        EXPECT_FALSE(mem.Init());
    }
    {
        TempFolder dir;
        WriteRoms(dir, 0x4000, 0, 0);
        std::filesystem::remove(dir.Path() / "dev_dos.rom");
        std::filesystem::create_directory(dir.Path() / "dev_dos.rom");
        CMemory mem;
        EXPECT_FALSE(mem.Init());
    }
    {
        TempFolder dir;
        WriteRoms(dir, 0x4000, 0, 0);
        CHostFile holder;
        ASSERT_TRUE(holder.Open("basic.rom", CHostFile::Mode::Read));
        CMemory mem;
        EXPECT_FALSE(mem.Init());
        holder.Close();
        EXPECT_TRUE(mem.Init());
    }
    {
        // A FIFO where the BASIC image should be: no hang, just a short image.
        TempFolder dir;
        WriteRoms(dir, 0x4000, 0, 0);
        std::filesystem::remove(dir.Path() / "basic.rom");
        ASSERT_EQ(::mkfifo("basic.rom", 0600), 0);
        CMemory mem;
        EXPECT_FALSE(mem.Init());
    }
}

TEST(Memory, AccessMasksAndWraps)
{
    CMemory mem;
    mem.WriteByte(0x0000, 0x12);  // the ROM areas are not protected
    EXPECT_EQ(mem.ReadByte(0x0000), 0x12);

    mem.WriteWord(0x1234, 0x9A7C);
    EXPECT_EQ(mem.ReadByte(0x1234), 0x7C);
    EXPECT_EQ(mem.ReadByte(0x1235), 0x9A);
    EXPECT_EQ(mem.ReadWord(0x1234), 0x9A7C);

    mem.WriteByte(0xFFFF, 0x34);
    mem.WriteByte(0x0000, 0x56);
    EXPECT_EQ(mem.ReadWord(0xFFFF), 0x5634);
    mem.WriteWord(0xFFFF, 0xABCD);
    EXPECT_EQ(mem.ReadByte(0xFFFF), 0xCD);
    EXPECT_EQ(mem.ReadByte(0x0000), 0xAB);

    mem.WriteByte(0x10005, 0x77);
    EXPECT_EQ(mem.ReadByte(0x0005), 0x77);
    EXPECT_EQ(mem.ReadByte(0xFFFFFFFF), 0xCD);
    EXPECT_EQ(mem.ReadWord(0x1FFFF), 0xABCD);
}
