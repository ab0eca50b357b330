#include "host/CHostFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/CStartupFiles.h"

CHostFile::~CHostFile() { Close(); }

CHostFile::CHostFile(CHostFile&& other) noexcept : fd(other.fd) { other.fd = -1; }

CHostFile& CHostFile::operator=(CHostFile&& other) noexcept
{
    if (this != &other) {
        Close();
        fd = other.fd;
        other.fd = -1;
    }
    return *this;
}

bool CHostFile::Open(const std::string& path, Mode mode, const CStartupFiles* untouchable)
{
    Close();
    error = 0;
    // The system takes a path up to its first zero byte: a path holding one would open
    // another file than the one named.
    if (path.empty() || path.find('\0') != std::string::npos)
        return Fail(-1, ENOENT);
    // Non-blocking only for the open itself: a FIFO put where a file is expected must not
    // hang the program.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    switch (mode) {
    case Mode::Read: flags |= O_RDONLY; break;
    case Mode::Create: flags |= O_WRONLY | O_CREAT | O_NOFOLLOW; break;
    case Mode::Append: flags |= O_WRONLY | O_CREAT | O_NOFOLLOW; break;
    }
    int f = ::open(path.c_str(), flags, 0666);
    if (f < 0)
        return Fail(-1, errno);
    struct stat st {};
    if (::fstat(f, &st) != 0)
        return Fail(f, errno);
    if (S_ISDIR(st.st_mode))
        return Fail(f, EISDIR);
    if (mode != Mode::Read && untouchable && untouchable->Contains(Id{st.st_dev, st.st_ino}))
        return Fail(f, EPERM);
    // A FIFO stays non-blocking, so that reading or writing it can never stall the machine;
    // files and devices go back to ordinary blocking transfers.
    if (!S_ISFIFO(st.st_mode)) {
        int fl = ::fcntl(f, F_GETFL);
        if (fl < 0 || ::fcntl(f, F_SETFL, fl & ~O_NONBLOCK) != 0)
            return Fail(f, errno);
    }
    // The share is exclusive: whoever holds the file first keeps it.
    if (::flock(f, LOCK_EX | LOCK_NB) != 0)
        return Fail(f, errno);
    if (mode == Mode::Create && S_ISREG(st.st_mode) && ::ftruncate(f, 0) != 0)
        return Fail(f, errno);
    if (mode == Mode::Append && S_ISREG(st.st_mode) && ::lseek(f, 0, SEEK_END) < 0)
        return Fail(f, errno);
    fd = f;
    return true;
}

bool CHostFile::Fail(int f, int why)
{
    if (f >= 0)
        ::close(f);
    error = why != 0 ? why : EIO;
    return false;
}

CHostFile::Id CHostFile::Identity() const
{
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::string CHostFile::Describe(int error)
{
    switch (error) {
    case ENOENT: return "no such file";
    case EISDIR: return "a folder, not a file";
    case EWOULDBLOCK: return "held open by another program";
    case EACCES: return "no permission to read it";
    default: return std::strerror(error);
    }
}

void CHostFile::Close()
{
    if (fd >= 0) {
        ::close(fd);  // closing the descriptor releases the lock
        fd = -1;
    }
}

long CHostFile::Read(void* buffer, std::size_t count)
{
    if (fd < 0)
        return -1;
    auto* p = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN && done > 0)
                break;  // a FIFO with nothing more to give: what came so far is the data
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(done);
}

long CHostFile::Write(const void* buffer, std::size_t count)
{
    if (fd < 0)
        return -1;
    auto* p = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    if (done == 0 && count > 0)
        return -1;
    return static_cast<long>(done);
}

long CHostFile::Size() const
{
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return -1;
    return static_cast<long>(st.st_size);
}

long CHostFile::ReadFile(const std::string& path, void* buffer, std::size_t count)
{
    CHostFile file;
    if (!file.Open(path, Mode::Read))
        return -1;
    return file.Read(buffer, count);
}
