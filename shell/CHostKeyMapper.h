// Turns the host's key strokes into the machine's, in one of two modes. By position, each
// host key is the machine key in its place, modifiers included, as the translator expects.
// By character, a key that gives a printable character is typed as the machine key (and
// Shift) that gives the same character; Enter, Backspace, the arrows and Ctrl combinations
// stay by position, and the machine's Shift and Ctrl are pressed only around the keys that
// need them. The screen window feeds it de-repeated keys; its target is the translator.
#pragma once

#include <cstdint>
#include <map>

#include "shell/HostKey.h"

class CKeyTarget;

class CHostKeyMapper {
public:
    enum class Mode { Position, Character };


    explicit CHostKeyMapper(CKeyTarget* target) : target(target) {}

    void SetTarget(CKeyTarget* keys);
    // Releases what is held first. Entering character mode turns the machine's Caps Lock off:
    // there the host's own Caps Lock already decides the case of the characters.
    void SetMode(Mode newMode);
    Mode GetMode() const { return mode; }

    void Press(const HostKey& key);
    void Release(const HostKey& key);
    // The focus has gone: the translator releases its keys, and by character the machine's
    // Shift and Ctrl go up too, since only this object pressed them.
    void FocusLost();

private:
    // The machine key a host key gives in character mode; 0 when it gives nothing.
    struct Stroke {
        std::uint8_t scan = 0;
        bool shift = false;
        bool ctrl = false;
    };
    Stroke ByCharacter(const HostKey& key) const;
    void SetModifiers(bool shift, bool ctrl);
    void ReleaseAll();

    CKeyTarget* target;
    Mode mode = Mode::Position;
    std::map<std::uint32_t, std::uint8_t> held;  // host key -> machine scan it pressed
    bool shiftDown = false;                      // the machine's, pressed by this object
    bool ctrlDown = false;
};
