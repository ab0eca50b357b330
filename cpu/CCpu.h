// STUB interface, to be completed by the CPU work.
// The Z80: register file, flag rules, pending events, interrupt acceptance and the run loop.
// Driven from outside in slices: AddCycles(70000), Run(70000), RequestNmi().
#pragma once

#include <cstdint>

class CMemory;
class CPortBus;

class CCpu {
public:
    static constexpr std::uint32_t EVENT_NMI = 0x01;
    static constexpr std::uint32_t EVENT_INT = 0x02;
    static constexpr std::uint32_t EVENT_HALT = 0x04;

    // The register file. A pair holds its two halves (high byte first), so the halves are
    // read and written through the pair.
    struct Registers {
        std::uint16_t af = 0, bc = 0, de = 0, hl = 0;
        std::uint16_t ix = 0, iy = 0, sp = 0, pc = 0;
        std::uint16_t af2 = 0, bc2 = 0, de2 = 0, hl2 = 0;  // alternate set
        std::uint8_t i = 0, iff1 = 0, iff2 = 0, im = 0;
    };

    CCpu(CMemory& memory, CPortBus& bus) : memory(memory), bus(bus) {}
    virtual ~CCpu() = default;

    void Reset();
    void AddCycles(std::int32_t cycles) { cycleBudget += cycles; }
    void Run(std::int32_t cycles);
    void RequestNmi() { pendingEvents |= EVENT_NMI; }
    void RequestInterrupt(std::uint8_t data)
    {
        interruptData = data;
        pendingEvents |= EVENT_INT;
    }

    // Live registers, also while an output instruction is being dispatched.
    Registers& Regs() { return regs; }
    const Registers& Regs() const { return regs; }
    std::uint8_t B() const { return static_cast<std::uint8_t>(regs.bc >> 8); }
    std::uint8_t C() const { return static_cast<std::uint8_t>(regs.bc); }
    std::uint16_t DE() const { return regs.de; }
    std::uint16_t HL() const { return regs.hl; }
    void SetHL(std::uint16_t value) { regs.hl = value; }

    std::int32_t cycleBudget = 0;
    std::uint32_t pendingEvents = 0;
    std::uint8_t interruptData = 0;

private:
    CMemory& memory;
    CPortBus& bus;
    Registers regs;
};
