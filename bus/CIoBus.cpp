#include "bus/CIoBus.h"

#include "devices/CSound.h"

CIoBus::CIoBus(CCpu& cpu, CMemory& memory, CSound& sound, HostFileTable& files, const Settings& settings)
    : sound(sound),
      fileDevice(cpu, memory, *this, files, settings),
      printerDevice(cpu, memory, *this, files, settings)
{
}

bool CIoBus::Init()
{
    inputLatches.fill(0xFF);
    outputLatches.fill(0xFF);
    return true;
}

void CIoBus::WritePort(std::uint8_t port, std::uint8_t value)
{
    switch (port) {
    case PORT_SOUND:
        sound.SetControl(value);
        break;
    case PORT_ECHO:
        // Bits 3 to 6 of the value show up on the input side; the rest of the latch stays.
        inputLatches[PORT_ECHO] = static_cast<std::uint8_t>((inputLatches[PORT_ECHO] & 0x87) | (value & 0x78));
        break;
    case PORT_PRINTER:
        printerDevice.Execute(value);
        break;
    case PORT_FILE:
        fileDevice.Execute(value);
        break;
    default:
        break;
    }
    // The latch records the write after the device has acted.
    outputLatches[port] = value;
    if (portObserver)
        portObserver->OnPortWrite(port, value);
}
