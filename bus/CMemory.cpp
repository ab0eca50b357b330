#include "bus/CMemory.h"

#include "host/CHostFile.h"

namespace {

struct RomImage {
    const char* name;
    std::uint32_t address;
    std::uint32_t maxBytes;
    bool mustBeFull;
};

constexpr RomImage ROM_IMAGES[] = {
    {"basic.rom", 0x0000, 0x4000, true},
    {"dev_dos.rom", 0x6000, 0x1000, false},
    {"dev_pr.rom", 0x7800, 0x0800, false},
};

}  // namespace

bool CMemory::Init()
{
    bytes.fill(0xFF);
    for (const RomImage& rom : ROM_IMAGES) {
        // A read error counts as a failure, like a file that cannot be opened.
        long n = CHostFile::ReadFile(rom.name, bytes.data() + rom.address, rom.maxBytes);
        if (n < 0)
            return false;
        if (rom.mustBeFull && static_cast<std::uint32_t>(n) < rom.maxBytes)
            return false;
    }
    return true;
}
