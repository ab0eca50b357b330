// A wave output with no device behind it, for tests and benchmarks: it always opens, and
// every buffer written counts as played at once. Its user pumps DeliverFinished and hands the
// buffers to CSound::OnBufferDone, as the shell does with the real device. (CSilentWaveOut
// is the one that keeps the pace of emulated time.)
#pragma once

#include <functional>
#include <vector>

#include "devices/CWaveOut.h"

class CNullWaveOut final : public CWaveOut {
public:
    bool Open() override;
    bool Prepare(WaveBuffer& buffer) override;
    bool Write(WaveBuffer& buffer) override;
    bool Unprepare(WaveBuffer& buffer) override;

    // Hands back, in order, every buffer written since the last call. Buffers the handler
    // writes again are kept for the next call.
    void DeliverFinished(const std::function<void(WaveBuffer&)>& handler);

private:
    bool open = false;
    std::vector<WaveBuffer*> finished;
};
