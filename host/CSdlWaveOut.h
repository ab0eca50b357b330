// The desktop's wave output on SDL2 audio: 22050 Hz 8-bit unsigned mono, played from SDL's
// audio thread in the order buffers were queued, silence when the queue runs dry. Each
// finished buffer is recorded and announced through the wake function on the audio thread;
// the shell then calls DeliverFinished on its user-interface thread, which hands the buffers
// to CSound::OnBufferDone. All locking of that hand-over stays in this class.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "devices/CWaveOut.h"

class CSdlWaveOut final : public CWaveOut {
public:
    // Samples per device callback: small, so a control change is heard soon after rendering.
    static constexpr std::uint16_t DEVICE_SAMPLES = 256;

    CSdlWaveOut() = default;
    ~CSdlWaveOut() override;
    CSdlWaveOut(const CSdlWaveOut&) = delete;
    CSdlWaveOut& operator=(const CSdlWaveOut&) = delete;

    // Starts SDL's audio alone and opens the default device, playing at once. Opening an open
    // device succeeds without doing anything. SDL is told to leave the process's signals
    // alone: the program's owner decides what SIGINT and SIGTERM do.
    bool Open() override;
    bool Prepare(WaveBuffer& buffer) override;
    // Takes a copy of the buffer's bytes, so the audio thread never reads the owner's memory.
    bool Write(WaveBuffer& buffer) override;
    bool Unprepare(WaveBuffer& buffer) override;
    // "SDL: " and SDL's own words for the last failed Open.
    std::string OpenError() const override { return openError; }

    // Called on the audio thread once for every finished buffer; it must only signal.
    void SetWakeup(std::function<void()> wake);
    // On the user-interface thread: pops every finished buffer, in order, and calls handler
    // for each outside any lock (the handler may Write it again).
    void DeliverFinished(const std::function<void(WaveBuffer&)>& handler);

    bool IsOpen() const { return device != 0; }

private:
    struct Pending {
        WaveBuffer* buffer;
        std::vector<std::uint8_t> bytes;
    };

    static void AudioCallback(void* self, std::uint8_t* stream, int length);
    void Fill(std::uint8_t* stream, std::size_t length);
    void Close();

    std::uint32_t device = 0;  // SDL_AudioDeviceID, 0 while closed
    bool audioStarted = false;
    std::string openError;
    std::function<void()> wake;

    // Shared with the audio thread, under lock.
    std::mutex lock;
    std::deque<Pending> queue;
    std::size_t playOffset = 0;  // bytes of queue.front() already played
    std::vector<WaveBuffer*> finished;
};
