// The working copy of the register file that CCpu::Run keeps in local variables while it
// executes, with the memory, stack and port helpers every instruction group uses and the
// instruction-boundary step. Only Run creates one; every member is inlined into Run so that
// the compiler keeps the registers in host registers (a store through the memory pointer
// could otherwise alias them). Port calls write the registers back first and reload them
// afterwards, because the devices behind a port read and change the live register file.
#pragma once

#include <cstdint>

#include "bus/CPortBus.h"
#include "cpu/CCpu.h"
#include "cpu/FlagRules.h"

#if defined(__GNUC__)
#define VORLIX_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define VORLIX_ALWAYS_INLINE inline
#endif

class CCpuCore {
public:
    // Register codes of the r field: B, C, D, E, H, L, the byte at HL, A.
    static constexpr int RB = 0, RC = 1, RD = 2, RE = 3, RH = 4, RL = 5, RM = 6, RA = 7;

    // What an encoding outside the documented set costs per attempt: the prefix fetch. It is
    // not executed and PC goes back to the prefix, so a program stuck on one still ends its
    // slices and stays reachable by interrupts and Reset.
    static constexpr std::int32_t UNDEFINED_CYCLES = 4;

    VORLIX_ALWAYS_INLINE CCpuCore(CCpu& cpu, std::uint8_t* mem) : cpu(cpu), mem(mem) { Load(); }

    // Memory: every access is masked to the 64 KB array; word accesses wrap at 0xFFFF.
    VORLIX_ALWAYS_INLINE std::uint8_t Read(std::uint16_t address) const { return mem[address]; }
    VORLIX_ALWAYS_INLINE void Write(std::uint16_t address, std::uint8_t value) { mem[address] = value; }
    VORLIX_ALWAYS_INLINE std::uint16_t ReadWord(std::uint16_t address) const
    {
        return static_cast<std::uint16_t>(mem[address] | (mem[static_cast<std::uint16_t>(address + 1)] << 8));
    }
    VORLIX_ALWAYS_INLINE void WriteWord(std::uint16_t address, std::uint16_t value)
    {
        mem[address] = static_cast<std::uint8_t>(value);
        mem[static_cast<std::uint16_t>(address + 1)] = static_cast<std::uint8_t>(value >> 8);
    }
    VORLIX_ALWAYS_INLINE std::uint8_t Fetch() { return mem[pc++]; }
    VORLIX_ALWAYS_INLINE std::uint16_t FetchWord()
    {
        const std::uint16_t value = ReadWord(pc);
        pc = static_cast<std::uint16_t>(pc + 2);
        return value;
    }
    // A signed displacement applied to base.
    VORLIX_ALWAYS_INLINE std::uint16_t Displaced(std::uint16_t base)
    {
        return static_cast<std::uint16_t>(base + static_cast<std::int8_t>(Fetch()));
    }
    // JR and DJNZ: the displacement counts from the address after it.
    VORLIX_ALWAYS_INLINE void JumpRelative()
    {
        const std::int8_t offset = static_cast<std::int8_t>(Fetch());
        pc = static_cast<std::uint16_t>(pc + offset);
    }
    VORLIX_ALWAYS_INLINE void Push(std::uint16_t value)
    {
        sp = static_cast<std::uint16_t>(sp - 2);
        WriteWord(sp, value);
    }
    VORLIX_ALWAYS_INLINE std::uint16_t Pop()
    {
        const std::uint16_t value = ReadWord(sp);
        sp = static_cast<std::uint16_t>(sp + 2);
        return value;
    }

    // Halves of the pairs.
    static VORLIX_ALWAYS_INLINE std::uint8_t Hi(std::uint16_t pair) { return static_cast<std::uint8_t>(pair >> 8); }
    static VORLIX_ALWAYS_INLINE std::uint8_t Lo(std::uint16_t pair) { return static_cast<std::uint8_t>(pair); }
    static VORLIX_ALWAYS_INLINE void SetHi(std::uint16_t& pair, std::uint8_t value)
    {
        pair = static_cast<std::uint16_t>((pair & 0x00FF) | (value << 8));
    }
    static VORLIX_ALWAYS_INLINE void SetLo(std::uint16_t& pair, std::uint8_t value)
    {
        pair = static_cast<std::uint16_t>((pair & 0xFF00) | value);
    }

