// The target machine's 64 KB address space: one flat array, loaded with the three ROM images
// at start-up and writable everywhere afterwards. The CPU takes Bytes() once per Run and
// indexes it with a 16-bit mask; the display and the device channels use Bytes() directly.
//
//   CMemory mem;  if (!mem.Init()) ...;  mem.WriteWord(0xFFFF, 0x1234);  // high byte at 0x0000
#pragma once

#include <array>
#include <cstdint>

class CStartupFiles;

class CMemory {
public:
    static constexpr std::uint32_t SIZE = 0x10000;
    static constexpr std::uint32_t MASK = 0xFFFF;

    // Fills memory with 0xFF and loads "basic.rom" (all 16384 bytes required), "dev_dos.rom"
    // (up to 4096 at 0x6000) and "dev_pr.rom" (up to 2048 at 0x7800) from the working
    // directory. Stops at the first file that cannot be opened or read. The files are opened
    // through `startup` when given, which notes them and the reason of a failure.
    bool Init(CStartupFiles* startup = nullptr);

    std::uint8_t ReadByte(std::uint32_t address) const { return bytes[address & MASK]; }
    void WriteByte(std::uint32_t address, std::uint8_t value) { bytes[address & MASK] = value; }
    std::uint16_t ReadWord(std::uint32_t address) const
    {
        return static_cast<std::uint16_t>(bytes[address & MASK] | (bytes[(address + 1) & MASK] << 8));
    }
    void WriteWord(std::uint32_t address, std::uint16_t value)
    {
        bytes[address & MASK] = static_cast<std::uint8_t>(value);
        bytes[(address + 1) & MASK] = static_cast<std::uint8_t>(value >> 8);
    }

    // The whole array, SIZE bytes. Users stay within it.
    std::uint8_t* Bytes() { return bytes.data(); }
    const std::uint8_t* Bytes() const { return bytes.data(); }

private:
    std::array<std::uint8_t, SIZE> bytes{};
};
