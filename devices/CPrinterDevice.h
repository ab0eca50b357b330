// The printer channel on port 254: printed text goes to the host file named by
// "PrintDestination", appended or replacing it. CIoBus owns it and calls Execute for every
// write to port 254. Every command that reports sets input latch 254 to 0, failures included,
// because the emulated printer software takes 0 as its only answer.
#pragma once

#include <cstdint>

#include "devices/CHostDevice.h"

class CPrinterDevice final : public CHostDevice {
public:
    using CHostDevice::CHostDevice;

    static constexpr std::uint8_t STATUS_OK = 0x00;

protected:
    // B slot; HL comes back as the slot's buffer. "PrintAppend" is read at this moment.
    void OpenWrite() override;
    // B slot, HL source, C count (0..255). "PrintTranslate" is read at this moment.
    void WriteBytes() override;

private:
    void Report();
};
