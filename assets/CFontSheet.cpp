#include "assets/CFontSheet.h"

#include <fstream>
#include <sstream>

namespace {

std::string Trimmed(std::string line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
    return line;
}

std::string At(int lineNumber)
{
    return "line " + std::to_string(lineNumber) + ": ";
}

}  // namespace

bool CFontSheet::ParseHeader(const std::string& line, int lineNumber, int& code, std::string& error)
{
    std::istringstream words(line);
    std::string keyword, hex;
    words >> keyword >> hex;
    if (keyword != "glyph" || hex.size() != 2) {
        error = At(lineNumber) + "expected \"glyph HH\"";
        return false;
    }
    std::size_t used = 0;
    int value = -1;
    try {
        value = std::stoi(hex, &used, 16);
    } catch (...) {
        used = 0;
    }
    if (used != hex.size() || value < 0 || value >= GLYPHS) {
        error = At(lineNumber) + "glyph code must be 00 to 7F";
        return false;
    }
    if (drawn[static_cast<std::size_t>(value)]) {
        error = At(lineNumber) + "glyph " + hex + " drawn twice";
        return false;
    }
    code = value;
    return true;
}

bool CFontSheet::ParseRow(const std::string& line, std::uint8_t& bits)
{
    if (line.size() != COLUMNS)
        return false;
    bits = 0;
    for (int column = 0; column < COLUMNS; ++column) {
        char c = line[static_cast<std::size_t>(column)];
        if (c == '#')
            bits = static_cast<std::uint8_t>(bits | (0x80 >> column));
        else if (c != '.')
            return false;
    }
    // The rightmost column is the gap between characters.
    return (bits & 0x04) == 0;
}

bool CFontSheet::Parse(std::istream& in, std::string& error)
{
    glyphs = {};
    drawn = {};
    int code = -1;
    int row = ROWS;
    int lineNumber = 0;
    std::string raw;
    while (std::getline(in, raw)) {
        ++lineNumber;
        std::string line = Trimmed(raw);
        if (line.empty() || line[0] == ';')
            continue;
        if (row < ROWS) {
            std::uint8_t bits = 0;
            if (!ParseRow(line, bits)) {
                error = At(lineNumber) + "a row is six of '#' and '.', the last one '.'";
                return false;
            }
            glyphs[static_cast<std::size_t>(code)][static_cast<std::size_t>(row++)] = bits;
            continue;
        }
        if (!ParseHeader(line, lineNumber, code, error))
            return false;
        drawn[static_cast<std::size_t>(code)] = true;
        row = 0;
    }
    if (row < ROWS) {
        error = At(lineNumber) + "the last glyph has fewer than ten rows";
        return false;
    }
    for (int c = 0; c < GLYPHS; ++c) {
        bool blank = glyphs[static_cast<std::size_t>(c)] == Glyph{};
        if (c < 0x20 && !blank) {
            error = "glyph " + std::to_string(c) + " is a control code and must stay blank";
            return false;
        }
        if (c >= 0x20 && !drawn[static_cast<std::size_t>(c)]) {
            std::ostringstream missing;
            missing << "glyph " << std::hex << std::uppercase << c << " is not drawn";
            error = missing.str();
            return false;
        }
    }
    return true;
}

bool CFontSheet::ParseFile(const char* path, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = std::string("cannot read ") + path;
        return false;
    }
    if (!Parse(in, error)) {
        error = std::string(path) + ": " + error;
        return false;
    }
    return true;
}
