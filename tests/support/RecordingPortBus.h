// A port bus for instruction tests: reads come from a table of port values (0xFF where none
// is given), writes are recorded in order.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "bus/CPortBus.h"

class RecordingPortBus final : public CPortBus {
public:
    RecordingPortBus() { inputs.fill(0xFF); }

    std::uint8_t ReadPort(std::uint8_t port) override
    {
        reads.push_back(port);
        return inputs[port];
    }
    void WritePort(std::uint8_t port, std::uint8_t value) override { writes.emplace_back(port, value); }

    std::array<std::uint8_t, 256> inputs;
    std::vector<std::uint8_t> reads;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> writes;
};
