// Where the screen window sends the keys it has converted and filtered: the keyboard
// translator in the running program, a recorder in tests.
#pragma once

#include <cstdint>

class CKeyTarget {
public:
    virtual ~CKeyTarget() = default;
    virtual void KeyDown(std::uint8_t scan) = 0;
    virtual void KeyUp(std::uint8_t scan) = 0;
    virtual void FocusLost() = 0;
    // Whether the machine's Caps Lock is on.
    virtual bool CapsLockOn() const { return false; }
};
