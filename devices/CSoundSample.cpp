#include "devices/CSoundSample.h"

#include <algorithm>

#include "host/CHostFile.h"

bool CSoundSample::Load(const std::string& name)
{
    bytes.clear();
    length = 0;

    CHostFile file;
    if (!file.Open(name, CHostFile::Mode::Read))
        return false;
    const long size = file.Size();
    if (size < static_cast<long>(MIN_BYTES) || size > static_cast<long>(MAX_BYTES))
        return false;

    std::vector<std::uint8_t> loaded(static_cast<std::size_t>(size) + TAIL_BYTES);
    // A file that shrank since its size was taken, or a read error, is not a whole sample.
    if (file.Read(loaded.data(), static_cast<std::size_t>(size)) != size)
        return false;
    std::copy_n(loaded.begin(), TAIL_BYTES, loaded.begin() + size);

    bytes = std::move(loaded);
    length = static_cast<std::uint32_t>(size);
    return true;
}
