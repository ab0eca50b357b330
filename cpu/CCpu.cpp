#include "cpu/CCpu.h"

#include <algorithm>
#include <ctime>

#include "bus/CMemory.h"
#include "cpu/CBaseGroup.h"
#include "cpu/CCpuCore.h"

void CCpu::Reset()
{
    regs.pc = 0;
    regs.i = 0;
    regs.iff1 = 0;
    regs.iff2 = 0;
    regs.im = 0;
    pendingEvents = 0;
    random.Seed(static_cast<std::uint32_t>(std::time(nullptr)));
    cycleBudget = 0;
}

void CCpu::Run(std::int32_t cycles)
{
    const std::int32_t start = cycleBudget;
    if (start <= 0)
        return;
    cycleBudget = std::min(cycles, start);
    Execute();
    // The overshoot of the last instruction is forgotten; an unspent or missing part stays.
    cycleBudget = static_cast<std::int32_t>(static_cast<std::int64_t>(start) - cycles);
}

void CCpu::Execute()
{
    // The whole loop works on locals; memory is the flat array of CMemory, taken afresh on
    // every call because the CPU is built before the memory is.
    CCpuCore c(*this, memory.Bytes());
    while (c.budget > 0) {
        if (c.events) [[unlikely]] {
            c.AcceptInterrupts();
            if (c.events & EVENT_HALT) {
                // Halted: NOPs at 4 T-states without fetching until the slice is spent.
                // Nothing that runs here can end the HALT, so the NOPs are charged at once.
                const std::int32_t nops = (c.budget + 3) / 4;
                c.budget -= 4 * nops;
                break;
            }
        }
        CBaseGroup::Execute(c, c.Fetch());
    }
    c.Store();
}