    // The r operand by its code, fixed at compile time so that each opcode gets its own code.
    template <int R>
    VORLIX_ALWAYS_INLINE std::uint8_t Get() const
    {
        if constexpr (R == RB) return Hi(bc);
        else if constexpr (R == RC) return Lo(bc);
        else if constexpr (R == RD) return Hi(de);
        else if constexpr (R == RE) return Lo(de);
        else if constexpr (R == RH) return Hi(hl);
        else if constexpr (R == RL) return Lo(hl);
        else if constexpr (R == RM) return mem[hl];
        else return a;
    }
    template <int R>
    VORLIX_ALWAYS_INLINE void Set(std::uint8_t value)
    {
        if constexpr (R == RB) SetHi(bc, value);
        else if constexpr (R == RC) SetLo(bc, value);
        else if constexpr (R == RD) SetHi(de, value);
        else if constexpr (R == RE) SetLo(de, value);
        else if constexpr (R == RH) SetHi(hl, value);
        else if constexpr (R == RL) SetLo(hl, value);
        else if constexpr (R == RM) mem[hl] = value;
        else a = value;
    }

    // The r operand by a code known only at run time (the less frequent groups).
    VORLIX_ALWAYS_INLINE std::uint8_t GetR(unsigned code) const
    {
        switch (code & 7) {
        case RB: return Hi(bc);
        case RC: return Lo(bc);
        case RD: return Hi(de);
        case RE: return Lo(de);
        case RH: return Hi(hl);
        case RL: return Lo(hl);
        case RM: return mem[hl];
        default: return a;
        }
    }
    VORLIX_ALWAYS_INLINE void SetR(unsigned code, std::uint8_t value)
    {
        switch (code & 7) {
        case RB: SetHi(bc, value); break;
        case RC: SetLo(bc, value); break;
        case RD: SetHi(de, value); break;
        case RE: SetLo(de, value); break;
        case RH: SetHi(hl, value); break;
        case RL: SetLo(hl, value); break;
        case RM: mem[hl] = value; break;
        default: a = value; break;
        }
    }

    // The eight accumulator operations of the ALU field.
    template <int OP>
    VORLIX_ALWAYS_INLINE void Alu(std::uint8_t v)
    {
        if constexpr (OP == 0) {
            const unsigned r = a + v;
            f = AddFlags8(f, a, v, r);
            a = static_cast<std::uint8_t>(r);
        } else if constexpr (OP == 1) {
            const unsigned r = a + v + (f & CCpu::FLAG_C);
            f = AddFlags8(f, a, v, r);
            a = static_cast<std::uint8_t>(r);
        } else if constexpr (OP == 2) {
            const unsigned r = a - v;
            f = SubFlags8(f, a, v, r);
            a = static_cast<std::uint8_t>(r);
        } else if constexpr (OP == 3) {
            const unsigned r = a - v - (f & CCpu::FLAG_C);
            f = SubFlags8(f, a, v, r);
            a = static_cast<std::uint8_t>(r);
        } else if constexpr (OP == 4) {
            a &= v;
            f = LogicFlags(f, a, 0x10);
        } else if constexpr (OP == 5) {
            a ^= v;
            f = LogicFlags(f, a, 0);
        } else if constexpr (OP == 6) {
            a |= v;
            f = LogicFlags(f, a, 0);
        } else {
            f = SubFlags8(f, a, v, a - v);
        }
    }
    VORLIX_ALWAYS_INLINE void AluR(unsigned op, std::uint8_t v)
    {
        switch (op & 7) {
        case 0: Alu<0>(v); break;
        case 1: Alu<1>(v); break;
        case 2: Alu<2>(v); break;
        case 3: Alu<3>(v); break;
        case 4: Alu<4>(v); break;
        case 5: Alu<5>(v); break;
        case 6: Alu<6>(v); break;
        default: Alu<7>(v); break;
        }
    }

