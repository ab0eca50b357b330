#include "devices/CHostDevice.h"

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
    files.Slot(HostFileTable::SlotFor(cpu.B())).Close();
}
