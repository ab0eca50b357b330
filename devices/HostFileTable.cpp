#include "devices/HostFileTable.h"

void HostFileTable::CloseAll()
{
    for (CHostFile& f : slots)
        f.Close();
}