    // The condition field cc: NZ, Z, NC, C, PO, PE, P, M.
    template <int CC>
    VORLIX_ALWAYS_INLINE bool Condition() const
    {
        constexpr std::uint8_t masks[4] = {CCpu::FLAG_Z, CCpu::FLAG_C, CCpu::FLAG_PV, CCpu::FLAG_S};
        const bool set = (f & masks[CC >> 1]) != 0;
        return (CC & 1) ? set : !set;
    }

    // The instruction-boundary step, entered only when an event is pending: a non-maskable
    // request first, else a maskable one while IFF1 is 1. Accepting costs no cycles.
    VORLIX_ALWAYS_INLINE void AcceptInterrupts()
    {
        CCpu::Registers& regs = cpu.regs;
        if (events & CCpu::EVENT_NMI) {
            events &= ~CCpu::EVENT_HALT;
            Push(pc);
            regs.iff2 = regs.iff1;
            regs.iff1 = 0;
            pc = 0x0066;
            events &= ~CCpu::EVENT_NMI;
        } else if ((events & CCpu::EVENT_INT) && regs.iff1) {
            events &= ~CCpu::EVENT_HALT;
            if (regs.im == 1 || regs.im == 2) {
                regs.iff1 = 0;
                regs.iff2 = 0;
                Push(pc);
                if (regs.im == 1) {
                    pc = 0x0038;
                } else {
                    const unsigned vector = ((regs.i * 128u) | cpu.interruptData) * 2u;
                    pc = ReadWord(static_cast<std::uint16_t>(vector));
                }
            }
            // In mode 0 the request only ends a HALT and is dropped.
            events &= ~CCpu::EVENT_INT;
        }
    }

    // The pseudo-random source behind LD A,R.
    VORLIX_ALWAYS_INLINE std::uint16_t NextRandom() { return cpu.random.Next(); }

    // Port access: the live register file is handed to the bus and taken back afterwards.
    VORLIX_ALWAYS_INLINE std::uint8_t In(std::uint8_t port)
    {
        Store();
        const std::uint8_t value = cpu.bus.ReadPort(port);
        Load();
        return value;
    }
    VORLIX_ALWAYS_INLINE void Out(std::uint8_t port, std::uint8_t value)
    {
        Store();
        cpu.bus.WritePort(port, value);
        Load();
    }

    // Copies the locals into the CCpu and back. The budget is counted as executed when it
    // leaves the locals, so a device that changes cycleBudget is not counted as running.
    VORLIX_ALWAYS_INLINE void Store()
    {
        CCpu::Registers& regs = cpu.regs;
        regs.af = static_cast<std::uint16_t>((a << 8) | f);
        regs.bc = bc;
        regs.de = de;
        regs.hl = hl;
        regs.ix = ix;
        regs.iy = iy;
        regs.sp = sp;
        regs.pc = pc;
        cpu.pendingEvents = events;
        cpu.cycleBudget = budget;
        cpu.cyclesExecuted += static_cast<std::uint64_t>(static_cast<std::int64_t>(budgetMark) - budget);
    }
    VORLIX_ALWAYS_INLINE void Load()
    {
        const CCpu::Registers& regs = cpu.regs;
        a = static_cast<std::uint8_t>(regs.af >> 8);
        f = static_cast<std::uint8_t>(regs.af);
        bc = regs.bc;
        de = regs.de;
        hl = regs.hl;
        ix = regs.ix;
        iy = regs.iy;
        sp = regs.sp;
        pc = regs.pc;
        events = cpu.pendingEvents;
        budget = cpu.cycleBudget;
        budgetMark = budget;
    }

    CCpu& cpu;
    std::uint8_t* mem;
    std::uint8_t a = 0, f = 0;
    std::uint16_t bc = 0, de = 0, hl = 0, ix = 0, iy = 0, sp = 0, pc = 0;
    std::uint32_t events = 0;
    std::int32_t budget = 0;
    std::int32_t budgetMark = 0;
};
