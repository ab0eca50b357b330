// The parts of the machine the device channels touch, wired as the application wires them,
// with helpers that load the registers and write a command byte the way an output
// instruction does.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bus/CIoBus.h"
#include "bus/CMemory.h"
#include "core/Settings.h"
#include "cpu/CCpu.h"
#include "devices/CSound.h"
#include "devices/HostFileTable.h"

struct ChannelMachine {
    static constexpr std::uint8_t FILE_PORT = 255;
    static constexpr std::uint8_t PRINTER_PORT = 254;
    static constexpr std::uint8_t OPEN_READ = 0, OPEN_WRITE = 1, CLOSE = 2, WRITE_BYTES = 4, READ_BLOCK = 5,
                                  WRITE_BLOCK = 6;

    CMemory memory;
    CCpu cpu{memory, bus};
    CSound sound;
    Settings settings;
    HostFileTable files;
    CIoBus bus{cpu, memory, sound, files, settings};

    ChannelMachine() { bus.Init(); }

    void SetRegs(std::uint8_t b, std::uint8_t c, std::uint16_t de, std::uint16_t hl)
    {
        cpu.Regs().bc = static_cast<std::uint16_t>(b << 8 | c);
        cpu.Regs().de = de;
        cpu.Regs().hl = hl;
    }
    void SetB(std::uint8_t b) { cpu.Regs().bc = static_cast<std::uint16_t>(b << 8 | cpu.C()); }
    void SetHL(std::uint16_t hl) { cpu.Regs().hl = hl; }

    // Writes the command to the port and returns what the next input instruction would read.
    std::uint8_t File(std::uint8_t command)
    {
        bus.WritePort(FILE_PORT, command);
        return bus.ReadPort(FILE_PORT);
    }
    std::uint8_t Printer(std::uint8_t command)
    {
        bus.WritePort(PRINTER_PORT, command);
        return bus.ReadPort(PRINTER_PORT);
    }

    // Places 11 name bytes at address (wrapping at 64 KB).
    void PutName(std::uint16_t address, std::string_view eleven)
    {
        for (std::size_t i = 0; i < eleven.size(); ++i)
            memory.WriteByte(address + static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(eleven[i]));
    }
    // Opens the 11-byte name on a slot through the file port; the name goes to 0x9000.
    std::uint8_t OpenFile(std::uint8_t command, std::uint8_t slot, std::string_view eleven)
    {
        PutName(0x9000, eleven);
        SetRegs(slot, 0, 0x9000, 0x1234);
        return File(command);
    }
    void Fill(std::uint16_t address, std::size_t count, std::uint8_t value)
    {
        for (std::size_t i = 0; i < count; ++i)
            memory.WriteByte(address + static_cast<std::uint32_t>(i), value);
    }
    std::vector<std::uint8_t> Snapshot() const { return {memory.Bytes(), memory.Bytes() + CMemory::SIZE}; }
};

// Names in a folder, sorted; empty when the folder cannot be read.
inline std::set<std::string> Listing(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
        names.insert(it->path().filename().string());
    return names;
}

// A recognisable byte for position i of a test file.
inline std::uint8_t Pattern(std::size_t i) { return static_cast<std::uint8_t>(i * 7 + 1); }

inline std::vector<std::uint8_t> PatternBytes(std::size_t count, std::size_t from = 0)
{
    std::vector<std::uint8_t> v(count);
    for (std::size_t i = 0; i < count; ++i)
        v[i] = Pattern(from + i);
    return v;
}
