// The host's wave output as the sound generator sees it: open the default device for
// 22050 Hz 8-bit unsigned mono, then prepare, queue (Write) and unprepare buffers. Each
// buffer the device has finished playing comes back on the user-interface thread, where its
// owner hands it to CSound::OnBufferDone. The SDL back end, the null back end of the headless
// runner and the tests' fakes implement it.
#pragma once

#include <cstdint>
#include <string>

// One buffer as it travels through the wave output. The owner keeps the memory; the host
// only borrows it from Write until the buffer comes back.
struct WaveBuffer {
    // Flag bits, set by the host: prepared for queueing, queued and not yet returned,
    // finished playing.
    static constexpr std::uint32_t PREPARED = 0x02;
    static constexpr std::uint32_t QUEUED = 0x10;
    static constexpr std::uint32_t DONE = 0x01;

    std::uint8_t* data = nullptr;
    std::uint32_t length = 0;
    std::uintptr_t user = 0;  // the owner's tag: the sound generator stores the buffer's index
    std::uint32_t flags = 0;
};

class CWaveOut {
public:
    static constexpr int SAMPLE_RATE = 22050;  // 8-bit unsigned mono, one byte per sample
    static constexpr std::uint8_t SILENCE = 0x80;

    virtual ~CWaveOut() = default;

    // Opens the default output device for 22050 Hz 8-bit unsigned mono. False when no
    // device can be had at the moment; the caller may try again.
    virtual bool Open() = 0;
    // Readies a buffer for Write. False for a buffer without data or one still queued.
    virtual bool Prepare(WaveBuffer& buffer) = 0;
    // Queues a prepared buffer behind those already queued. False when the device is not
    // open or the buffer is not prepared or already queued.
    virtual bool Write(WaveBuffer& buffer) = 0;
    // Releases a returned buffer. False while the buffer is still queued.
    virtual bool Unprepare(WaveBuffer& buffer) = 0;
    // Why the last Open failed, in the host's words, for the user; empty when not known.
    virtual std::string OpenError() const { return {}; }
};
