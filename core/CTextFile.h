// Reads a host text file to be typed into the machine (a program listing), whole and within
// a size limit. The desktop program reads the file named on its command line and files
// dropped on its window with it; the headless runner its --paste files.
#pragma once

#include <cstddef>
#include <string>

class CTextFile {
public:
    // Far more than the machine's memory can hold as a program.
    static constexpr std::size_t MAX_BYTES = 1 << 20;

    // False with a one-line reason when the file is missing, unreadable (a folder is) or too large.
    static bool Read(const std::string& path, std::string& text, std::string& error);
};
