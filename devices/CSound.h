// The sound generator: noise, an oscillator with three recordings and a slow oscillator,
// played from five looped samples, mixed, gated and decayed through two lookup tables.
// The port bus hands it every port 6 byte (SetControl); the wave output's owner hands it
// every finished buffer (OnBufferDone), which it refills from the control state of that
// moment and queues again, keeping a ring of 20 short buffers flowing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "devices/CSoundSample.h"
#include "devices/CSoundTables.h"
#include "devices/CWaveOut.h"

class CStartupFiles;

class CSound {
public:
    static constexpr int BUFFER_COUNT = 20;
    static constexpr std::uint32_t BUFFER_SAMPLES = 110;
    static constexpr int OPEN_ATTEMPTS = 4;
    static constexpr int OPEN_RETRY_MS = 1000;
    // Sources 4 to 6 sound only while the slow oscillator is below this position.
    static constexpr std::uint32_t GATE_SAMPLES = 3170;
    // The decay steps the level once every this many samples.
    static constexpr std::uint32_t DECAY_INTERVAL = 32;
    static_assert(CSoundSample::TAIL_BYTES >= BUFFER_SAMPLES, "a buffer must never read past a sample's copied start");

    CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // Builds the tables, opens the wave output (retrying), loads the five samples, switches
    // the sound off and queues the 20 silent buffers. False on the first failure. The samples
    // are opened through `startup` when given, which notes them and the reason of a failure.
    bool Init(CWaveOut& waveOut, CStartupFiles* startup = nullptr);
    // A byte written to port 6.
    void SetControl(std::uint8_t value);
    // A buffer the wave output has finished playing: refill it and queue it again.
    void OnBufferDone(WaveBuffer& buffer);

    // Receives every buffer the generator produces, before it is queued: the bytes a recording
    // of the machine's sound holds. Empty for none.
    using Tap = std::function<void(const std::uint8_t* samples, std::size_t count)>;
    void SetTap(Tap tap) { this->tap = std::move(tap); }
    // Muted, the generator runs on as if heard (positions and decay advance, the tap gets its
    // bytes) while the wave output is given silence.
    void SetMuted(bool on) { muted = on; }
    // Held, every returned buffer goes back as silence and nothing advances, whatever the
    // control state: the machine's sound stands still while the machine does.
    void SetHeld(bool on) { held = on; }

    // How Init waits between open attempts; tests replace the one-second sleep.
    void SetRetryDelay(std::function<void(int ms)> delay) { retryDelay = std::move(delay); }

private:
    // In the order Init loads them.
    enum SampleId { SLF, VCO_SLF, VCO_LO, VCO_HI, NOISE, SAMPLE_COUNT };

    bool OpenWaveOut();
    bool LoadSamples(CStartupFiles* startup);
    bool Queue(WaveBuffer& buffer);
    bool IsRingBuffer(const WaveBuffer& buffer) const;
    void Render(std::uint8_t* out);
    std::uint8_t SourceValue(std::uint32_t i) const;
    void Advance();
    static std::uint32_t Wrap(std::uint32_t position, std::uint32_t length);

    CWaveOut* waveOut = nullptr;
    std::function<void(int ms)> retryDelay;
    CSoundTables tables;
    std::array<CSoundSample, SAMPLE_COUNT> samples;

    // Control fields of the last port 6 byte.
    bool enable = false;
    std::uint8_t oscillatorSelect = 0;
    std::uint8_t source = 0;
    std::uint8_t envelope = 0;
    std::uint8_t level = 0;  // attenuation: 0 full, 255 silent

    SampleId oscillator = VCO_HI;
    std::uint32_t oscillatorPosition = 0;
    std::uint32_t slowPosition = 0;
    std::uint32_t noisePosition = 0;

    std::array<std::array<std::uint8_t, BUFFER_SAMPLES>, BUFFER_COUNT> storage{};
    std::array<WaveBuffer, BUFFER_COUNT> buffers{};
    bool running = false;

    Tap tap;
    bool muted = false;
    bool held = false;
};
