#include "core/CTextFile.h"

#include <cstdio>

bool CTextFile::Read(const std::string& path, std::string& text, std::string& error)
{
    text.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    char buffer[4096];
    std::size_t got = 0;
    while (text.size() <= MAX_BYTES && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path;
        return false;
    }
    if (text.size() > MAX_BYTES) {
        error = path + " is larger than " + std::to_string(MAX_BYTES) + " bytes";
        return false;
    }
    return true;
}
