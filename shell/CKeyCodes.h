// Converts the host's native key code into the PC set-1 make code the keyboard translator
// takes. On X11 and Wayland the native code is the XKB keycode, 8 above the kernel key code,
// which equals set 1 for the main block; the keys set 1 reaches through its E0 prefix
// (arrows, keypad Enter, right Ctrl, ...) come from a small table. Used by CScreenWnd.
#pragma once

#include <cstdint>

class CKeyCodes {
public:
    static constexpr std::uint8_t NONE = 0;
    static constexpr std::uint8_t SCAN_ALT = 0x38;
    static constexpr std::uint8_t SCAN_F10 = 0x44;

    // Kernel-code offset of XKB keycodes.
    static constexpr std::uint32_t XKB_OFFSET = 8;

    // NONE for codes that have no set-1 make code.
    static std::uint8_t FromXkb(std::uint32_t native);
    // On Windows the native code is the scan-code field of the key message; its extended bit
    // is dropped, as the translator does not tell such keys apart.
    static std::uint8_t FromWindows(std::uint32_t native);
    // The conversion for the platform this program was built for.
    static std::uint8_t FromNative(std::uint32_t native);
};
