#include <gtest/gtest.h>

#include <array>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "ChannelMachine.h"
#include "devices/CHostName.h"

TEST_F(Channels, ReadsSixHundredBytesAsTwoRecordsAndAShortThirdWrappingAt64K)
{
    root.Write("store/DATA.BIN", PatternBytes(600));
    ASSERT_EQ(Open(OPEN_READ, 1, "DATA    BIN"), OK);
    EXPECT_EQ(cpu.HL(), 0xF600);
    const std::pair<std::uint8_t, std::size_t> records[] = {{OK, 256}, {OK, 256}, {FAILED, 88}};
    for (std::size_t r = 0; r < 3; ++r) {
        const auto [status, bytes] = records[r];
        Put(0xFF00, Bytes(0x300, 0xAA));  // the record goes to 0xFF80 and on over the top
        cpu.SetHL(0xFF80);
        EXPECT_EQ(File(READ_BLOCK), status) << r;
        EXPECT_EQ(cpu.HL(), 0xFF80);  // the program advances its own pointer
        EXPECT_EQ(Memory(0xFF80, bytes), PatternBytes(bytes, r * 256)) << r;  // a short record arrives too
        EXPECT_EQ(Memory(0xFF00, 0x80), Bytes(0x80, 0xAA));
        EXPECT_EQ(Memory(0xFF80 + bytes, 0x180 - bytes), Bytes(0x180 - bytes, 0xAA));
    }
    const Bytes before = Snapshot();
    EXPECT_EQ(File(READ_BLOCK), FAILED);
    EXPECT_EQ(File(WRITE_BLOCK), FAILED);  // a slot open for reading takes no record
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(root.Read("store/DATA.BIN"), PatternBytes(600));
}

TEST_F(Channels, WritesWholeRecordsWrappingAt64KAndTruncatesOnCreate)
{
    Put(0xFFFA, "DATA    BIN");  // the name itself runs over the top
    Regs(4, 0, 0xFFFA, 0);
    ASSERT_EQ(File(OPEN_WRITE), OK);
    EXPECT_EQ(cpu.HL(), 0xF900);
    Bytes expected;
    for (std::uint16_t source : {0xF900, 0x0000, 0xFF80}) {
        const Bytes record = PatternBytes(256, source);
        Put(source, record);
        expected.insert(expected.end(), record.begin(), record.end());
        cpu.SetHL(source);
        EXPECT_EQ(File(WRITE_BLOCK), OK) << source;
        EXPECT_EQ(cpu.HL(), source);
    }
    const Bytes before = Snapshot();
    EXPECT_EQ(File(READ_BLOCK), FAILED);  // a slot open for writing gives nothing back
    EXPECT_EQ(Snapshot(), before);
    File(CLOSE);
    EXPECT_EQ(root.Read("store/DATA.BIN"), expected);
    ASSERT_EQ(Open(OPEN_WRITE, 1, "DATA    BIN"), OK);
    File(CLOSE);
    EXPECT_TRUE(root.Read("store/DATA.BIN").empty());
}

TEST_F(Channels, NamesLandInTheFolderTextAsBuiltAndFindFilesWithoutCase)
{
    const std::pair<std::string, std::string> names[] = {
        {"README  TXT", "README.TXT"}, {"\x5D" "SA     TXT", "\xC3\x85SA.TXT"}, {"NAME       ", "NAME"},
        {"A:B     \x5C  ", "A:B.\xC3\x96"},  // 0x5C is a letter, never a separator
    };
    std::set<std::string> expected{"game.bas"};
    root.Write("store/game.bas", PatternBytes(256));
    for (const auto& [target, host] : names) {
        EXPECT_EQ(Open(OPEN_WRITE, 0, target), OK) << target;
        File(CLOSE);
        expected.insert(host);
    }
    // An existing file is found whatever its case: a create replaces it, adding no second spelling.
    ASSERT_EQ(Open(OPEN_WRITE, 0, "GAME    BAS"), OK);
    File(CLOSE);
    EXPECT_EQ(Listing(store), expected);
    EXPECT_TRUE(root.Read("store/game.bas").empty());

    // The folder text is read at each open and put in front as it stands.
    settings.fileFolder = root.File("store");
    ASSERT_EQ(Open(OPEN_WRITE, 0, "GAME    BAS"), OK);
    settings.fileFolder.clear();  // the working directory
    ASSERT_EQ(Open(OPEN_WRITE, 0, "HERE    BAS"), OK);
    File(CLOSE);
    EXPECT_EQ(Listing(root.Path()), (std::set<std::string>{"store", "storeGAME.BAS", "HERE.BAS"}));
    EXPECT_EQ(Listing(store), expected);
}

