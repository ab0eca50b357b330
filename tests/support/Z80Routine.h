// Runs single routines of an assembled Z80 image for tests and benchmarks: loads the image
// and its linker map into the machine's own memory and CPU, calls a routine by name from a
// small stub (CALL, OUT to an exit port, HALT) and reports the T-states it took, the CALL
// included. Tests of the assembly BASIC modules (tests/fpcore, ...) build on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "LinkerMap.h"
#include "bus/CMemory.h"
#include "bus/CPortBus.h"
#include "cpu/CCpu.h"

class Z80Routine final : private CPortBus {
public:
    enum class Outcome { Returned, Halted, TimedOut };
    struct Result {
        Outcome outcome;
        std::uint64_t cycles;  // from the CALL to the routine's return, both included
    };

    // Where the calling stub sits and where the stack starts; both must be clear of the image.
    static constexpr std::uint16_t STUB = 0xFFF0;
    static constexpr std::uint16_t STACK = 0x6000;

    Z80Routine();
    // Loads the image at address 0 and the map's symbols; false when either cannot be read.
    bool Load(const std::string& imagePath, const std::string& mapPath);

    // The symbol's value, or nothing when the map does not have it.
    std::optional<std::uint16_t> Address(const std::string& symbol) const;
    std::uint16_t operator[](const std::string& symbol) const;  // 0 when missing

    // Calls the routine with the registers as they are (SP reset to STACK, PC to the stub).
    // It runs until the routine returns, halts (an error stub) or spends maxCycles.
    Result Call(std::uint16_t address, std::uint64_t maxCycles = 20000000);
    Result Call(const std::string& symbol, std::uint64_t maxCycles = 20000000);

    CCpu::Registers& Regs() { return cpu.Regs(); }
    CMemory& Memory() { return memory; }

private:
    std::uint8_t ReadPort(std::uint8_t) override { return 0xFF; }
    void WritePort(std::uint8_t port, std::uint8_t value) override;

    CMemory memory;
    CCpu cpu;
    std::optional<LinkerMap> symbols;
    bool exited = false;
    std::uint64_t exitCycles = 0;
};
