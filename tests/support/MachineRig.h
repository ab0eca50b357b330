// The machine's parts wired together without the application: CPU, memory, port bus with its
// two channels, sound, settings and the host file table. Tests and benchmarks of the bus,
// keyboard and channels build on it; the bus is initialised, nothing is loaded.
#pragma once

#include "bus/CIoBus.h"
#include "bus/CMemory.h"
#include "core/Settings.h"
#include "cpu/CCpu.h"
#include "devices/CSound.h"
#include "devices/HostFileTable.h"

struct MachineRig {
    CMemory memory;
    CCpu cpu{memory, bus};
    CSound sound;
    Settings settings;
    HostFileTable files;
    CIoBus bus{cpu, memory, sound, files, settings};

    MachineRig() { bus.Init(); }
};
