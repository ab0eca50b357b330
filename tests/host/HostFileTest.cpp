#include <gtest/gtest.h>

#include "TempFolder.h"
#include "host/CHostFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(HostFile, SecondOpenOfAHeldFileFailsInEveryMode)
{
    TempFolder dir;
    dir.WriteText("held.txt", "contents");
    CHostFile first;
    ASSERT_TRUE(first.Open("held.txt", CHostFile::Mode::Read));
    for (auto mode : {CHostFile::Mode::Read, CHostFile::Mode::Create, CHostFile::Mode::Append}) {
        CHostFile second;
        EXPECT_FALSE(second.Open("held.txt", mode));
    }
    // A refused create must not have truncated the held file.
    char buf[16] = {};
    EXPECT_EQ(first.Read(buf, sizeof buf), 8);
    first.Close();
    CHostFile again;
    EXPECT_TRUE(again.Open("held.txt", CHostFile::Mode::Read));
}

TEST(HostFile, CreateTruncatesAppendKeeps)
{
    TempFolder dir;
    dir.WriteText("out.txt", "old");
    {
        CHostFile f;
        ASSERT_TRUE(f.Open("out.txt", CHostFile::Mode::Append));
        EXPECT_EQ(f.Write("+new", 4), 4);
    }
    EXPECT_EQ(dir.Read("out.txt"), (std::vector<std::uint8_t>{'o', 'l', 'd', '+', 'n', 'e', 'w'}));
    {
        CHostFile f;
        ASSERT_TRUE(f.Open("out.txt", CHostFile::Mode::Create));
        EXPECT_EQ(f.Size(), 0);
        EXPECT_EQ(f.Write("x", 1), 1);
    }
    EXPECT_EQ(dir.Read("out.txt"), (std::vector<std::uint8_t>{'x'}));
    {
        CHostFile f;
        ASSERT_TRUE(f.Open("fresh.txt", CHostFile::Mode::Append));
    }
    EXPECT_TRUE(dir.Exists("fresh.txt"));
}

TEST(HostFile, BadPathsAndWriteErrors)
{
    TempFolder dir;
    CHostFile f;
    EXPECT_FALSE(f.Open("", CHostFile::Mode::Read));
    EXPECT_FALSE(f.Open("missing.bin", CHostFile::Mode::Read));
    std::filesystem::create_directory(dir.Path() / "folder");
    EXPECT_FALSE(f.Open("folder", CHostFile::Mode::Read));
    EXPECT_FALSE(f.Open("folder", CHostFile::Mode::Create));
    dir.WriteText("plain", "x");
    EXPECT_FALSE(f.Open("plain/below", CHostFile::Mode::Create));  // a file is not a folder
    EXPECT_EQ(CHostFile::ReadFile("missing.bin", nullptr, 0), -1);
    EXPECT_EQ(f.Read(nullptr, 1), -1);   // nothing open
    EXPECT_EQ(f.Write("x", 1), -1);

    ASSERT_TRUE(f.Open("/dev/full", CHostFile::Mode::Append));
    EXPECT_EQ(f.Write("abc", 3), -1);  // the device is full: nothing written
}

TEST(HostFile, FifoWithAnIdleWriterNeverBlocks)
{
    TempFolder dir;
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    int writer = ::open("pipe", O_RDWR | O_NONBLOCK);  // a writer that never writes
    ASSERT_GE(writer, 0);
    CHostFile f;
    ASSERT_TRUE(f.Open("pipe", CHostFile::Mode::Read));
    char buf[8];
    EXPECT_EQ(f.Read(buf, sizeof buf), -1);
    ASSERT_EQ(::write(writer, "ab", 2), 2);
    EXPECT_EQ(f.Read(buf, sizeof buf), 2);
    ::close(writer);
}
