#include "devices/CHostDevice.h"

#include <algorithm>
#include <cstring>

#include "bus/CMemory.h"
#include "cpu/CCpu.h"
#include "devices/HostFileTable.h"

void CHostDevice::Execute(std::uint8_t command)
{
    switch (command) {
    case 0: OpenRead(); break;
    case 1: OpenWrite(); break;
    case 2: Close(); break;
    case 3: Command3(); break;
    case 4: WriteBytes(); break;
    case 5: ReadBlock(); break;
    case 6: WriteBlock(); break;
    default: break;
    }
}

void CHostDevice::Close()
{
    SlotFile().Close();
}

CHostFile& CHostDevice::SlotFile()
{
    return files.Slot(HostFileTable::SlotFor(cpu.B()));
}

CHostFile& CHostDevice::BeginOpen()
{
    const int slot = HostFileTable::SlotFor(cpu.B());
    cpu.SetHL(HostFileTable::BufferAddress(slot));
    CHostFile& file = files.Slot(slot);
    file.Close();
    return file;
}

void CHostDevice::CopyFromMemory(std::uint16_t address, std::uint8_t* out, std::size_t count) const
{
    const std::uint8_t* bytes = memory.Bytes();
    while (count > 0) {
        const std::size_t run = std::min<std::size_t>(count, CMemory::SIZE - address);
        std::memcpy(out, bytes + address, run);
        out += run;
        count -= run;
        address = static_cast<std::uint16_t>(address + run);
    }
}

void CHostDevice::CopyToMemory(std::uint16_t address, const std::uint8_t* in, std::size_t count)
{
    std::uint8_t* bytes = memory.Bytes();
    while (count > 0) {
        const std::size_t run = std::min<std::size_t>(count, CMemory::SIZE - address);
        std::memcpy(bytes + address, in, run);
        in += run;
        count -= run;
        address = static_cast<std::uint16_t>(address + run);
    }
}
