#include "shell/CRepeatFilter.h"

#include "devices/CKeyboard.h"

void CRepeatFilter::Press(const HostKey& key, std::uint64_t timestamp)
{
    if (pending && pending->key.id == key.id && pending->timestamp == timestamp) {
        // The release/press pair of an auto-repeat: the key never went up.
        pending.reset();
        return;
    }
    Flush();
    // A key held since before the focus came back: this is one of its repeats.
    if (heldAcrossFocus.count(key.id) != 0)
        return;
    if (held.insert(key.id).second)
        sink(true, key);
}

bool CRepeatFilter::Release(const HostKey& key, std::uint64_t timestamp)
{
    Flush();
    // Keys whose press was not passed on (pressed before the focus came, or as part of a
    // system combination) are not released either, except Shift and Ctrl.
    if (!IsHeld(key.id) && heldAcrossFocus.count(key.id) == 0 && !CKeyboard::IsShiftOrCtrl(key.scan))
        return false;
    pending = Pending{key, timestamp};
    return true;
}

void CRepeatFilter::Flush()
{
    if (!pending)
        return;
    const Pending release = *pending;
    pending.reset();
    const bool passedOn = held.erase(release.key.id) != 0;
    heldAcrossFocus.erase(release.key.id);
    // The focus loss released every other key already.
    if (passedOn || CKeyboard::IsShiftOrCtrl(release.key.scan))
        sink(false, release.key);
}

void CRepeatFilter::Forget()
{
    if (pending && CKeyboard::IsShiftOrCtrl(pending->key.scan))
        Flush();
    if (pending) {
        held.erase(pending->key.id);  // released before the focus went
        heldAcrossFocus.erase(pending->key.id);
        pending.reset();
    }
    heldAcrossFocus.insert(held.begin(), held.end());
    held.clear();
}
