#include "host/CNullWaveOut.h"

bool CNullWaveOut::Open()
{
    open = true;
    return true;
}

bool CNullWaveOut::Prepare(WaveBuffer& buffer)
{
    if (buffer.data == nullptr || buffer.length == 0 || (buffer.flags & WaveBuffer::QUEUED) != 0)
        return false;
    buffer.flags |= WaveBuffer::PREPARED;
    return true;
}

bool CNullWaveOut::Write(WaveBuffer& buffer)
{
    if (!open || (buffer.flags & WaveBuffer::PREPARED) == 0 || (buffer.flags & WaveBuffer::QUEUED) != 0)
        return false;
    buffer.flags = (buffer.flags & ~WaveBuffer::DONE) | WaveBuffer::QUEUED;
    finished.push_back(&buffer);
    return true;
}

bool CNullWaveOut::Unprepare(WaveBuffer& buffer)
{
    if ((buffer.flags & WaveBuffer::QUEUED) != 0)
        return false;
    buffer.flags &= ~WaveBuffer::PREPARED;
    return true;
}

void CNullWaveOut::DeliverFinished(const std::function<void(WaveBuffer&)>& handler)
{
    // The handler writes buffers again; they belong to the next delivery.
    std::vector<WaveBuffer*> done;
    done.swap(finished);
    for (WaveBuffer* buffer : done) {
        buffer->flags = (buffer->flags & ~WaveBuffer::QUEUED) | WaveBuffer::DONE;
        if (handler)
            handler(*buffer);
    }
}
