#include "shell/CKeyCodes.h"

#include <array>
#include <utility>

namespace {

// Kernel key codes above the main block, and the set-1 code the same key sends (without its
// E0 prefix, which the translator ignores).
constexpr std::array<std::pair<std::uint32_t, std::uint8_t>, 19> EXTENDED_KEYS{{
    {96, 0x1C},   // keypad Enter
    {97, 0x1D},   // right Ctrl
    {98, 0x35},   // keypad /
    {99, 0x37},   // Print Screen
    {100, 0x38},  // right Alt
    {102, 0x47},  // Home
    {103, 0x48},  // up arrow
    {104, 0x49},  // Page Up
    {105, 0x4B},  // left arrow
    {106, 0x4D},  // right arrow
    {107, 0x4F},  // End
    {108, 0x50},  // down arrow
    {109, 0x51},  // Page Down
    {110, 0x52},  // Insert
    {111, 0x53},  // Delete
    {119, 0x45},  // Pause
    {125, 0x5B},  // left logo key
    {126, 0x5C},  // right logo key
    {127, 0x5D},  // menu key
}};

// The main block: kernel codes 1 (Escape) to 88 (F12) are the set-1 codes themselves.
constexpr std::uint32_t LAST_MAIN_BLOCK = 88;

}  // namespace

std::uint8_t CKeyCodes::FromXkb(std::uint32_t native)
{
    if (native <= XKB_OFFSET)
        return NONE;
    const std::uint32_t kernel = native - XKB_OFFSET;
    if (kernel <= LAST_MAIN_BLOCK)
        return static_cast<std::uint8_t>(kernel);
    for (const auto& [code, scan] : EXTENDED_KEYS) {
        if (code == kernel)
            return scan;
    }
    return NONE;
}

std::uint8_t CKeyCodes::FromWindows(std::uint32_t native)
{
    return static_cast<std::uint8_t>(native & 0xFF);
}

std::uint8_t CKeyCodes::FromNative(std::uint32_t native)
{
#ifdef _WIN32
    return FromWindows(native);
#else
    return FromXkb(native);
#endif
}
