#include "shell/CRepeatFilter.h"

void CRepeatFilter::Press(std::uint32_t key, std::uint8_t scan, std::uint64_t timestamp)
{
    if (pending && pending->key == key && pending->timestamp == timestamp) {
        // The release/press pair of an auto-repeat: the key never went up.
        pending.reset();
        return;
    }
    Flush();
    if (held.insert(key).second)
        sink(true, scan);
}

bool CRepeatFilter::Release(std::uint32_t key, std::uint8_t scan, std::uint64_t timestamp)
{
    Flush();
    // Keys whose press was not passed on (pressed before the focus came, or as part of a
    // system combination) are not released either.
    if (!IsHeld(key))
        return false;
    pending = Pending{key, scan, timestamp};
    return true;
}

void CRepeatFilter::Flush()
{
    if (!pending)
        return;
    const Pending release = *pending;
    pending.reset();
    held.erase(release.key);
    sink(false, release.scan);
}

void CRepeatFilter::Forget()
{
    pending.reset();
    held.clear();
}
