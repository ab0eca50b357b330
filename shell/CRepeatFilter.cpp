#include "shell/CRepeatFilter.h"

#include "shell/CKeyCodes.h"

void CRepeatFilter::Press(std::uint32_t key, std::uint8_t scan, std::uint64_t timestamp)
{
    if (pending && pending->key == key && pending->timestamp == timestamp) {
        // The release/press pair of an auto-repeat: the key never went up.
        pending.reset();
        return;
    }
    Flush();
    // A key held since before the focus came back: this is one of its repeats.
    if (heldAcrossFocus.count(key) != 0)
        return;
    if (held.insert(key).second)
        sink(true, scan);
}

bool CRepeatFilter::Release(std::uint32_t key, std::uint8_t scan, std::uint64_t timestamp)
{
    Flush();
    // Keys whose press was not passed on (pressed before the focus came, or as part of a
    // system combination) are not released either, except Shift and Ctrl.
    if (!IsHeld(key) && heldAcrossFocus.count(key) == 0 && !CKeyCodes::IsShiftOrCtrl(scan))
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
    const bool passedOn = held.erase(release.key) != 0;
    heldAcrossFocus.erase(release.key);
    // The focus loss released every other key already.
    if (passedOn || CKeyCodes::IsShiftOrCtrl(release.scan))
        sink(false, release.scan);
}

void CRepeatFilter::Forget()
{
    if (pending && CKeyCodes::IsShiftOrCtrl(pending->scan))
        Flush();
    if (pending) {
        held.erase(pending->key);  // released before the focus went
        heldAcrossFocus.erase(pending->key);
        pending.reset();
    }
    heldAcrossFocus.insert(held.begin(), held.end());
    held.clear();
}
