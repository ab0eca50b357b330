// A WAV file of 8-bit unsigned mono samples at 22050 Hz, the wave output's own format, written
// as the sound generator hands over its buffers. The header's sizes are filled in by Close();
// until then they are those of an empty file. The window's sound recorder and the headless
// runner's --wav write through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

class CWavFile {
public:
    static constexpr std::size_t HEADER_BYTES = 44;

    CWavFile() = default;
    ~CWavFile() { Close(); }
    CWavFile(const CWavFile&) = delete;
    CWavFile& operator=(const CWavFile&) = delete;

    // Creates or replaces the file and writes the header. False when it cannot be written.
    bool Open(const std::string& path);
    void Write(const std::uint8_t* samples, std::size_t count);
    // Fills in the sizes and closes. False when any write failed or the file is too long for
    // the format's 32-bit sizes (the samples past that are dropped).
    bool Close();

    bool IsOpen() const { return out.is_open(); }

private:
    void Header(std::uint32_t dataBytes);

    std::ofstream out;
    std::uint32_t samples = 0;
    bool overflow = false;
};
