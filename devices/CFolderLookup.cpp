#include "devices/CFolderLookup.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

namespace {

// Bytes that are not valid UTF-8 still take part in the comparison, each as itself, beyond
// the range of real code points so they never equal one.
constexpr std::uint32_t RAW_BYTE = 0x110000;

// Reads one code point from s at i and advances i.
std::uint32_t NextCodePoint(std::string_view s, std::size_t& i)
{
    const auto lead = static_cast<std::uint8_t>(s[i]);
    int extra = 0;
    std::uint32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        ++i;
        return RAW_BYTE + lead;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size()) {
        ++i;
        return RAW_BYTE + lead;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto c = static_cast<std::uint8_t>(s[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return RAW_BYTE + lead;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    // An overlong form is not the letter it spells.
    static constexpr std::uint32_t SHORTEST[] = {0, 0x80, 0x800, 0x10000};
    if (cp < SHORTEST[extra]) {
        ++i;
        return RAW_BYTE + lead;
    }
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

// Upper case for the letters the store's names can hold: ASCII and ISO 8859-1.
std::uint32_t Fold(std::uint32_t cp)
{
    if (cp >= 'a' && cp <= 'z')
        return cp - 0x20;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)
        return cp - 0x20;
    if (cp == 0xFF)
        return 0x178;  // the capital of y with diaeresis lies outside ISO 8859-1
    return cp;
}

}  // namespace

bool CFolderLookup::SameName(std::string_view a, std::string_view b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (Fold(NextCodePoint(a, i)) != Fold(NextCodePoint(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

std::string CFolderLookup::Resolve(const std::string& path)
{
    namespace fs = std::filesystem;
    const std::size_t cut = path.rfind('/');
    const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    const std::string leaf = cut == std::string::npos ? path : path.substr(cut + 1);
    if (leaf.empty())
        return path;

    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec)))
        return path;  // the exact name wins over any other spelling

    std::string best;
    const fs::path scan = folder.empty() ? fs::path(".") : fs::path(folder);
    fs::directory_iterator it(scan, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (SameName(name, leaf) && (best.empty() || name < best))
            best = name;
    }
    return best.empty() ? path : folder + best;
}
