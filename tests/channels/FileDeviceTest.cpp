#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <signal.h>
#include <sys/resource.h>

#include "ChannelMachine.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t OK = 0x00;
constexpr std::uint8_t FAILED = 0xFF;

// A machine whose file store is the folder "store/" inside a fresh test folder.
struct FileStore : ::testing::Test {
    TempFolder root;
    std::string store = root.File("store") + "/";
    ChannelMachine m;

    FileStore()
    {
        fs::create_directory(store);
        m.settings.fileFolder = store;
    }
    std::vector<std::uint8_t> Stored(const std::string& name) const { return root.Read("store/" + name); }
    std::vector<std::uint8_t> Memory(std::uint16_t address, std::size_t count) const
    {
        std::vector<std::uint8_t> v(count);
        for (std::size_t i = 0; i < count; ++i)
            v[i] = m.memory.ReadByte(address + static_cast<std::uint32_t>(i));
        return v;
    }
};

}  // namespace

TEST_F(FileStore, ReadsSixHundredBytesAsTwoRecordsAndAShortThird)
{
    root.Write("store/DATA.BIN", PatternBytes(600));
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 1, "DATA    BIN"), OK);
    EXPECT_EQ(m.cpu.HL(), 0xF600);

    m.SetHL(0x4000);
    for (std::size_t record = 0; record < 2; ++record) {
        m.Fill(0x4000, 0x200, 0xAA);
        EXPECT_EQ(m.File(ChannelMachine::READ_BLOCK), OK);
        EXPECT_EQ(m.cpu.HL(), 0x4000);  // the program advances its own pointer
        EXPECT_EQ(Memory(0x4000, 256), PatternBytes(256, record * 256));
        EXPECT_EQ(Memory(0x4100, 1)[0], 0xAA);
    }
    m.Fill(0x4000, 0x200, 0xAA);
    EXPECT_EQ(m.File(ChannelMachine::READ_BLOCK), FAILED);
    EXPECT_EQ(Memory(0x4000, 88), PatternBytes(88, 512));  // the short record arrives all the same
    EXPECT_EQ(Memory(0x4058, 168), std::vector<std::uint8_t>(168, 0xAA));

    const auto before = m.Snapshot();
    EXPECT_EQ(m.File(ChannelMachine::READ_BLOCK), FAILED);
    EXPECT_EQ(m.Snapshot(), before);
}

TEST_F(FileStore, WritesWholeRecordsAndTruncatesOnTheNextCreate)
{
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 4, "DATA    BIN"), OK);
    EXPECT_EQ(m.cpu.HL(), 0xF900);
    std::vector<std::uint8_t> expected;
    const std::uint16_t sources[] = {0xF900, 0x0000, 0x8123};
    for (std::uint16_t source : sources) {
        const auto bytes = PatternBytes(256, source);
        for (std::size_t i = 0; i < 256; ++i)
            m.memory.WriteByte(source + static_cast<std::uint32_t>(i), bytes[i]);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
        m.SetHL(source);
        EXPECT_EQ(m.File(ChannelMachine::WRITE_BLOCK), OK);
        EXPECT_EQ(m.cpu.HL(), source);
    }
    m.File(ChannelMachine::CLOSE);
    EXPECT_EQ(Stored("DATA.BIN"), expected);

    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 4, "DATA    BIN"), OK);
    m.File(ChannelMachine::CLOSE);
    EXPECT_TRUE(Stored("DATA.BIN").empty());

    // A fresh read sees what was written, record by record.
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 0, "DATA    BIN"), OK);
    m.SetHL(0x8123);
    EXPECT_EQ(m.File(ChannelMachine::WRITE_BLOCK), OK);
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 0, "DATA    BIN"), OK);
    m.SetHL(0x5000);
    EXPECT_EQ(m.File(ChannelMachine::READ_BLOCK), OK);
    EXPECT_EQ(Memory(0x5000, 256), PatternBytes(256, 0x8123));
    EXPECT_EQ(m.File(ChannelMachine::READ_BLOCK), FAILED);
}

TEST_F(FileStore, TransfersAndNamesWrapAt64K)
{
    root.Write("store/WRAP.BIN", PatternBytes(256));
    m.PutName(0xFFFA, "WRAP    BIN");  // the name itself runs over the top
    m.SetRegs(1, 0, 0xFFFA, 0);
    ASSERT_EQ(m.File(ChannelMachine::OPEN_READ), OK);
    m.memory.WriteByte(0xFF7F, 0x11);
    m.memory.WriteByte(0x0080, 0x22);
    m.SetHL(0xFF80);
    EXPECT_EQ(m.File(ChannelMachine::READ_BLOCK), OK);
    EXPECT_EQ(Memory(0xFF80, 128), PatternBytes(128));
    EXPECT_EQ(Memory(0x0000, 128), PatternBytes(128, 128));
    EXPECT_EQ(m.memory.ReadByte(0xFF7F), 0x11);
    EXPECT_EQ(m.memory.ReadByte(0x0080), 0x22);

    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 1, "BACK    BIN"), OK);
    m.SetHL(0xFF80);
    EXPECT_EQ(m.File(ChannelMachine::WRITE_BLOCK), OK);
    m.File(ChannelMachine::CLOSE);
    EXPECT_EQ(Stored("BACK.BIN"), PatternBytes(256));
}

