#include "LinkerMap.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>

LinkerMap::LinkerMap(const std::filesystem::path& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    // "     00004000  brkflag                            keys": value, name, module.
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || (line[0] != ' ' && line[0] != '\t'))
            continue;
        std::istringstream fields(line);
        std::string value, name, module, extra;
        if (!(fields >> value >> name >> module) || (fields >> extra) || value.size() != 8 ||
            value.find_first_not_of("0123456789ABCDEF") != std::string::npos)
            continue;
        const char first = name[0];
        if (!(std::isalpha(static_cast<unsigned char>(first)) || first == '_' || first == '.' || first == '$'))
            continue;
        symbols[name] = static_cast<std::uint16_t>(std::stoul(value, nullptr, 16));
    }
}
