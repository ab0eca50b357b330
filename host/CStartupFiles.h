// The files the emulator reads at start-up from its working folder: the ROM images, the font
// and the samples. Each is opened through here, which notes its device and inode, so that
// the printer and file-store channels can refuse to write any of them under whatever name,
// link or spelling; and the first one that could not be used is kept with the reason, for
// the line that explains a failed start. CEmuApp owns the one instance (in HostFileTable).
//
//   CHostFile f;
//   if (!startup.Open(f, "font.bin")) ...;   // startup.FirstFault(): {"font.bin", "no such file"}
#pragma once

#include <set>
#include <string>

#include "host/CHostFile.h"

class CStartupFiles {
public:
    struct Fault {
        std::string file;    // empty while nothing has failed
        std::string reason;  // "no such file", "needs 2560 bytes, found 12", ...
    };

    // Opens the named file for reading and notes it as one of the emulator's own. On failure
    // the file and the reason become the fault.
    bool Open(CHostFile& file, const std::string& name);
    // The file opened but cannot be used (too short, a read error): notes why.
    void Refuse(const std::string& name, const std::string& reason);
    // "needs 16384 bytes, found 12"
    static std::string ShortBy(unsigned long needed, long found);

    // True for a file opened through Open, however it is reached now.
    bool Contains(const CHostFile::Id& id) const { return loaded.count(id) != 0; }
    // The first failure since the program started.
    const Fault& FirstFault() const { return fault; }

private:
    std::set<CHostFile::Id> loaded;
    Fault fault;
};
