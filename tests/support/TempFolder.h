// A fresh folder for one test, made the working directory while the object lives and
// removed with everything in it afterwards. The machine reads its files from the working
// directory, so tests lay out ROM images, fonts and samples here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The whole of a file, read as it stands: as a string of bytes, or as bytes. Empty when the
// file cannot be read.
std::string ReadFile(const std::filesystem::path& path);
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);

class TempFolder {
public:
    explicit TempFolder(bool enter = true);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path; }
    // Path of a file in the folder, as a string.
    std::string File(const std::string& name) const { return (path / name).string(); }

    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    void Write(const std::string& name, std::size_t count, std::uint8_t fill) const;
    void WriteText(const std::string& name, const std::string& text) const;
    std::vector<std::uint8_t> Read(const std::string& name) const;
    bool Exists(const std::string& name) const { return std::filesystem::exists(path / name); }

private:
    std::filesystem::path path;
    std::filesystem::path previous;
    bool entered;
};
