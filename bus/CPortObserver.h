#pragma once

#include <cstdint>

// Sees every output instruction after the bus has dispatched it: tests and the headless
// runner's port log use it. Not set in the desktop program.
class CPortObserver {
public:
    virtual ~CPortObserver() = default;
    virtual void OnPortWrite(std::uint8_t port, std::uint8_t value) = 0;
};