TEST_F(FileStore, HostNamesLandInTheFolderAsBuilt)
{
    const std::pair<std::string, std::string> names[] = {
        {"README  TXT", "README.TXT"},
        {"\x5D" "SA     TXT", "\xC3\x85SA.TXT"},
        {"NAME       ", "NAME"},
        {"A:B     \x5C  ", "A:B.\xC3\x96"},  // 0x5C is a letter, never a separator
    };
    std::set<std::string> expected;
    for (const auto& [target, host] : names) {
        EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 0, target), OK) << target;
        m.File(ChannelMachine::CLOSE);
        expected.insert(host);
    }
    EXPECT_EQ(Listing(store), expected);
    EXPECT_EQ(Listing(root.Path()), std::set<std::string>{"store"});
    // "NAME." opens the file NAME.
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 0, "NAME       "), OK);
}

TEST_F(FileStore, FindsExistingFilesWithoutRegardToCase)
{
    root.Write("store/game.bas", PatternBytes(256));
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 0, "GAME    BAS"), OK);
    m.SetHL(0x4000);
    EXPECT_EQ(m.File(ChannelMachine::READ_BLOCK), OK);
    EXPECT_EQ(Memory(0x4000, 256), PatternBytes(256));

    // A create replaces the existing file rather than adding a second spelling.
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 0, "GAME    BAS"), OK);
    m.File(ChannelMachine::CLOSE);
    EXPECT_EQ(Listing(store), std::set<std::string>{"game.bas"});
    EXPECT_TRUE(Stored("game.bas").empty());
}

TEST_F(FileStore, FolderTextIsUsedWithAndWithoutItsSeparator)
{
    m.settings.fileFolder = root.File("store");  // no separator: glued to "store"
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 0, "GAME    BAS"), OK);
    m.File(ChannelMachine::CLOSE);
    EXPECT_TRUE(root.Exists("storeGAME.BAS"));
    EXPECT_TRUE(Listing(store).empty());

    m.settings.fileFolder = store;  // read at the moment of each open
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 0, "GAME    BAS"), OK);
    m.File(ChannelMachine::CLOSE);
    EXPECT_EQ(Listing(store), std::set<std::string>{"GAME.BAS"});

    m.settings.fileFolder.clear();  // the working directory
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 0, "HERE    BAS"), OK);
    m.File(ChannelMachine::CLOSE);
    EXPECT_TRUE(fs::exists(fs::current_path() / "HERE.BAS"));
    EXPECT_TRUE(root.Exists("HERE.BAS"));
}

TEST_F(FileStore, SlotsBufferAddressesAndSharedClose)
{
    // B above 7 selects slot 0; every open hands out the buffer, failed or not.
    root.Write("store/A.BIN", PatternBytes(256));
    for (std::uint8_t b : {8, 9, 15, 255, 200}) {
        ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, b, "A       BIN"), OK) << int(b);
        EXPECT_EQ(m.cpu.HL(), 0xF500);
        for (int slot = 0; slot < 8; ++slot)
            EXPECT_EQ(m.files.Slot(slot).IsOpen(), slot == 0) << int(b);
    }
    for (int slot = 1; slot < 8; ++slot) {
        EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, static_cast<std::uint8_t>(slot), "MISSING BIN"), FAILED);
        EXPECT_EQ(m.cpu.HL(), 0xF500 + 0x100 * slot) << slot;
        EXPECT_FALSE(m.files.Slot(slot).IsOpen());
    }
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 5, "../     ETC"), FAILED);
    EXPECT_EQ(m.cpu.HL(), 0xFA00);

    // Slot 0 holds A.BIN, so no other slot can open it, for reading or writing, and the
    // failed create leaves its contents alone.
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 2, "A       BIN"), FAILED);
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 3, "a       bin"), FAILED);
    EXPECT_FALSE(m.files.Slot(2).IsOpen());
    EXPECT_EQ(Stored("A.BIN"), PatternBytes(256));

    // The printer port closes a slot the file port opened, and the file is free again.
    m.SetB(8);
    m.bus.SetInputLatch(ChannelMachine::PRINTER_PORT, 0x5A);
    m.bus.SetInputLatch(ChannelMachine::FILE_PORT, 0x5A);
    m.Printer(ChannelMachine::CLOSE);
    EXPECT_FALSE(m.files.Slot(0).IsOpen());
    EXPECT_EQ(m.bus.ReadPort(ChannelMachine::PRINTER_PORT), 0x5A);  // close reports nothing
    EXPECT_EQ(m.bus.ReadPort(ChannelMachine::FILE_PORT), 0x5A);
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 2, "A       BIN"), OK);

    // And the reverse: the file port closes the printer's slot 2.
    m.settings.printDestination = root.File("print.txt");
    m.SetB(2);
    m.Printer(ChannelMachine::OPEN_WRITE);  // slot 2 now holds the printer file
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 3, "A       BIN"), OK);  // the reopen let A.BIN go
    m.SetB(2);
    m.File(ChannelMachine::CLOSE);
    EXPECT_FALSE(m.files.Slot(2).IsOpen());
    m.File(ChannelMachine::CLOSE);  // an empty slot: nothing happens
    EXPECT_FALSE(m.files.Slot(2).IsOpen());
    EXPECT_TRUE(m.files.Slot(3).IsOpen());
}

