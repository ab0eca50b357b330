// STUB interface, to be completed by the sound work.
// The host's wave output as the sound generator uses it: open for 22050 Hz 8-bit unsigned
// mono, prepare, queue (write) and unprepare buffers. Each finished buffer comes back on the
// user-interface thread, where its owner hands it to CSound::OnBufferDone.
#pragma once

#include <cstdint>

struct WaveBuffer {
    std::uint8_t* data = nullptr;
    std::uint32_t length = 0;
    std::uintptr_t user = 0;
    std::uint32_t flags = 0;
};

class CWaveOut {
public:
    virtual ~CWaveOut() = default;
    virtual bool Open() = 0;
    virtual bool Prepare(WaveBuffer& buffer) = 0;
    virtual bool Write(WaveBuffer& buffer) = 0;
    virtual bool Unprepare(WaveBuffer& buffer) = 0;
};
