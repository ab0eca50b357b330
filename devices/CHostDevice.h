// Base of the two host device channels. The emulated software loads B (slot), C (count),
// DE (name) and HL (buffer) and writes a command byte 0..6 to the channel's port; CIoBus
// calls Execute, which runs the matching operation to completion inside that output
// instruction, reading the live registers of the CPU and the 64 KB memory.
#pragma once

#include <cstddef>
#include <cstdint>

class CCpu;
class CHostFile;
class CIoBus;
class CMemory;
class HostFileTable;
struct Settings;

class CHostDevice {
public:
    CHostDevice(CCpu& cpu, CMemory& memory, CIoBus& bus, HostFileTable& files, const Settings& settings)
        : cpu(cpu), memory(memory), bus(bus), files(files), settings(settings)
    {
    }
    virtual ~CHostDevice() = default;

    // Commands above 6 do nothing.
    void Execute(std::uint8_t command);

protected:
    virtual void OpenRead() {}
    virtual void OpenWrite() {}
    // Shared by both channels: closes the slot's file if it has one; no status.
    virtual void Close();
    virtual void Command3() {}
    virtual void WriteBytes() {}
    virtual void ReadBlock() {}
    virtual void WriteBlock() {}

    // The file in the slot that B names (above 7 means slot 0).
    CHostFile& SlotFile();
    // The first step of every open: HL gets the slot's buffer address whatever happens next,
    // and a file the slot still holds is closed so that its data is written and its lock
    // released before the slot is reused.
    CHostFile& BeginOpen();

    // Moves count bytes between memory and a host buffer. Addresses wrap at 64 KB, so no
    // address the emulated program passes reaches outside the memory array.
    void CopyFromMemory(std::uint16_t address, std::uint8_t* out, std::size_t count) const;
    void CopyToMemory(std::uint16_t address, const std::uint8_t* in, std::size_t count);

    CCpu& cpu;
    CMemory& memory;
    CIoBus& bus;
    HostFileTable& files;
    const Settings& settings;
};
