// Turns the host's key events into one press and one release per physical key stroke.
// Under X11 a held key produces release/press pairs carrying one timestamp, and Qt's own
// repeat flag cannot be trusted, so a release is held back until the next key event or a
// short timer: a press of the same key with the same timestamp cancels it as a repeat.
// A press of a key already held (repeats without releases) is dropped as well. Keys still held
// when the focus went give no presses until they are released; the release of Shift or Ctrl
// always goes on, since the keyboard translator keeps them held across a focus loss.
// CScreenWnd feeds it and owns the timer that calls Flush().
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>

#include "shell/HostKey.h"

class CRepeatFilter {
public:
    // How long a release may wait for the press that would make it a repeat.
    static constexpr int RELEASE_HOLD_MS = 30;

    // Called with (true, key) for a press and (false, key) for a release.
    using Sink = std::function<void(bool down, const HostKey& key)>;

    explicit CRepeatFilter(Sink sink) : sink(std::move(sink)) {}

    // `key.id` identifies the physical key; the sink receives `key` as given. A press settles
    // any waiting release; Release() returns true when its release now waits for Flush().
    void Press(const HostKey& key, std::uint64_t timestamp);
    bool Release(const HostKey& key, std::uint64_t timestamp);
    // Passes on a release that is still waiting.
    void Flush();
    // The focus has gone: every key counts as released. A waiting release of Shift or Ctrl
    // goes on at once; others are dropped. Keys still held give no presses until released.
    void Forget();

    bool IsHeld(std::uint32_t key) const { return held.count(key) != 0; }
    bool HasPending() const { return pending.has_value(); }

private:
    struct Pending {
        HostKey key;
        std::uint64_t timestamp;
    };

    Sink sink;
    std::set<std::uint32_t> held;
    std::set<std::uint32_t> heldAcrossFocus;  // held when the focus went, not yet released
    std::optional<Pending> pending;
};
