// STUB: to be replaced by the CPU work.
#include "cpu/CCpu.h"

#include "bus/CMemory.h"
#include "bus/CPortBus.h"

void CCpu::Reset()
{
    regs.pc = 0;
    regs.i = 0;
    regs.iff1 = 0;
    regs.iff2 = 0;
    regs.im = 0;
    pendingEvents = 0;
    cycleBudget = 0;
}

void CCpu::Run(std::int32_t cycles)
{
    std::int32_t start = cycleBudget;
    if (start <= 0)
        return;
    cycleBudget = start - cycles;
}
