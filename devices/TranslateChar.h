// The target machine's ten national letters as single ISO 8859-1 bytes; every other byte
// passes through unchanged. Used for file-store names and printed text.
#pragma once

#include <cstdint>

std::uint8_t TranslateChar(std::uint8_t code);
