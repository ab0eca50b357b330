// Turns text into the key strokes that type it on the target machine's keyboard: a PC set-1
// scan code and whether Shift is held, found in the keyboard translator's own layout. The
// headless runner's --type, paste and the window's typing by character use it. Text is
// UTF-8; the national letters are typed on their own keys and the ASCII characters that
// share their codes (@ [ \ ] ^ ` { | } ~) on the same keys.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct KeyStroke {
    std::uint8_t scan = 0;
    bool shift = false;
    bool operator==(const KeyStroke&) const = default;
};

class CTypist {
public:
    static constexpr std::uint8_t SCAN_SHIFT = 0x2A;
    static constexpr std::uint8_t CODE_ENTER = 0x0D;

    // The key for a target machine code: 0x08 (Backspace), 0x09 (right arrow), 0x0D (Enter)
    // and 0x20 to 0x7E. Nothing for codes no single key gives.
    static std::optional<KeyStroke> StrokeFor(std::uint8_t code);

    // The target code of one Unicode character, if the machine has it. A newline is Enter.
    static std::optional<std::uint8_t> CodeFor(char32_t ch);

    // The strokes for a whole text, in which the two characters "\n" also mean Enter. On a
    // character that cannot be typed, or bad UTF-8, returns false and says which.
    static bool Plan(std::string_view text, std::vector<KeyStroke>& strokes, std::string& error);

    // Decodes one UTF-8 character at text[at], advancing at; false on a malformed sequence
    // (at is then left where it was).
    static bool NextChar(std::string_view text, std::size_t& at, char32_t& ch);
};
