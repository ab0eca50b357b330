// The per-user runtime folder: links to the installed files where names are free, the user's
// own files and links kept, links to an older install renewed, and folders that cannot be made.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "TempFolder.h"
#include "host/CRuntimeFolder.h"

namespace fs = std::filesystem;

TEST(RuntimeFolder, LinksTheInstalledFilesWithoutReplacingTheUsersOwn)
{
    TempFolder dir;
    const fs::path installed = dir.Path() / "usr/share/vorlix";
    const fs::path old = dir.Path() / "opt/share/vorlix";
    fs::create_directories(installed);
    fs::create_directories(old);
    for (const std::string& name : CRuntimeFolder::Files())
        dir.WriteText("usr/share/vorlix/" + name, "installed " + name);
    const fs::path user = dir.Path() / "home/.local/share/vorlix";  // parents made as needed
    fs::create_directories(user);
    // What the user's folder holds before, and where each name leads after ("" a regular file).
    const struct { const char* name; const char* before; fs::path after; } cases[] = {
        {"basic.rom", nullptr, installed / "basic.rom"},                  // free: linked
        {"font.bin", "file", ""},                                         // the user's own file
        {"noise.snd", "elsewhere", dir.Path() / "mine.snd"},              // the user's own link
        {"dev_pr.rom", "dangling", dir.Path() / "gone/dev_pr.rom"},       // kept, even dangling
        {"slf.snd", "old", installed / "slf.snd"},                        // an older install's: renewed
        {"vco_hi.snd", "current", installed / "vco_hi.snd"},              // already right
    };
    for (const auto& c : cases) {
        const fs::path at = user / c.name;
        if (!c.before)
            continue;
        if (std::string(c.before) == "file")
            dir.WriteText(fs::relative(at, dir.Path()).string(), "user's");
        else if (std::string(c.before) == "old")
            fs::create_symlink(old / c.name, at);
        else if (std::string(c.before) == "current")
            fs::create_symlink(installed / c.name, at);
        else
            fs::create_symlink(c.after, at);
    }
    EXPECT_FALSE(CRuntimeFolder::Holds(user));
    std::string error;
    ASSERT_TRUE(CRuntimeFolder::Prepare(user, installed, error)) << error;
    EXPECT_TRUE(CRuntimeFolder::Holds(user));
    for (const auto& c : cases) {
        const fs::path at = user / c.name;
        if (c.after.empty()) {
            EXPECT_FALSE(fs::is_symlink(at)) << c.name;
            EXPECT_EQ(dir.Read(fs::relative(at, dir.Path()).string()).size(), 6u) << c.name;
        } else {
            EXPECT_EQ(fs::read_symlink(at), c.after) << c.name;
        }
    }
    for (const std::string& name : CRuntimeFolder::Files())
        EXPECT_TRUE(fs::is_symlink(user / name) || name == "font.bin") << name;
    // Again, nothing changes.
    ASSERT_TRUE(CRuntimeFolder::Prepare(user, installed, error)) << error;
    EXPECT_EQ(fs::read_symlink(user / "noise.snd"), dir.Path() / "mine.snd");

    // A folder that cannot be made or written.
    dir.WriteText("file", "not a folder");
    EXPECT_FALSE(CRuntimeFolder::Prepare(dir.Path() / "file/vorlix", installed, error));
    EXPECT_NE(error.find("file/vorlix"), std::string::npos) << error;
    fs::create_directory(dir.Path() / "locked");
    ::chmod((dir.Path() / "locked").c_str(), 0500);
    if (::access((dir.Path() / "locked").c_str(), W_OK) != 0) {  // root writes anyway
        EXPECT_FALSE(CRuntimeFolder::Prepare(dir.Path() / "locked", installed, error));
        EXPECT_NE(error.find("cannot link"), std::string::npos) << error;
    }
}
