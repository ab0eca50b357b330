#include "bus/CMemory.h"

#include "host/CHostFile.h"
#include "host/CStartupFiles.h"

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

bool CMemory::Init(CStartupFiles* startup)
{
    CStartupFiles scratch;
    CStartupFiles& files = startup ? *startup : scratch;
    bytes.fill(0xFF);
    for (const RomImage& rom : ROM_IMAGES) {
        CHostFile file;
        if (!files.Open(file, rom.name))
            return false;
        // A read error counts as a failure, like a file that cannot be opened.
        const long n = file.Read(bytes.data() + rom.address, rom.maxBytes);
        if (n < 0) {
            files.Refuse(rom.name, "a read error");
            return false;
        }
        if (rom.mustBeFull && static_cast<std::uint32_t>(n) < rom.maxBytes) {
            files.Refuse(rom.name, CStartupFiles::ShortBy(rom.maxBytes, n));
            return false;
        }
    }
    return true;
}
