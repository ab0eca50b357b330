// A wave output with no device behind it, for tests and benchmarks: it always opens, and
// every buffer written counts as played at once. Its user pumps DeliverFinished and hands the
// buffers to CSound::OnBufferDone, as the shell does with the real device. (Its base,
// CSilentWaveOut, keeps the pace of emulated time instead.)
#pragma once

#include <cstdint>
#include <functional>

#include "host/CSilentWaveOut.h"

class CNullWaveOut final : public CSilentWaveOut {
public:
    // Hands back, in order, every buffer written since the last call. Buffers the handler
    // writes again are kept for the next call.
    void DeliverFinished(const std::function<void(WaveBuffer&)>& handler) { Play(UINT32_MAX, handler); }
};
