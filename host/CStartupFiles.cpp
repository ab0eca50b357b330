#include "host/CStartupFiles.h"

bool CStartupFiles::Open(CHostFile& file, const std::string& name)
{
    if (!file.Open(name, CHostFile::Mode::Read)) {
        Refuse(name, CHostFile::Describe(file.Error()));
        return false;
    }
    loaded.insert(file.Identity());
    return true;
}

void CStartupFiles::Refuse(const std::string& name, const std::string& reason)
{
    if (fault.file.empty())
        fault = {name, reason};
}

std::string CStartupFiles::ShortBy(unsigned long needed, long found)
{
    return "needs " + std::to_string(needed) + " bytes, found " + std::to_string(found < 0 ? 0 : found);
}
