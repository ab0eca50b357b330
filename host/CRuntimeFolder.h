// The per-user folder the installed emulator runs in. An installed program keeps its ROM images,
// font and samples in a shared, often read-only, folder; started anywhere else, it prepares
// the user's own folder with a symbolic link to each of those files and runs there, so the
// machine's saved files land in that folder, not in the install tree. Files the user put
// there are never replaced: they take the place of the installed ones.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class CRuntimeFolder {
public:
    // The files the machine loads at start-up.
    static const std::vector<std::string>& Files();

    // Whether `folder` holds the machine's files (its ROM images at least) and can be run in as it is.
    static bool Holds(const std::filesystem::path& folder);

    // Makes `folder` (and its parents) and links each file of `installed` into it where the
    // name is free. A link this method made earlier, to a file of that name in another
    // folder named like `installed` (an older install), is pointed at `installed` again;
    // anything else of that name stays. False, with `error` set, when the folder cannot be
    // made or a free name cannot be linked.
    static bool Prepare(const std::filesystem::path& folder, const std::filesystem::path& installed, std::string& error);
};
