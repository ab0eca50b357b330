#include "TempFolder.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TempFolder::TempFolder(bool enter) : entered(enter)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vorlix-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path = pattern;
    if (entered) {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(path);
    }
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    if (entered)
        std::filesystem::current_path(previous, ec);
    // Read-only folders made by a test must not keep us from cleaning up.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path, ec))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path, ec);
}

void TempFolder::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const
{
    std::ofstream out(path / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void TempFolder::Write(const std::string& name, std::size_t count, std::uint8_t fill) const
{
    Write(name, std::vector<std::uint8_t>(count, fill));
}

void TempFolder::WriteText(const std::string& name, const std::string& text) const
{
    Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> TempFolder::Read(const std::string& name) const { return ReadBytes(path / name); }