TEST_F(Channels, SlotsBufferAddressesAndSharedClose)
{
    // B above 7 selects slot 0; every open hands out the slot's buffer, failed or not.
    root.Write("store/A.BIN", PatternBytes(256));
    const std::pair<std::uint8_t, std::uint16_t> buffers[] = {{8, 0xF500}, {255, 0xF500}, {200, 0xF500}, {1, 0xF600},
        {2, 0xF700}, {3, 0xF800}, {4, 0xF900}, {5, 0xFA00}, {6, 0xFB00}, {7, 0xFC00}};
    for (const auto& [b, buffer] : buffers) {
        const bool zero = buffer == 0xF500;
        EXPECT_EQ(Open(OPEN_READ, b, zero ? "A       BIN" : "MISSING BIN"), zero ? OK : FAILED) << int(b);
        EXPECT_EQ(cpu.HL(), buffer) << int(b);
    }
    for (int slot = 0; slot < 8; ++slot)
        EXPECT_EQ(files.Slot(slot).IsOpen(), slot == 0) << slot;
    // Slot 0 holds A.BIN, so no other slot opens it, and the failed create keeps its contents.
    EXPECT_EQ(Open(OPEN_READ, 2, "A       BIN"), FAILED);
    EXPECT_EQ(Open(OPEN_WRITE, 3, "a       bin"), FAILED);
    EXPECT_EQ(root.Read("store/A.BIN"), PatternBytes(256));

    // The printer port closes a slot the file port opened, reporting nothing.
    bus.SetInputLatch(PRINTER_PORT, 0x5A);
    bus.SetInputLatch(FILE_PORT, 0x5A);
    Regs(8, 0, 0, 0);
    EXPECT_EQ(Printer(CLOSE), 0x5A);
    EXPECT_EQ(bus.ReadPort(FILE_PORT), 0x5A);
    EXPECT_FALSE(files.Slot(0).IsOpen());
    EXPECT_EQ(Open(OPEN_READ, 2, "A       BIN"), OK);

    // And the file port closes the printer's slot 2, once the printer's open has let A.BIN go.
    Regs(2, 0, 0, 0);
    Printer(OPEN_WRITE);
    EXPECT_EQ(Open(OPEN_READ, 3, "A       BIN"), OK);
    Regs(2, 0, 0, 0);
    File(CLOSE);
    File(CLOSE);  // an empty slot: nothing happens
    for (int slot = 0; slot < 8; ++slot)
        EXPECT_EQ(files.Slot(slot).IsOpen(), slot == 3) << slot;
}

TEST_F(Channels, HostileNamesNeverReachOutsideTheFolder)
{
    root.WriteText("victim", "keep me");
    fs::create_directory(store + "sub");
    // A record written on the slot first: each failed open must still close it, keeping the data.
    ASSERT_EQ(Open(OPEN_WRITE, 7, "SAVED   BIN"), OK);
    Put(0x4000, Bytes(256, 0x3C));
    cpu.SetHL(0x4000);
    ASSERT_EQ(File(WRITE_BLOCK), OK);
    const std::string hostile[] = {
        "..         ", ".          ", "           ", std::string(11, '\0'), std::string("\0BCDEFGHTXT", 11),
        "..      .  ", "../     VIC", "/TMP    X  ", "A/B     TXT", "SUB/X      ", "NAME    /  ", "..      /  ",
        "A\x01" "B     TXT", "NAME    T\nT", "\x1F" "       TXT", "NAME\t   TXT", "\x7F\x1B      TXT",
        std::string("NAME    \x1B\0\0", 11),
    };
    for (const std::string& name : hostile) {
        CHostName::TargetName t{};
        std::copy(name.begin(), name.end(), t.begin());
        EXPECT_FALSE(CHostName::Build(t).has_value()) << name;
        for (std::uint8_t command : {OPEN_READ, OPEN_WRITE}) {
            EXPECT_EQ(Open(command, 7, name), FAILED) << name;
            EXPECT_EQ(cpu.HL(), 0xFC00);
            const Bytes before = Snapshot();
            EXPECT_EQ(File(READ_BLOCK), FAILED) << name;  // the slot is empty: nothing moves
            EXPECT_EQ(File(WRITE_BLOCK), FAILED) << name;
            EXPECT_EQ(Snapshot(), before);
        }
    }
    EXPECT_EQ(Listing(root.Path()), (std::set<std::string>{"store", "victim"}));
    EXPECT_EQ(Listing(store), (std::set<std::string>{"sub", "SAVED.BIN"}));
    EXPECT_TRUE(Listing(store + "sub").empty());
    EXPECT_EQ(Text("victim"), "keep me");
    EXPECT_EQ(root.Read("store/SAVED.BIN"), Bytes(256, 0x3C));
    EXPECT_EQ(Open(OPEN_READ, 6, "SAVED   BIN"), OK);  // the lock went with the close
}

