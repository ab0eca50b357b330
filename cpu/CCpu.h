// The Z80: register file, pending events, interrupt acceptance, reset and the cycle budget.
// The frame pacing drives it in slices (AddCycles(70000), Run(70000), RequestNmi()), the
// keyboard raises RequestInterrupt(26), and the device channels read B, C, DE and HL (and
// may set HL) while one of their output instructions is being dispatched.
#pragma once

#include <cstdint>

#include "cpu/CRandom15.h"

class CMemory;
class CPortBus;
class CCpuCore;

class CCpu {
public:
    static constexpr std::uint32_t EVENT_NMI = 0x01;
    static constexpr std::uint32_t EVENT_INT = 0x02;
    static constexpr std::uint32_t EVENT_HALT = 0x04;

    // Flag bits of F. Bits 5 and 3 are never computed.
    static constexpr std::uint8_t FLAG_S = 0x80;
    static constexpr std::uint8_t FLAG_Z = 0x40;
    static constexpr std::uint8_t FLAG_H = 0x10;
    static constexpr std::uint8_t FLAG_PV = 0x04;
    static constexpr std::uint8_t FLAG_N = 0x02;
    static constexpr std::uint8_t FLAG_C = 0x01;

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

    // PC, I, IFF1, IFF2 and IM to 0, pending requests and HALT dropped, the random source
    // reseeded from the clock, the budget discarded. Everything else keeps its value.
    void Reset();
    void AddCycles(std::int32_t cycles)
    {
        cycleBudget = static_cast<std::int32_t>(static_cast<std::uint32_t>(cycleBudget) +
                                                static_cast<std::uint32_t>(cycles));
    }
    // Executes instructions while the budget lasts, at most `cycles` of it; afterwards the
    // budget is its old value minus `cycles`, whatever the last instruction overshot.
    void Run(std::int32_t cycles);
    void RequestNmi() { pendingEvents |= EVENT_NMI; }
    void RequestInterrupt(std::uint8_t data)
    {
        interruptData = data;
        pendingEvents |= EVENT_INT;
    }

    // Live registers, also while an input or output instruction is being dispatched.
    Registers& Regs() { return regs; }
    const Registers& Regs() const { return regs; }
    std::uint8_t A() const { return static_cast<std::uint8_t>(regs.af >> 8); }
    std::uint8_t F() const { return static_cast<std::uint8_t>(regs.af); }
    std::uint8_t B() const { return static_cast<std::uint8_t>(regs.bc >> 8); }
    std::uint8_t C() const { return static_cast<std::uint8_t>(regs.bc); }
    std::uint16_t DE() const { return regs.de; }
    std::uint16_t HL() const { return regs.hl; }
    void SetHL(std::uint16_t value) { regs.hl = value; }

    // T-states charged by executed instructions since construction (Reset keeps it). Exact
    // between Run calls and while a port is being dispatched; tools and benchmarks read it.
    std::uint64_t CyclesExecuted() const { return cyclesExecuted; }

    std::int32_t cycleBudget = 0;
    std::uint32_t pendingEvents = 0;
    std::uint8_t interruptData = 0;

private:
    friend class CCpuCore;

    // Runs the loop while cycleBudget is positive.
    void Execute();

    CMemory& memory;
    CPortBus& bus;
    Registers regs;
    CRandom15 random;
    std::uint64_t cyclesExecuted = 0;
};
