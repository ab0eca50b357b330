#include "devices/TranslateChar.h"

std::uint8_t TranslateChar(std::uint8_t code)
{
    switch (code) {
    case 0x40: return 0xC9;  // É
    case 0x5B: return 0xC4;  // Ä
    case 0x5C: return 0xD6;  // Ö
    case 0x5D: return 0xC5;  // Å
    case 0x5E: return 0xDC;  // Ü
    case 0x60: return 0xE9;  // é
    case 0x7B: return 0xE4;  // ä
    case 0x7C: return 0xF6;  // ö
    case 0x7D: return 0xE5;  // å
    case 0x7E: return 0xFC;  // ü
    default: return code;
    }
}