namespace {

// Caps the size of files this process may write, so that the host cuts a record short.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : handler(::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &previous);
        const rlimit limit{bytes, previous.rlim_max};
        ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &previous); ::signal(SIGXFSZ, handler); }
    void (*handler)(int);
    rlimit previous{};
    bool ok = false;
};

}  // namespace

TEST_F(Channels, HostWriteFailuresAreReported)
{
    // The host takes part of a record, then none, as a full disk would.
    ASSERT_EQ(Open(OPEN_WRITE, 1, "BIG     BIN"), OK);
    cpu.SetHL(0x4000);
    std::array<std::uint8_t, 3> statuses{};
    {
        FileSizeLimit limit(300);
        ASSERT_TRUE(limit.ok);
        for (std::uint8_t& status : statuses)
            status = File(WRITE_BLOCK);
    }
    EXPECT_EQ(statuses, (std::array<std::uint8_t, 3>{OK, FAILED, FAILED}));
    File(CLOSE);
    EXPECT_EQ(root.Read("store/BIG.BIN").size(), 300u);

    // A device that is always full, as a file in the store (a node of our own, or the system's
    // own reached through the folder text and the lookup that ignores case).
    const bool ownNode = ::mknod((store + "FULL").c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0;
    settings.fileFolder = ownNode ? store : "/dev/";
    ASSERT_EQ(Open(OPEN_WRITE, 1, "FULL       "), OK);
    cpu.SetHL(0x4000);
    EXPECT_EQ(File(WRITE_BLOCK), FAILED);
    File(CLOSE);
    settings.fileFolder = store;

    // A folder that cannot hold files. Tests run as root, which a read-only mode does not stop,
    // so the folder text names a path below a regular file; a zero byte must not cut it short.
    root.WriteText("plain", "not a folder");
    for (const std::string& folder : {root.File("plain") + "/", root.File("plain") + std::string(1, '\0')}) {
        settings.fileFolder = folder;
        EXPECT_EQ(Open(OPEN_WRITE, 2, "GAME    BAS"), FAILED);
        cpu.SetHL(0x4000);
        EXPECT_EQ(File(WRITE_BLOCK), FAILED);
        EXPECT_EQ(Text("plain"), "not a folder");
    }
}

TEST_F(Channels, CommandsOutsideTheChannelChangeOnlyTheOutputLatch)
{
    root.Write("store/A.BIN", PatternBytes(256));
    ASSERT_EQ(Open(OPEN_READ, 1, "A       BIN"), OK);
    bus.SetInputLatch(FILE_PORT, 0x5A);
    bus.SetInputLatch(PRINTER_PORT, 0xA5);
    Regs(1, 10, 0x9000, 0x4000);
    const std::pair<std::uint8_t, std::uint8_t> probes[] = {
        {255, 3}, {255, 4}, {255, 7}, {255, 0x80}, {255, 0xFF}, {254, 0},    {254, 3},
        {254, 5}, {254, 6}, {254, 7}, {254, 0x42}, {254, 0xFF},
    };
    for (const auto& [port, command] : probes) {
        const Bytes memoryBefore = Snapshot();
        const auto regs = cpu.Regs();
        bus.WritePort(port, command);
        EXPECT_EQ(bus.OutputLatch(port), command);
        EXPECT_EQ(Snapshot(), memoryBefore) << int(port) << ":" << int(command);
        EXPECT_EQ((std::array{cpu.Regs().bc, cpu.DE(), cpu.HL()}), (std::array{regs.bc, regs.de, regs.hl}));
        EXPECT_EQ(bus.ReadPort(FILE_PORT), 0x5A);
        EXPECT_EQ(bus.ReadPort(PRINTER_PORT), 0xA5);
    }
    EXPECT_EQ(Listing(root.Path()), (std::set<std::string>{"store"}));
    // Nothing above moved the slot along.
    EXPECT_EQ(File(READ_BLOCK), OK);
    EXPECT_EQ(Memory(0x4000, 256), PatternBytes(256));
}

TEST_F(Channels, TheEmulatorsOwnFilesAreReadButNeverWrittenUnderAnyName)
{
    // The store is the folder of the ROM images, font and samples, as with the default
    // settings, and start-up has loaded two of them; COPY.SND is another name of a sample.
    const Bytes font = PatternBytes(2560), sample = PatternBytes(4000, 9);
    root.Write("store/font.bin", font);
    root.Write("store/slf.snd", sample);
    fs::create_hard_link(store + "slf.snd", store + "COPY.SND");
    for (const char* name : {"font.bin", "slf.snd"}) {
        CHostFile loaded;
        ASSERT_TRUE(files.StartupFiles().Open(loaded, store + name)) << name;
    }
    for (const char* name : {"FONT    BIN", "font    bin", "SLF     SND", "COPY    SND"}) {
        EXPECT_EQ(Open(OPEN_WRITE, 1, name), FAILED) << name;
        EXPECT_FALSE(files.Slot(1).IsOpen()) << name;
    }
    // The printer's open still reports 0, appending or replacing, and leaves the slot empty.
    for (int append : {1, 0}) {
        for (const char* name : {"slf.snd", "COPY.SND", "font.bin"}) {
            settings.printAppend = append;
            settings.printDestination = store + name;
            Regs(2, 0, 0, 0);
            EXPECT_EQ(Printer(OPEN_WRITE), OK) << name;
            EXPECT_FALSE(files.Slot(2).IsOpen()) << name;
            EXPECT_EQ(Print(2, "lost"), OK);
        }
    }
    // Reading them stays allowed, and the folder's other files are written as ever.
    ASSERT_EQ(Open(OPEN_READ, 3, "FONT    BIN"), OK);
    cpu.SetHL(0x4000);
    EXPECT_EQ(File(READ_BLOCK), OK);
    EXPECT_EQ(Memory(0x4000, 256), PatternBytes(256));
    File(CLOSE);
    EXPECT_EQ(Open(OPEN_WRITE, 4, "GAME    BAS"), OK);
    File(CLOSE);
    EXPECT_EQ(root.Read("store/font.bin"), font);
    EXPECT_EQ(root.Read("store/slf.snd"), sample);
    EXPECT_EQ(Listing(store), (std::set<std::string>{"font.bin", "slf.snd", "COPY.SND", "GAME.BAS"}));
}

TEST_F(Channels, SymbolicLinksAreReadThroughButNeverCreatedEmptiedOrWrittenThrough)
{
    // Links the user put in the store: to a file outside, to a file not there (yet), and one
    // whose name differs from the asked one only in case.
    root.Write("outside.bin", PatternBytes(256));
    fs::create_symlink("../outside.bin", store + "LINK.BIN");
    fs::create_symlink("../created.bin", store + "DANGLE.BIN");
    fs::create_symlink(root.File("outside.bin"), store + "lower.bin");
    for (const char* name : {"LINK    BIN", "DANGLE  BIN", "LOWER   BIN"}) {
        EXPECT_EQ(Open(OPEN_WRITE, 1, name), FAILED) << name;
        EXPECT_FALSE(files.Slot(1).IsOpen()) << name;
    }
    for (int append : {1, 0}) {
        for (const char* name : {"LINK.BIN", "DANGLE.BIN"}) {
            settings.printAppend = append;
            settings.printDestination = store + name;
            Regs(2, 0, 0, 0);
            EXPECT_EQ(Printer(OPEN_WRITE), OK) << name;
            EXPECT_FALSE(files.Slot(2).IsOpen()) << name;
            EXPECT_EQ(Print(2, "lost"), OK);
        }
    }
    EXPECT_EQ(root.Read("outside.bin"), PatternBytes(256));
    EXPECT_EQ(Listing(root.Path()), (std::set<std::string>{"outside.bin", "store"}));
    // Reading through them works.
    for (const char* name : {"LINK    BIN", "LOWER   BIN"}) {
        ASSERT_EQ(Open(OPEN_READ, 3, name), OK) << name;
        cpu.SetHL(0x4000);
        EXPECT_EQ(File(READ_BLOCK), OK);
        EXPECT_EQ(Memory(0x4000, 256), PatternBytes(256));
        File(CLOSE);
    }
}
