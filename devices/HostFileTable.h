// The eight host file slots shared by the printer and file-store channels: a slot number
// names the same file whichever channel uses it, and beside them the emulator's own files,
// which no slot may open for writing. The application owns the one table; the channels reach
// it through CHostDevice. Destroying the table closes what is still open.
#pragma once

#include <array>
#include <cstdint>

#include "host/CHostFile.h"
#include "host/CStartupFiles.h"

class HostFileTable {
public:
    static constexpr int SLOTS = 8;

    // Slot of a command: register B when it is 7 or less, otherwise slot 0.
    static int SlotFor(std::uint8_t b) { return b < SLOTS ? b : 0; }
    // Transfer buffer the open commands hand out in HL: 0xF500 for slot 0 up to 0xFC00.
    static std::uint16_t BufferAddress(int slot) { return static_cast<std::uint16_t>((0xF5 + slot) * 256); }

    // A number outside 0..7 means slot 0, as it does for register B.
    CHostFile& Slot(int slot) { return slots[static_cast<std::size_t>(slot >= 0 && slot < SLOTS ? slot : 0)]; }
    void CloseAll();

    // The ROM images, font and samples start-up loaded: the channels' write opens pass it on.
    CStartupFiles& StartupFiles() { return startupFiles; }
    const CStartupFiles& StartupFiles() const { return startupFiles; }

private:
    CStartupFiles startupFiles;
    std::array<CHostFile, SLOTS> slots;
};
