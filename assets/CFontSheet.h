// The text half of the character set as drawn in its pixel-art source (font.txt): 128
// glyphs of ten rows, pixels in bits 7 to 2. The asset generator parses the source with it
// and hands it to CCharacterSet, which adds the computed graphics half.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>

class CFontSheet {
public:
    static constexpr int GLYPHS = 128;
    static constexpr int ROWS = 10;
    static constexpr int COLUMNS = 6;
    using Glyph = std::array<std::uint8_t, ROWS>;

    // Reads the whole source. Every code from 0x20 to 0x7F must be drawn exactly once and
    // codes below 0x20 must stay blank; on any fault returns false with a message that
    // names the offending line.
    bool Parse(std::istream& in, std::string& error);
    // The same for a file; an unreadable file is a fault too. The message names the file.
    bool ParseFile(const char* path, std::string& error);

    const Glyph& Get(int code) const { return glyphs[static_cast<std::size_t>(code) & (GLYPHS - 1)]; }

private:
    bool ParseHeader(const std::string& line, int lineNumber, int& code, std::string& error);
    static bool ParseRow(const std::string& line, std::uint8_t& bits);

    std::array<Glyph, GLYPHS> glyphs{};
    std::array<bool, GLYPHS> drawn{};
};
