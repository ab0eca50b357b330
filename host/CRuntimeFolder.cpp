#include "host/CRuntimeFolder.h"

#include <system_error>

namespace fs = std::filesystem;

const std::vector<std::string>& CRuntimeFolder::Files()
{
    static const std::vector<std::string> files = {"basic.rom",  "dev_dos.rom", "dev_pr.rom",  "font.bin", "noise.snd",
                                                   "vco_hi.snd", "vco_lo.snd",  "vco_slf.snd", "slf.snd"};
    return files;
}

bool CRuntimeFolder::Holds(const fs::path& folder)
{
    std::error_code ec;
    return fs::exists(folder / "basic.rom", ec);
}

bool CRuntimeFolder::Prepare(const fs::path& folder, const fs::path& installed, std::string& error)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
        error = "cannot make the folder " + folder.string();
        return false;
    }
    for (const std::string& name : Files()) {
        const fs::path link = folder / name;
        const fs::path target = installed / name;
        const fs::file_status status = fs::symlink_status(link, ec);
        if (fs::exists(status)) {
            if (!fs::is_symlink(status))
                continue;  // the user's own file
            const fs::path current = fs::read_symlink(link, ec);
            // Ours: a link to the same name in a folder named like the installed one.
            const bool ours = !ec && current.filename() == name &&
                              current.parent_path().filename() == installed.filename();
            if (!ours || current == target)
                continue;
            fs::remove(link, ec);
        }
        fs::create_symlink(target, link, ec);
        if (ec) {
            error = "cannot link " + link.string() + " to " + target.string() + ": " + ec.message();
            return false;
        }
    }
    return true;
}
