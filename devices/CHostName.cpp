#include "devices/CHostName.h"

#include "devices/TranslateChar.h"

namespace {

// A drive or stream separator where the host gives ':' a meaning; an ordinary character here.
#ifdef _WIN32
constexpr bool COLON_SEPARATES = true;
#else
constexpr bool COLON_SEPARATES = false;
#endif

}  // namespace

std::optional<std::string> CHostName::Build(const TargetName& target)
{
    std::string latin1;
    for (int i = 0; i < TARGET_BYTES; ++i) {
        const std::uint8_t b = target[static_cast<std::size_t>(i)];
        if (b == 0)
            break;  // ends the name, the point after the eighth byte included
        if (b != ' ')
            latin1.push_back(static_cast<char>(TranslateChar(b)));
        if (i == NAME_BYTES - 1)
            latin1.push_back('.');
    }
    // An all-space extension leaves a trailing point. Stores kept where such points are
    // ignored hold that file as plain "NAME", so the points are dropped and "NAME." opens it.
    while (!latin1.empty() && latin1.back() == '.')
        latin1.pop_back();

    // The emulated program is untrusted: nothing it names may leave the folder. A '\\'
    // cannot come out of the translation (0x5C is a letter) but is refused all the same so
    // that the store stays usable from hosts where it separates paths.
    if (latin1.empty() || latin1 == "." || latin1 == "..")
        return std::nullopt;
    for (char c : latin1) {
        const auto u = static_cast<std::uint8_t>(c);
        if (u < 0x20 || c == '/' || c == '\\' || (COLON_SEPARATES && c == ':'))
            return std::nullopt;
    }
    return Latin1ToUtf8(latin1);
}

std::string CHostName::Latin1ToUtf8(const std::string& latin1)
{
    std::string utf8;
    utf8.reserve(latin1.size() * 2);
    for (char c : latin1) {
        const auto u = static_cast<std::uint8_t>(c);
        if (u < 0x80) {
            utf8.push_back(c);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (u >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return utf8;
}
