#include "host/CSdlWaveOut.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

CSdlWaveOut::~CSdlWaveOut() { Close(); }

bool CSdlWaveOut::Open()
{
    if (device != 0)
        return true;
    if (!audioStarted) {
        // Left to itself SDL would catch SIGINT and SIGTERM and turn them into a quit event
        // that nobody here reads, so that the program could no longer be ended by them.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            openError = std::string("SDL: ") + SDL_GetError();
            return false;
        }
        audioStarted = true;
    }

    SDL_AudioSpec wanted{};
    wanted.freq = SAMPLE_RATE;
    wanted.format = AUDIO_U8;
    wanted.channels = 1;
    wanted.samples = DEVICE_SAMPLES;
    wanted.callback = &CSdlWaveOut::AudioCallback;
    wanted.userdata = this;
    // No changes allowed: where the hardware differs, SDL converts behind our back and the
    // callback still sees 8-bit unsigned mono at 22050 Hz.
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (id == 0) {
        openError = std::string("SDL: ") + SDL_GetError();
        // Leave SDL's audio as we found it, so the next attempt starts afresh.
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioStarted = false;
        return false;
    }
    device = id;
    openError.clear();
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void CSdlWaveOut::Close()
{
    if (device != 0) {
        // Returns once the audio thread has left the callback for good.
        SDL_CloseAudioDevice(device);
        device = 0;
    }
    if (audioStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioStarted = false;
    }
}

bool CSdlWaveOut::Prepare(WaveBuffer& buffer)
{
    if (buffer.data == nullptr || buffer.length == 0 || (buffer.flags & WaveBuffer::QUEUED) != 0)
        return false;
    buffer.flags |= WaveBuffer::PREPARED;
    return true;
}

bool CSdlWaveOut::Write(WaveBuffer& buffer)
{
    if (device == 0 || (buffer.flags & WaveBuffer::PREPARED) == 0 || (buffer.flags & WaveBuffer::QUEUED) != 0)
        return false;
    Pending pending{&buffer, std::vector<std::uint8_t>(buffer.data, buffer.data + buffer.length)};
    // The flags belong to the user-interface thread: set them before the audio thread can
    // see the buffer, and never touch them from there.
    buffer.flags = (buffer.flags & ~WaveBuffer::DONE) | WaveBuffer::QUEUED;
    std::lock_guard<std::mutex> guard(lock);
    queue.push_back(std::move(pending));
    return true;
}

bool CSdlWaveOut::Unprepare(WaveBuffer& buffer)
{
    if ((buffer.flags & WaveBuffer::QUEUED) != 0)
        return false;
    buffer.flags &= ~WaveBuffer::PREPARED;
    return true;
}

void CSdlWaveOut::SetWakeup(std::function<void()> function)
{
    // The callback calls wake with the device locked; hold it off while the function changes.
    if (device != 0)
        SDL_LockAudioDevice(device);
    wake = std::move(function);
    if (device != 0)
        SDL_UnlockAudioDevice(device);
}

void CSdlWaveOut::AudioCallback(void* self, std::uint8_t* stream, int length)
{
    if (length > 0)
        static_cast<CSdlWaveOut*>(self)->Fill(stream, static_cast<std::size_t>(length));
}

void CSdlWaveOut::Fill(std::uint8_t* stream, std::size_t length)
{
    std::size_t done = 0;
    std::size_t completed = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        while (done < length && !queue.empty()) {
            Pending& front = queue.front();
            const std::size_t count = std::min(length - done, front.bytes.size() - playOffset);
            std::memcpy(stream + done, front.bytes.data() + playOffset, count);
            done += count;
            playOffset += count;
            if (playOffset >= front.bytes.size()) {
                finished.push_back(front.buffer);
                queue.pop_front();
                playOffset = 0;
                ++completed;
            }
        }
    }
    // A dry queue plays silence rather than whatever the stream held.
    std::memset(stream + done, SILENCE, length - done);
    if (wake) {
        for (std::size_t i = 0; i < completed; ++i)
            wake();
    }
}

void CSdlWaveOut::DeliverFinished(const std::function<void(WaveBuffer&)>& handler)
{
    std::vector<WaveBuffer*> done;
    {
        std::lock_guard<std::mutex> guard(lock);
        done.swap(finished);
    }
    for (WaveBuffer* buffer : done) {
        buffer->flags = (buffer->flags & ~WaveBuffer::QUEUED) | WaveBuffer::DONE;
        if (handler)
            handler(*buffer);
    }
}
