// Turns an 11-byte target file name (8 name bytes, 3 extension bytes, space padded) into the
// UTF-8 host file name the file-store channel opens inside its folder. Names that could reach
// outside that folder are refused. Called by CFileDevice on every open.
//
//   CHostName::Build({'G','A','M','E',' ',' ',' ',' ','B','A','S'}) == "GAME.BAS"
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class CHostName {
public:
    static constexpr int NAME_BYTES = 8;
    static constexpr int TARGET_BYTES = 11;
    using TargetName = std::array<std::uint8_t, TARGET_BYTES>;

    // Spaces are dropped, the national letters translated, a point goes after the eighth
    // byte and a zero byte ends the name. Trailing points are dropped ("NAME." is "NAME").
    // No value for a name containing '/', '\\' or a control byte (or ':' where the host gives
    // it a meaning), or one that comes out empty, "." or "..".
    static std::optional<std::string> Build(const TargetName& target);

    // ISO 8859-1 bytes as UTF-8.
    static std::string Latin1ToUtf8(const std::string& latin1);
};
