// STUB interface, to be completed by the sound work.
#pragma once

#include <cstdint>

#include "devices/CWaveOut.h"

class CSound {
public:
    bool Init(CWaveOut& waveOut);
    void SetControl(std::uint8_t value);
    void OnBufferDone(WaveBuffer& buffer);
};
