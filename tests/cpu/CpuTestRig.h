// A CPU on a zeroed 64 KB memory and a recording port bus, with helpers to place literal
// instruction bytes and to run one instruction or a slice and see what it charged.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "RecordingPortBus.h"
#include "bus/CMemory.h"
#include "cpu/CCpu.h"

class CpuTestRig {
public:
    CpuTestRig() : cpu(memory, bus) {}

    void Place(std::uint16_t address, std::initializer_list<std::uint8_t> bytes)
    {
        for (std::uint8_t b : bytes)
            memory.WriteByte(address++, b);
    }
    // Runs exactly one instruction (with the boundary step before it); returns its T-states.
    std::uint64_t Step()
    {
        const std::uint64_t before = cpu.CyclesExecuted();
        cpu.AddCycles(1);
        cpu.Run(1);
        return cpu.CyclesExecuted() - before;
    }
    // One slice as the frame pacing runs it; returns the T-states executed.
    std::uint64_t Slice(std::int32_t cycles)
    {
        const std::uint64_t before = cpu.CyclesExecuted();
        cpu.AddCycles(cycles);
        cpu.Run(cycles);
        return cpu.CyclesExecuted() - before;
    }

    CCpu::Registers& R() { return cpu.Regs(); }
    std::uint8_t A() const { return cpu.A(); }
    std::uint8_t F() const { return cpu.F(); }
    void SetAF(std::uint8_t a, std::uint8_t f) { cpu.Regs().af = static_cast<std::uint16_t>((a << 8) | f); }

    CMemory memory;
    RecordingPortBus bus;
    CCpu cpu;
};
