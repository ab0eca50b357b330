// One host key event as the screen window hands it on: which physical key, its set-1 make
// code, the character the host's layout gives it and the host modifiers held with it.
#pragma once

#include <cstdint>

struct HostKey {
    std::uint32_t id = 0;     // the physical key (its native code)
    std::uint8_t scan = 0;    // set-1 make code, 0 when it has none
    char32_t character = 0;   // printable character the host layout gives, 0 when none
    bool shift = false;
    bool ctrl = false;
};
