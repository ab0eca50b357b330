#include "devices/CSound.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr const char* SAMPLE_FILES[] = {"slf.snd", "vco_slf.snd", "vco_lo.snd", "vco_hi.snd", "noise.snd"};

constexpr std::uint8_t ENVELOPE_DECAY = 2;
constexpr std::uint8_t ENVELOPE_SOURCE_7 = 3;
constexpr std::uint8_t SILENT_LEVEL = 255;

}  // namespace

CSound::CSound()
    : retryDelay([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); })
{
}

bool CSound::Init(CWaveOut& out, CStartupFiles* startup)
{
    // The ring is already circulating; queueing its buffers again would only fail.
    if (running)
        return true;

    tables.Build();
    waveOut = &out;
    if (!OpenWaveOut())
        return false;
    if (!LoadSamples(startup))
        return false;

    SetControl(0);

    for (int index = 0; index < BUFFER_COUNT; ++index) {
        auto& bytes = storage[static_cast<std::size_t>(index)];
        bytes.fill(CWaveOut::SILENCE);
        WaveBuffer& buffer = buffers[static_cast<std::size_t>(index)];
        buffer.data = bytes.data();
        buffer.length = BUFFER_SAMPLES;
        buffer.user = static_cast<std::uintptr_t>(index);
        buffer.flags = 0;
        if (!Queue(buffer))
            return false;
    }
    running = true;
    return true;
}

bool CSound::OpenWaveOut()
{
    for (int attempt = 1; attempt <= OPEN_ATTEMPTS; ++attempt) {
        if (waveOut->Open())
            return true;
        if (attempt < OPEN_ATTEMPTS && retryDelay)
            retryDelay(OPEN_RETRY_MS);
    }
    return false;
}

bool CSound::LoadSamples(CStartupFiles* startup)
{
    for (int id = 0; id < SAMPLE_COUNT; ++id) {
        if (!samples[static_cast<std::size_t>(id)].Load(SAMPLE_FILES[id], startup))
            return false;
    }
    return true;
}

void CSound::SetControl(std::uint8_t value)
{
    enable = (value & 0x01) != 0;
    oscillatorSelect = static_cast<std::uint8_t>((value >> 1) & 0x03);
    source = static_cast<std::uint8_t>((value >> 3) & 0x07);
    envelope = static_cast<std::uint8_t>(value >> 6);

    // Every write restarts a fixed oscillator; the swept one joins the slow oscillator where
    // it is, so the sweep stays in step with it.
    switch (oscillatorSelect) {
    case 0:
        oscillator = VCO_HI;
        oscillatorPosition = 0;
        break;
    case 1:
        oscillator = VCO_LO;
        oscillatorPosition = 0;
        break;
    default: {
        oscillator = VCO_SLF;
        // A swept recording shorter than the slow one must not be read past its end.
        const std::uint32_t length = samples[VCO_SLF].Length();
        oscillatorPosition = length != 0 ? slowPosition % length : 0;
        break;
    }
    }

    // A decay write keeps the level, so a decay under way goes on from where it is.
    if (envelope != ENVELOPE_DECAY)
        level = 0;
}

void CSound::OnBufferDone(WaveBuffer& buffer)
{
    // Only our own descriptors are refilled: their data is known to hold a whole buffer.
    if (!IsRingBuffer(buffer))
        return;
    if (!waveOut->Unprepare(buffer))
        return;  // the buffer leaves the ring
    if (!running)
        return;  // a buffer back before start-up finished is not requeued

    buffer.flags = 0;
    if (held) {
        std::fill_n(buffer.data, BUFFER_SAMPLES, CWaveOut::SILENCE);
    } else {
        if (enable) {
            Render(buffer.data);
            Advance();
        } else {
            std::fill_n(buffer.data, BUFFER_SAMPLES, CWaveOut::SILENCE);
        }
        if (tap)
            tap(buffer.data, BUFFER_SAMPLES);
        if (muted)
            std::fill_n(buffer.data, BUFFER_SAMPLES, CWaveOut::SILENCE);
    }
    Queue(buffer);  // on failure the buffer leaves the ring and the others go on
}

bool CSound::Queue(WaveBuffer& buffer)
{
    return waveOut->Prepare(buffer) && waveOut->Write(buffer);
}

bool CSound::IsRingBuffer(const WaveBuffer& buffer) const
{
    return waveOut != nullptr && buffer.user < static_cast<std::uintptr_t>(BUFFER_COUNT) &&
           buffer.data == storage[buffer.user].data();
}

void CSound::Render(std::uint8_t* out)
{
    for (std::uint32_t i = 0; i < BUFFER_SAMPLES; ++i) {
        out[i] = tables.Attenuate(SourceValue(i), level);
        if (i % DECAY_INTERVAL == 0 && envelope == ENVELOPE_DECAY && level < SILENT_LEVEL)
            ++level;
    }
}

std::uint8_t CSound::SourceValue(std::uint32_t i) const
{
    // Every position is below its sample's length, and each sample carries a copy of its
    // first BUFFER_SAMPLES bytes behind it, so position + i never leaves the sample.
    const std::uint8_t o = samples[oscillator].Data()[oscillatorPosition + i];
    const std::uint8_t n = samples[NOISE].Data()[noisePosition + i];
    const bool gateOpen = slowPosition + i < GATE_SAMPLES;
    switch (source) {
    case 0: return o;
    case 1: return n;
    case 2: return samples[SLF].Data()[slowPosition + i];
    case 3: return tables.Mix(o, n);
    case 4: return gateOpen ? n : CWaveOut::SILENCE;
    case 5: return gateOpen ? o : CWaveOut::SILENCE;
    case 6: return gateOpen ? tables.Mix(o, n) : CWaveOut::SILENCE;
    default: return envelope == ENVELOPE_SOURCE_7 ? o : CWaveOut::SILENCE;
    }
}

void CSound::Advance()
{
    oscillatorPosition = Wrap(oscillatorPosition + BUFFER_SAMPLES, samples[oscillator].Length());
    slowPosition = Wrap(slowPosition + BUFFER_SAMPLES, samples[SLF].Length());
    noisePosition = Wrap(noisePosition + BUFFER_SAMPLES, samples[NOISE].Length());
}

std::uint32_t CSound::Wrap(std::uint32_t position, std::uint32_t length)
{
    // Every length is at least one buffer, so one subtraction brings the position back below it.
    return position >= length ? position - length : position;
}
