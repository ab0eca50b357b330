// The global symbols of a Z80 image from its sdld linker map, so that tests can look at the
// emulated software's variables by name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

class LinkerMap {
public:
    // Throws std::runtime_error when the map cannot be read.
    explicit LinkerMap(const std::filesystem::path& path);
    // The symbol's address; throws std::out_of_range for an unknown name.
    std::uint16_t operator[](const std::string& name) const { return symbols.at(name); }
    const std::map<std::string, std::uint16_t>& Symbols() const { return symbols; }

private:
    std::map<std::string, std::uint16_t> symbols;
};
