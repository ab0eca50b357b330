// What the CPU's input and output instructions talk to. The machine's CIoBus is one; the
// instruction tests and the vector runner put a recording bus in its place.
#pragma once

#include <cstdint>

class CPortBus {
public:
    virtual ~CPortBus() = default;
    virtual std::uint8_t ReadPort(std::uint8_t port) = 0;
    virtual void WritePort(std::uint8_t port, std::uint8_t value) = 0;
};