TEST_F(FileStore, ReopeningASlotClosesItsFileFirst)
{
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 1, "SAVED   BIN"), OK);
    m.Fill(0x4000, 256, 0x3C);
    m.SetHL(0x4000);
    ASSERT_EQ(m.File(ChannelMachine::WRITE_BLOCK), OK);
    // Even an open that fails on its name empties the slot, so the record is kept and the
    // file can be opened again.
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 1, "BAD/    BIN"), FAILED);
    EXPECT_FALSE(m.files.Slot(1).IsOpen());
    EXPECT_EQ(Stored("SAVED.BIN"), std::vector<std::uint8_t>(256, 0x3C));
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 6, "SAVED   BIN"), OK);

    // Reopening the file a slot already holds works on that same slot.
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 6, "SAVED   BIN"), OK);
}

TEST_F(FileStore, EmptySlotsAndWrongDirectionsMoveNothing)
{
    root.Write("store/R.BIN", PatternBytes(512));
    m.Fill(0x4000, 256, 0x99);
    const auto before = m.Snapshot();
    m.SetRegs(3, 0, 0, 0x4000);
    EXPECT_EQ(m.File(ChannelMachine::READ_BLOCK), FAILED);
    EXPECT_EQ(m.File(ChannelMachine::WRITE_BLOCK), FAILED);
    EXPECT_EQ(m.Snapshot(), before);
    EXPECT_EQ(Listing(store), std::set<std::string>{"R.BIN"});

    // A slot opened for reading refuses a record written to it, and one opened for writing
    // gives nothing back.
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 3, "R       BIN"), OK);
    m.SetHL(0x4000);
    EXPECT_EQ(m.File(ChannelMachine::WRITE_BLOCK), FAILED);
    EXPECT_EQ(Stored("R.BIN"), PatternBytes(512));
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 3, "W       BIN"), OK);
    const auto held = m.Snapshot();
    m.SetHL(0x4000);
    EXPECT_EQ(m.File(ChannelMachine::READ_BLOCK), FAILED);
    EXPECT_EQ(m.Snapshot(), held);
}

TEST_F(FileStore, HostileNamesNeverReachOutsideTheFolder)
{
    root.WriteText("victim", "keep me");
    fs::create_directory(root.File("store/sub"));
    const std::string hostile[] = {
        "..         ", ".          ", "           ", std::string(11, '\0'), "..      .  ", "../     VIC",
        "/TMP    X  ", "SUB/X      ", "..      /  ", "A\x01" "B     TXT", "NAME    T\nT", "\x1F" "       TXT",
        "\x7F\x1B      TXT",
    };
    for (const std::string& name : hostile) {
        for (std::uint8_t command : {ChannelMachine::OPEN_READ, ChannelMachine::OPEN_WRITE}) {
            EXPECT_EQ(m.OpenFile(command, 7, name), FAILED) << name;
            EXPECT_EQ(m.cpu.HL(), 0xFC00);
            EXPECT_FALSE(m.files.Slot(7).IsOpen()) << name;
            m.SetHL(0x4000);
            EXPECT_EQ(m.File(ChannelMachine::WRITE_BLOCK), FAILED);
        }
    }
    EXPECT_EQ(Listing(root.Path()), (std::set<std::string>{"store", "victim"}));
    EXPECT_EQ(Listing(store), std::set<std::string>{"sub"});
    EXPECT_TRUE(Listing(root.File("store/sub")).empty());
    EXPECT_EQ(root.Read("victim"), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    // Opening the folder itself through a name that differs only in case fails as well.
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 7, "SUB        "), FAILED);
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 7, "SUB        "), FAILED);
}

