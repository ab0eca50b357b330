// The parts of the machine the device channels touch, wired as the application wires them,
// inside a fresh test folder whose "store/" is the file store and "print.out" the printer
// destination. The helpers load registers and write a command byte as an output instruction does.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "TempFolder.h"
#include "MachineRig.h"

namespace fs = std::filesystem;

constexpr std::uint8_t FILE_PORT = 255, PRINTER_PORT = 254, OK = 0x00, FAILED = 0xFF;
enum Command : std::uint8_t { OPEN_READ, OPEN_WRITE, CLOSE, COMMAND_3, WRITE_BYTES, READ_BLOCK, WRITE_BLOCK };

using Bytes = std::vector<std::uint8_t>;

// A recognisable byte for each position of a test file.
inline Bytes PatternBytes(std::size_t count, std::size_t from = 0)
{
    Bytes v(count);
    for (std::size_t i = 0; i < count; ++i)
        v[i] = static_cast<std::uint8_t>((from + i) * 7 + 1);
    return v;
}

// Names in a folder; empty when the folder cannot be read.
inline std::set<std::string> Listing(const fs::path& folder)
{
    std::set<std::string> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
        names.insert(it->path().filename().string());
    return names;
}

struct Channels : ::testing::Test, MachineRig {
    TempFolder root;
    std::string store = root.File("store") + "/";

    Channels()
    {
        fs::create_directory(store);
        settings.fileFolder = store;
        settings.printDestination = root.File("print.out");
    }

    void Regs(std::uint8_t b, std::uint8_t c, std::uint16_t de, std::uint16_t hl)
    {
        cpu.Regs().bc = static_cast<std::uint16_t>(b << 8 | c);
        cpu.Regs().de = de;
        cpu.Regs().hl = hl;
    }
    // Writes the command to the port and returns what the next input instruction reads.
    std::uint8_t Out(std::uint8_t port, std::uint8_t command) { bus.WritePort(port, command); return bus.ReadPort(port); }
    std::uint8_t File(std::uint8_t command) { return Out(FILE_PORT, command); }
    std::uint8_t Printer(std::uint8_t command) { return Out(PRINTER_PORT, command); }

    // Memory access that wraps at 64 KB, as the channels' transfers do.
    void Put(std::uint16_t address, std::string_view bytes) { Put(address, Bytes(bytes.begin(), bytes.end())); }
    void Put(std::uint16_t address, const Bytes& bytes)
    {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            memory.WriteByte(static_cast<std::uint16_t>(address + i), bytes[i]);
    }
    Bytes Memory(std::uint16_t address, std::size_t count) const
    {
        Bytes v(count);
        for (std::size_t i = 0; i < count; ++i)
            v[i] = memory.ReadByte(static_cast<std::uint16_t>(address + i));
        return v;
    }
    Bytes Snapshot() const { return {memory.Bytes(), memory.Bytes() + CMemory::SIZE}; }

    // Opens the 11-byte name, placed at 0x9000, on a slot through the file port.
    std::uint8_t Open(std::uint8_t command, std::uint8_t slot, std::string_view eleven)
    {
        Put(0x9000, eleven);
        Regs(slot, 0, 0x9000, 0x1234);
        return File(command);
    }
    // Prints text, placed at 0x5000, on a slot in one WriteBytes.
    std::uint8_t Print(std::uint8_t slot, std::string_view text)
    {
        Put(0x5000, text);
        Regs(slot, static_cast<std::uint8_t>(text.size()), 0, 0x5000);
        return Printer(WRITE_BYTES);
    }
    std::string Text(const std::string& name) const
    {
        const Bytes bytes = root.Read(name);
        return {bytes.begin(), bytes.end()};
    }
};
