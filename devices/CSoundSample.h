// One recorded waveform of the sound generator, read whole from a headerless 8-bit unsigned
// mono file and played as a loop. CSound loads its five samples through it at start-up.
// The bytes are followed by a copy of the first TAIL_BYTES, so a buffer can read TAIL_BYTES
// consecutive bytes from any position below Length() without testing for the wrap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CStartupFiles;

class CSoundSample {
public:
    static constexpr std::uint32_t TAIL_BYTES = 110;
    // A loop shorter than one buffer would let a buffer run past the appended copy.
    static constexpr std::uint32_t MIN_BYTES = TAIL_BYTES;
    // About twelve minutes of sound; anything larger is not a sample and is not allocated.
    static constexpr std::uint32_t MAX_BYTES = 16u * 1024u * 1024u;

    // Reads the named file from the working directory (exclusive sharing). False, leaving the
    // sample empty, when the file cannot be opened or read in full, or its size is outside
    // MIN_BYTES..MAX_BYTES. The file is opened through `startup` when given, which notes it
    // and the reason of a failure.
    bool Load(const std::string& name, CStartupFiles* startup = nullptr);

    // Bytes in one loop; 0 while nothing is loaded.
    std::uint32_t Length() const { return length; }
    // Length() + TAIL_BYTES readable bytes once loaded.
    const std::uint8_t* Data() const { return bytes.data(); }

private:
    std::vector<std::uint8_t> bytes;
    std::uint32_t length = 0;
};
