// A wave output that keeps queued buffers until the test hands them back, one at a time,
// as a device does when it has played them. It can be told to fail any operation.
#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <vector>

#include "devices/CSound.h"
#include "devices/CWaveOut.h"

class FakeWaveOut final : public CWaveOut {
public:
    bool Open() override
    {
        ++opens;
        return opens > openFailures;
    }
    bool Prepare(WaveBuffer& buffer) override
    {
        ++prepares;
        if (failPrepare.count(buffer.user) != 0)
            return false;
        buffer.flags |= WaveBuffer::PREPARED;
        return true;
    }
    bool Write(WaveBuffer& buffer) override
    {
        ++writes;
        if (writeFailsAt == writes || failWrite.count(buffer.user) != 0)
            return false;
        buffer.flags |= WaveBuffer::QUEUED;
        queue.push_back(&buffer);
        return true;
    }
    bool Unprepare(WaveBuffer& buffer) override
    {
        ++unprepares;
        if (failUnprepare.count(buffer.user) != 0)
            return false;
        buffer.flags &= ~WaveBuffer::PREPARED;
        return true;
    }

    // Returns the oldest queued buffer to the sound generator and gives back what the
    // generator rendered into it (what will be heard once the queue ahead has played).
    std::vector<std::uint8_t> ReturnNext(CSound& sound)
    {
        if (queue.empty())
            return {};
        WaveBuffer* buffer = queue.front();
        queue.pop_front();
        returned.push_back(buffer->user);
        buffer->flags = (buffer->flags & ~WaveBuffer::QUEUED) | WaveBuffer::DONE;
        sound.OnBufferDone(*buffer);
        return std::vector<std::uint8_t>(buffer->data, buffer->data + buffer->length);
    }

    int openFailures = 0;
    int writeFailsAt = 0;  // the n-th Write fails (1-based); 0 never
    std::set<std::uintptr_t> failPrepare, failWrite, failUnprepare;  // by buffer index

    int opens = 0;
    int prepares = 0;
    int writes = 0;
    int unprepares = 0;
    std::deque<WaveBuffer*> queue;
    std::vector<std::uintptr_t> returned;
};
