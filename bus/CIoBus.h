// The port bus: 256 input latches the CPU reads, 256 output latches recording its writes,
// and the fixed dispatch of output ports 6 (sound), 58 (echo), 254 (printer) and 255 (file
// store). Devices act inside the output instruction and leave any status in an input latch.
//
//   bus.Init();  bus.WritePort(58, 0x00);  bus.ReadPort(58) == 0x87
#pragma once

#include <array>
#include <cstdint>

#include "bus/CPortBus.h"
#include "bus/CPortObserver.h"
#include "devices/CFileDevice.h"
#include "devices/CPrinterDevice.h"

class CCpu;
class CMemory;
class CSound;
class HostFileTable;
struct Settings;

class CIoBus final : public CPortBus {
public:
    static constexpr std::uint8_t PORT_SOUND = 6;
    static constexpr std::uint8_t PORT_KEYBOARD = 56;
    static constexpr std::uint8_t PORT_ECHO = 58;
    static constexpr std::uint8_t PORT_PRINTER = 254;
    static constexpr std::uint8_t PORT_FILE = 255;

    // Only references are kept: the bus may be built before the parts it refers to.
    CIoBus(CCpu& cpu, CMemory& memory, CSound& sound, HostFileTable& files, const Settings& settings);

    // Fills every input and output latch with 0xFF. Never fails.
    bool Init();

    std::uint8_t ReadPort(std::uint8_t port) override { return inputLatches[port]; }
    void WritePort(std::uint8_t port, std::uint8_t value) override;
    void SetInputLatch(std::uint8_t port, std::uint8_t value) { inputLatches[port] = value; }

    // The last byte written to a port; nothing in the machine reads these back.
    std::uint8_t OutputLatch(std::uint8_t port) const { return outputLatches[port]; }

    void SetObserver(CPortObserver* observer) { portObserver = observer; }

    CFileDevice& FileDevice() { return fileDevice; }
    CPrinterDevice& PrinterDevice() { return printerDevice; }

private:
    CSound& sound;
    CPortObserver* portObserver = nullptr;
    std::array<std::uint8_t, 256> inputLatches{};
    std::array<std::uint8_t, 256> outputLatches{};
    // Destroyed in reverse: the printer channel first, then the file channel.
    CFileDevice fileDevice;
    CPrinterDevice printerDevice;
};
