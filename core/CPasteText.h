// Turns pasted text (the clipboard, a dropped or named file) into the key strokes that type
// it. Line ends of every kind become Enter, a tab a space; what the machine cannot type is
// skipped and counted, so that the caller can say so once. The window's Paste, loading a
// file and the headless runner's --paste use it.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/CTypist.h"

class CPasteText {
public:
    struct Plan {
        std::vector<KeyStroke> strokes;
        std::size_t skipped = 0;  // characters (or malformed UTF-8 sequences) left out
    };

    // UTF-8 in; LF, CR LF and CR are each one Enter; a leading byte order mark is ignored.
    static Plan Make(std::string_view text);
};
