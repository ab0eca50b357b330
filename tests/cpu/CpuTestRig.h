// A CPU on a zeroed 64 KB memory and a recording port bus, with helpers to place literal
// instruction bytes, run one instruction or a slice, and describe the result as one line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "RecordingPortBus.h"
#include "bus/CMemory.h"
#include "cpu/CCpu.h"

class CpuTestRig {
public:
    CpuTestRig() : cpu(memory, bus) {}

    void Place(std::uint16_t address, const std::vector<std::uint8_t>& bytes)
    {
        for (std::uint8_t b : bytes)
            memory.WriteByte(address++, b);
    }
    // One slice as the frame pacing runs it; returns the T-states executed. A slice of 1 runs
    // exactly one instruction, after the boundary step that may accept an interrupt.
    std::uint64_t Slice(std::int32_t cycles)
    {
        const std::uint64_t before = cpu.CyclesExecuted();
        cpu.AddCycles(cycles);
        cpu.Run(cycles);
        return cpu.CyclesExecuted() - before;
    }
    std::uint64_t Step() { return Slice(1); }

    // "pc=1000 sp=7FFE top=0039 a=01 iff=00 ev=0": top is the word at SP, ev the pending events.
    std::string State() const
    {
        const CCpu::Registers& r = cpu.Regs();
        char text[64];
        std::snprintf(text, sizeof text, "pc=%04X sp=%04X top=%04X a=%02X iff=%u%u ev=%X", r.pc, r.sp,
                      memory.ReadWord(r.sp), cpu.A(), r.iff1, r.iff2, static_cast<unsigned>(cpu.pendingEvents));
        return text;
    }

    // The whole register file: "AF BC DE HL IX IY SP PC AF' BC' DE' HL' i=I iff=12 im=M".
    std::string Dump() const
    {
        const CCpu::Registers& r = cpu.Regs();
        char text[96];
        std::snprintf(text, sizeof text, "%04X %04X %04X %04X %04X %04X %04X %04X %04X %04X %04X %04X i=%02X iff=%u%u"
                      " im=%u", r.af, r.bc, r.de, r.hl, r.ix, r.iy, r.sp, r.pc, r.af2, r.bc2, r.de2, r.hl2, r.i,
                      r.iff1, r.iff2, r.im);
        return text;
    }
    CCpu::Registers& R() { return cpu.Regs(); }

    CMemory memory;
    RecordingPortBus bus;
    CCpu cpu;
};
