// What the paste tests and benchmark know of the BASIC in ROM, in one place: a listing in the
// form in which the BASIC lists and saves it again, the command that saves a program, and the
// program text a saved file holds. The checks built on these compare whole texts, so that a
// lost or doubled key shows whatever the BASIC's messages are.
#pragma once

#include <random>
#include <string>
#include <utility>

namespace BasicListing {

// `lines` lines numbered 10, 20, ...: REM lines and PRINT lines of a string, between them
// every printable ASCII character (each typed on the machine's key for it), and one run of
// 40 equal characters, longer than the 25 frames after which the BASIC repeats a held key.
inline std::string Make(int lines, unsigned seed = 1)
{
    std::mt19937 random(seed);
    std::string text;
    for (int n = 1; n <= lines; ++n) {
        std::string body;
        const int length = 15 + static_cast<int>(random() % 9);
        for (int i = 0; i < length; ++i) {
            char c = static_cast<char>(0x21 + random() % 94);
            body += n % 2 && c == '"' ? '\'' : c;  // no quote inside a string
        }
        if (n == lines / 2)
            body = std::string(40, 'x');
        text += std::to_string(n * 10) + (n % 2 ? " PRINT \"" + body + "\"" : " REM " + body) + "\n";
    }
    return text;
}

// Typed after a listing: saves it in the file store as SavedName(name).
inline std::string SaveCommand(const std::string& name) { return "SAVE \"" + name + "\"\n"; }
inline std::string SavedName(const std::string& name) { return name + ".BAS"; }

// The program text of a saved file in the machine's codes, with LF line ends: the national
// letters a file holds in UTF-8 become their codes again, and the padding of the last record
// (blanks, or 0x1A) goes.
inline std::string FromSaved(const std::string& bytes)
{
    static const std::pair<const char*, char> NATIONAL[] = {
        {"\u00C9", '@'}, {"\u00C4", '['}, {"\u00D6", '\\'}, {"\u00C5", ']'}, {"\u00DC", '^'},
        {"\u00E9", '`'}, {"\u00E4", '{'}, {"\u00F6", '|'}, {"\u00E5", '}'}, {"\u00FC", '~'}};
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        bool national = false;
        for (const auto& [utf8, code] : NATIONAL) {
            if (bytes.compare(at, 2, utf8) == 0) {
                text += code;
                at += 2;
                national = true;
                break;
            }
        }
        if (national)
            continue;
        if (bytes[at] != '\r' && bytes[at] != '\x1A')
            text += bytes[at];
        ++at;
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

}  // namespace BasicListing
