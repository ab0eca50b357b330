#include "core/CWavFile.h"

#include <array>
#include <limits>

#include "devices/CWaveOut.h"

namespace {

// Room for the header inside the RIFF size.
constexpr std::uint32_t MAX_SAMPLES = std::numeric_limits<std::uint32_t>::max() - 36;

void PutLe(std::uint8_t* at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

bool CWavFile::Open(const std::string& path)
{
    Close();
    out.clear();
    out.open(path, std::ios::binary | std::ios::trunc);
    samples = 0;
    overflow = false;
    if (!out)
        return false;
    Header(0);
    return static_cast<bool>(out);
}

void CWavFile::Header(std::uint32_t dataBytes)
{
    std::array<std::uint8_t, HEADER_BYTES> h{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                             'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0};
    PutLe(&h[4], 36 + dataBytes, 4);
    PutLe(&h[24], CWaveOut::SAMPLE_RATE, 4);  // samples per second
    PutLe(&h[28], CWaveOut::SAMPLE_RATE, 4);  // bytes per second: one byte a sample
    PutLe(&h[32], 1, 2);                      // block alignment
    PutLe(&h[34], 8, 2);                      // bits per sample
    h[36] = 'd', h[37] = 'a', h[38] = 't', h[39] = 'a';
    PutLe(&h[40], dataBytes, 4);
    out.write(reinterpret_cast<const char*>(h.data()), static_cast<std::streamsize>(h.size()));
}

void CWavFile::Write(const std::uint8_t* data, std::size_t count)
{
    if (!out.is_open())
        return;
    if (count > MAX_SAMPLES - samples) {
        overflow = true;
        count = MAX_SAMPLES - samples;
    }
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(count));
    samples += static_cast<std::uint32_t>(count);
}

bool CWavFile::Close()
{
    if (!out.is_open())
        return true;
    out.seekp(0);
    Header(samples);
    out.close();
    return static_cast<bool>(out) && !overflow;
}
