#include "devices/CSoundSample.h"

#include <algorithm>

#include "host/CHostFile.h"
#include "host/CStartupFiles.h"

bool CSoundSample::Load(const std::string& name, CStartupFiles* startup)
{
    bytes.clear();
    length = 0;

    CStartupFiles scratch;
    CStartupFiles& files = startup ? *startup : scratch;
    CHostFile file;
    if (!files.Open(file, name))
        return false;
    const long size = file.Size();
    if (size < static_cast<long>(MIN_BYTES) || size > static_cast<long>(MAX_BYTES)) {
        files.Refuse(name, "needs " + std::to_string(MIN_BYTES) + " to " + std::to_string(MAX_BYTES) +
                               " bytes, found " + std::to_string(size));
        return false;
    }

    std::vector<std::uint8_t> loaded(static_cast<std::size_t>(size) + TAIL_BYTES);
    // A file that shrank since its size was taken, or a read error, is not a whole sample.
    if (file.Read(loaded.data(), static_cast<std::size_t>(size)) != size) {
        files.Refuse(name, "a read error");
        return false;
    }
    std::copy_n(loaded.begin(), TAIL_BYTES, loaded.begin() + size);

    bytes = std::move(loaded);
    length = static_cast<std::uint32_t>(size);
    return true;
}
