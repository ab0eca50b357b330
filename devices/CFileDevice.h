// The file-store channel on port 255: one host folder ("FileFolder") in which every target
// file is one host file, moved in 256-byte records through the slot buffers. CIoBus owns it
// and calls Execute for every write to port 255; the status goes to input latch 255.
#pragma once

#include <cstddef>
#include <cstdint>

#include "devices/CHostDevice.h"
#include "host/CHostFile.h"

class CFileDevice final : public CHostDevice {
public:
    using CHostDevice::CHostDevice;

    static constexpr std::size_t RECORD_SIZE = 256;
    static constexpr std::uint8_t STATUS_OK = 0x00;
    static constexpr std::uint8_t STATUS_FAILED = 0xFF;

protected:
    // B slot, DE address of the 11-byte name; HL comes back as the slot's buffer.
    void OpenRead() override;
    void OpenWrite() override;
    // B slot, HL record address. A short or failed transfer, or an empty slot, reports 0xFF.
    void ReadBlock() override;
    void WriteBlock() override;

private:
    void Open(CHostFile::Mode mode);
    void Report(bool ok);
};
