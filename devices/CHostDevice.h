// Base of the two host device channels. The emulated software loads B (slot), C (count),
// DE (name) and HL (buffer) and writes a command byte 0..6 to the channel's port; Execute
// runs the matching operation to completion inside that output instruction.
#pragma once

#include <cstdint>

class CCpu;
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
    virtual void Close();
    virtual void Command3() {}
    virtual void WriteBytes() {}
    virtual void ReadBlock() {}
    virtual void WriteBlock() {}

    CCpu& cpu;
    CMemory& memory;
    CIoBus& bus;
    HostFileTable& files;
    const Settings& settings;
};