TEST_F(FileStore, FolderThatCannotHoldFilesFailsTheOpen)
{
    // A folder that cannot hold files. Tests run as root, which a read-only mode does not
    // stop, so the folder text names a path below a regular file instead.
    root.WriteText("plain", "not a folder");
    m.settings.fileFolder = root.File("plain") + "/";
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 2, "GAME    BAS"), FAILED);
    EXPECT_FALSE(m.files.Slot(2).IsOpen());
    m.SetHL(0x4000);
    EXPECT_EQ(m.File(ChannelMachine::WRITE_BLOCK), FAILED);
    EXPECT_EQ(root.Read("plain").size(), 12u);

    // A zero byte in the folder text must not cut the path down to the file before it.
    m.settings.fileFolder = root.File("plain") + std::string(1, '\0');
    EXPECT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 2, "GAME    BAS"), FAILED);
    EXPECT_FALSE(m.files.Slot(2).IsOpen());
    EXPECT_EQ(root.Read("plain").size(), 12u);
}

namespace {

// Caps the size of files this process may write, so that a record is cut short by the host.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = bytes;
        ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous);
        ::signal(SIGXFSZ, previousHandler);
    }
    bool ok = false;

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

}  // namespace

// The host refuses part of a record, then all of one, as a full disk would.
TEST_F(FileStore, ShortAndFailedHostWritesAreReported)
{
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_WRITE, 1, "BIG     BIN"), OK);
    m.SetHL(0x4000);
    std::uint8_t statuses[3] = {};
    {
        FileSizeLimit limit(300);
        ASSERT_TRUE(limit.ok);
        for (std::uint8_t& status : statuses)
            status = m.File(ChannelMachine::WRITE_BLOCK);
    }
    EXPECT_EQ(statuses[0], OK);
    EXPECT_EQ(statuses[1], FAILED);  // only 44 bytes fitted
    EXPECT_EQ(statuses[2], FAILED);  // nothing fitted
    m.File(ChannelMachine::CLOSE);
    EXPECT_EQ(Stored("BIG.BIN").size(), 300u);
}

TEST_F(FileStore, CommandsOutsideTheChannelChangeOnlyTheOutputLatch)
{
    root.Write("store/A.BIN", PatternBytes(256));
    ASSERT_EQ(m.OpenFile(ChannelMachine::OPEN_READ, 1, "A       BIN"), OK);
    m.bus.SetInputLatch(ChannelMachine::FILE_PORT, 0x5A);
    m.bus.SetInputLatch(ChannelMachine::PRINTER_PORT, 0xA5);
    m.settings.printDestination = root.File("print.txt");
    m.SetRegs(1, 10, 0x9000, 0x4000);

    struct Probe {
        std::uint8_t port, command;
    };
    const Probe probes[] = {
        {255, 3}, {255, 4}, {255, 7}, {255, 8}, {255, 0x80}, {255, 0xFF},
        {254, 0}, {254, 3}, {254, 5}, {254, 6}, {254, 7}, {254, 0x42}, {254, 0xFF},
    };
    for (const Probe& p : probes) {
        const auto memory = m.Snapshot();
        const auto regs = m.cpu.Regs();
        std::array<std::uint8_t, 256> inputs{};
        for (int port = 0; port < 256; ++port)
            inputs[static_cast<std::size_t>(port)] = m.bus.ReadPort(static_cast<std::uint8_t>(port));
        m.bus.WritePort(p.port, p.command);
        EXPECT_EQ(m.bus.OutputLatch(p.port), p.command);
        EXPECT_EQ(m.Snapshot(), memory) << int(p.port) << ":" << int(p.command);
        EXPECT_EQ(m.cpu.Regs().bc, regs.bc);
        EXPECT_EQ(m.cpu.Regs().de, regs.de);
        EXPECT_EQ(m.cpu.Regs().hl, regs.hl);
        for (int port = 0; port < 256; ++port)
            EXPECT_EQ(m.bus.ReadPort(static_cast<std::uint8_t>(port)), inputs[static_cast<std::size_t>(port)]);
        for (int slot = 0; slot < 8; ++slot)
            EXPECT_EQ(m.files.Slot(slot).IsOpen(), slot == 1) << int(p.command);
    }
    EXPECT_EQ(Listing(root.Path()), (std::set<std::string>{"store"}));
    // The slot was not moved along by anything above.
    m.SetHL(0x4000);
    EXPECT_EQ(m.File(ChannelMachine::READ_BLOCK), OK);
    EXPECT_EQ(Memory(0x4000, 256), PatternBytes(256));
}
