// A host file opened with exclusive sharing, as every file open of the program is made:
// ROM images, font, samples, the printer destination and the file store all go through here.
// On POSIX the exclusive share is an advisory flock taken at once or not at all, so a second
// open of a file that is already held (by this process or another) fails.
//
//   CHostFile f;
//   if (f.Open("basic.rom", CHostFile::Mode::Read)) { long n = f.Read(buf, 16384); }
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>

class CStartupFiles;

class CHostFile {
public:
    enum class Mode {
        Read,     // existing file, read only
        Create,   // create or truncate to empty, write only
        Append,   // open or create, keep contents, write position at the end
    };

    // The file itself, whatever name, link or spelling reached it.
    struct Id {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        auto operator<=>(const Id&) const = default;
    };

    CHostFile() = default;
    ~CHostFile();
    CHostFile(const CHostFile&) = delete;
    CHostFile& operator=(const CHostFile&) = delete;
    CHostFile(CHostFile&& other) noexcept;
    CHostFile& operator=(CHostFile&& other) noexcept;

    // Fails on a missing file, a folder, a file held by another opener, or no permission, and
    // on any path holding a zero byte (the system would read a shorter path). Create and Append
    // never follow a symbolic link in the last component, so they cannot create, empty or
    // write a file elsewhere; they also fail on a file among `untouchable` (the emulator's
    // own files). Truncation (Create) happens only once all that is checked and the lock held.
    bool Open(const std::string& path, Mode mode, const CStartupFiles* untouchable = nullptr);
    void Close();
    bool IsOpen() const { return fd >= 0; }
    // The errno of the last failed Open (EISDIR for a folder, EWOULDBLOCK for a held file,
    // EPERM for one of the emulator's own files), 0 after a successful one.
    int Error() const { return error; }
    // Device and inode of the open file; zeros when nothing is open.
    Id Identity() const;
    // Why an open failed, in a few words: "no such file", "held by another program", ...
    static std::string Describe(int error);

    // Reads up to count bytes, retrying short reads until end of file. Returns the number of
    // bytes read, or -1 on a read error.
    long Read(void* buffer, std::size_t count);
    // Writes all count bytes. Returns the number written (short only on error), or -1 when
    // nothing could be written.
    long Write(const void* buffer, std::size_t count);
    // Size of the open file in bytes, or -1.
    long Size() const;

    // Opens path for reading, reads up to count bytes into buffer and closes it again.
    // Returns the bytes read, or -1 when the file could not be opened or a read failed.
    static long ReadFile(const std::string& path, void* buffer, std::size_t count);

private:
    bool Fail(int f, int why);

    int fd = -1;
    int error = 0;
};
