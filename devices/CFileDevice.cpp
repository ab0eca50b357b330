#include "devices/CFileDevice.h"

#include <array>
#include <string>

#include "bus/CIoBus.h"
#include "core/Settings.h"
#include "cpu/CCpu.h"
#include "devices/CFolderLookup.h"
#include "devices/CHostName.h"
#include "devices/HostFileTable.h"

void CFileDevice::OpenRead() { Open(CHostFile::Mode::Read); }

void CFileDevice::OpenWrite() { Open(CHostFile::Mode::Create); }

void CFileDevice::Open(CHostFile::Mode mode)
{
    CHostFile& file = BeginOpen();
    CHostName::TargetName target{};
    CopyFromMemory(cpu.DE(), target.data(), target.size());
    const auto name = CHostName::Build(target);
    if (!name) {
        Report(false);
        return;
    }
    // The folder text is put in front as it stands: it carries its own trailing separator.
    const std::string path = settings.fileFolder + *name;
    Report(file.Open(CFolderLookup::Resolve(path), mode, &files.StartupFiles()));
}

void CFileDevice::ReadBlock()
{
    CHostFile& file = SlotFile();
    if (!file.IsOpen()) {
        Report(false);
        return;
    }
    std::array<std::uint8_t, RECORD_SIZE> record{};
    const long got = file.Read(record.data(), record.size());
    // The bytes of a short last record reach memory all the same.
    if (got > 0)
        CopyToMemory(cpu.HL(), record.data(), static_cast<std::size_t>(got));
    Report(got == static_cast<long>(RECORD_SIZE));
}

void CFileDevice::WriteBlock()
{
    CHostFile& file = SlotFile();
    if (!file.IsOpen()) {
        Report(false);
        return;
    }
    std::array<std::uint8_t, RECORD_SIZE> record{};
    CopyFromMemory(cpu.HL(), record.data(), record.size());
    // A lost or partly written record must not look saved to the emulated program.
    Report(file.Write(record.data(), record.size()) == static_cast<long>(RECORD_SIZE));
}

void CFileDevice::Report(bool ok)
{
    bus.SetInputLatch(CIoBus::PORT_FILE, ok ? STATUS_OK : STATUS_FAILED);
}
