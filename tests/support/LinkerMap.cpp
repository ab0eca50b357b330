#include "LinkerMap.h"

#include <fstream>
#include <regex>
#include <stdexcept>

LinkerMap::LinkerMap(const std::filesystem::path& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    // "     00004000  brkflag                            keys": value, name, module.
    static const std::regex SYMBOL(R"(^\s+([0-9A-F]{8})\s+([A-Za-z_.$][\w.$]*)\s+\w+\s*$)");
    std::smatch m;
    for (std::string line; std::getline(in, line);)
        if (std::regex_match(line, m, SYMBOL))
            symbols[m[2]] = static_cast<std::uint16_t>(std::stoul(m[1], nullptr, 16));
}
