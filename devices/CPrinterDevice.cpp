#include "devices/CPrinterDevice.h"

#include <array>

#include "bus/CIoBus.h"
#include "core/Settings.h"
#include "cpu/CCpu.h"
#include "devices/HostFileTable.h"
#include "devices/TranslateChar.h"
#include "host/CHostFile.h"

void CPrinterDevice::OpenWrite()
{
    CHostFile& file = BeginOpen();
    // A destination that cannot be opened leaves the slot empty; later writes to it do nothing.
    // The emulator's own files are never a destination.
    file.Open(settings.printDestination, settings.printAppend != 0 ? CHostFile::Mode::Append : CHostFile::Mode::Create,
              &files.StartupFiles());
    Report();
}

void CPrinterDevice::WriteBytes()
{
    CHostFile& file = SlotFile();
    const std::size_t count = cpu.C();
    if (file.IsOpen() && count > 0) {
        std::array<std::uint8_t, 255> text{};
        CopyFromMemory(cpu.HL(), text.data(), count);
        if (settings.printTranslate != 0) {
            for (std::size_t i = 0; i < count; ++i)
                text[i] = TranslateChar(text[i]);
        }
        // A host write error is not the printer software's concern; its status is 0 regardless.
        file.Write(text.data(), count);
    }
    Report();
}

void CPrinterDevice::Report()
{
    bus.SetInputLatch(CIoBus::PORT_PRINTER, STATUS_OK);
}
