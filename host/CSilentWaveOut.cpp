#include "host/CSilentWaveOut.h"

#include <algorithm>
#include <vector>

bool CSilentWaveOut::Open()
{
    open = true;
    return true;
}

bool CSilentWaveOut::Prepare(WaveBuffer& buffer)
{
    if (buffer.data == nullptr || buffer.length == 0 || (buffer.flags & WaveBuffer::QUEUED) != 0)
        return false;
    buffer.flags |= WaveBuffer::PREPARED;
    return true;
}

bool CSilentWaveOut::Write(WaveBuffer& buffer)
{
    if (!open || (buffer.flags & WaveBuffer::PREPARED) == 0 || (buffer.flags & WaveBuffer::QUEUED) != 0)
        return false;
    buffer.flags = (buffer.flags & ~WaveBuffer::DONE) | WaveBuffer::QUEUED;
    queue.push_back(&buffer);
    return true;
}

bool CSilentWaveOut::Unprepare(WaveBuffer& buffer)
{
    if ((buffer.flags & WaveBuffer::QUEUED) != 0)
        return false;
    buffer.flags &= ~WaveBuffer::PREPARED;
    return true;
}

void CSilentWaveOut::Play(std::uint32_t bytes, const std::function<void(WaveBuffer&)>& handler)
{
    // First the time passes, then the finished buffers go back, so that none written again
    // by the handler is played in the time that returned it.
    std::vector<WaveBuffer*> finished;
    while (bytes > 0 && !queue.empty()) {
        WaveBuffer* front = queue.front();
        const std::uint32_t step = std::min(bytes, front->length - playOffset);
        bytes -= step;
        playOffset += step;
        if (playOffset >= front->length) {
            finished.push_back(front);
            queue.pop_front();
            playOffset = 0;
        }
    }
    for (WaveBuffer* buffer : finished) {
        buffer->flags = (buffer->flags & ~WaveBuffer::QUEUED) | WaveBuffer::DONE;
        if (handler)
            handler(*buffer);
    }
}
