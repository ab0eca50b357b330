// Finds the host file a file-store path means when letter case is not significant, as the
// store's names have always been: "GAME.BAS" opens an existing "game.bas". CFileDevice calls
// it on every open; only the last path component is matched, the folder text is used as given.
//
//   CFolderLookup::Resolve("store/GAME.BAS") == "store/game.bas"   // when only that exists
#pragma once

#include <string>
#include <string_view>

class CFolderLookup {
public:
    // The path of an existing entry whose last component equals path's without regard to
    // case: path itself when it exists, otherwise the first such entry in byte order. When
    // nothing matches (or the folder cannot be read) path comes back unchanged, so a new
    // file is created with the name as built.
    static std::string Resolve(const std::string& path);

    // True when two UTF-8 names differ at most in the case of ASCII and ISO 8859-1 letters.
    static bool SameName(std::string_view a, std::string_view b);
};
