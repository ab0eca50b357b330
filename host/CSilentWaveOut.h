// A wave output with no device behind it that plays in step with emulated time: every slice
// of the machine lets 441 bytes (20 ms at 22050 bytes a second) play, and each buffer comes
// back once its last byte has been played, as from a real device. Programs that wait on the
// sound generator therefore see the same pace as with sound. The desktop program uses it
// when started with --no-sound, the headless runner always; both call Play after each slice
// and hand the returned buffers to CSound::OnBufferDone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>

#include "devices/CWaveOut.h"

class CSilentWaveOut : public CWaveOut {
public:
    // The bytes one 20 ms slice of emulated time plays.
    static constexpr std::uint32_t SLICE_BYTES = SAMPLE_RATE / 50;

    bool Open() override;
    bool Prepare(WaveBuffer& buffer) override;
    bool Write(WaveBuffer& buffer) override;
    bool Unprepare(WaveBuffer& buffer) override;

    // Plays `bytes` bytes of the queue and hands back, in order, each buffer finished by them.
    // Buffers the handler writes again join the queue behind the others. A queue that runs
    // dry plays silence: the time is not made up later.
    void Play(std::uint32_t bytes, const std::function<void(WaveBuffer&)>& handler);

private:
    bool open = false;
    std::deque<WaveBuffer*> queue;
    std::uint32_t playOffset = 0;  // bytes of queue.front() already played
};
