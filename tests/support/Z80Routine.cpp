#include "Z80Routine.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace {
constexpr std::uint8_t EXIT_PORT = 0xFE;
}

Z80Routine::Z80Routine() : cpu(memory, *this) {}

bool Z80Routine::Load(const std::string& imagePath, const std::string& mapPath)
{
    std::ifstream image(imagePath, std::ios::binary);
    if (!image)
        return false;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(image)), std::istreambuf_iterator<char>());
    if (bytes.empty() || bytes.size() > STUB)
        return false;
    try {
        symbols.emplace(mapPath);
    } catch (const std::runtime_error&) {
        return false;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i)
        memory.WriteByte(static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(bytes[i]));
    return true;
}

std::optional<std::uint16_t> Z80Routine::Address(const std::string& symbol) const
{
    if (!symbols)
        return std::nullopt;
    try {
        return (*symbols)[symbol];
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
}

std::uint16_t Z80Routine::operator[](const std::string& symbol) const { return Address(symbol).value_or(0); }

Z80Routine::Result Z80Routine::Call(const std::string& symbol, std::uint64_t maxCycles)
{
    const auto address = Address(symbol);
    if (!address)
        return {Outcome::TimedOut, 0};
    return Call(*address, maxCycles);
}

Z80Routine::Result Z80Routine::Call(std::uint16_t address, std::uint64_t maxCycles)
{
    const std::uint8_t stub[] = {0xCD, static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8),
                                 0xD3, EXIT_PORT, 0x76};  // CALL address; OUT (EXIT_PORT),A; HALT
    for (std::size_t i = 0; i < sizeof stub; ++i)
        memory.WriteByte(STUB + i, stub[i]);
    CCpu::Registers& r = cpu.Regs();
    r.pc = STUB;
    r.sp = STACK;
    r.iff1 = r.iff2 = 0;
    cpu.pendingEvents = 0;
    cpu.cycleBudget = 0;
    exited = false;
    const std::uint64_t start = cpu.CyclesExecuted();
    constexpr std::int32_t SLICE = 100000;
    while (!exited && !(cpu.pendingEvents & CCpu::EVENT_HALT)) {
        if (cpu.CyclesExecuted() - start >= maxCycles)
            return {Outcome::TimedOut, cpu.CyclesExecuted() - start};
        cpu.AddCycles(SLICE);
        cpu.Run(SLICE);
    }
    if (exited)
        return {Outcome::Returned, exitCycles - start};
    return {Outcome::Halted, cpu.CyclesExecuted() - start};
}

void Z80Routine::WritePort(std::uint8_t port, std::uint8_t)
{
    // The OUT of the stub is dispatched before its own cycles are charged, so the count here
    // ends exactly with the routine's return. Emptying the budget ends the run at once.
    if (port != EXIT_PORT || cpu.Regs().pc != STUB + 5)
        return;
    exited = true;
    exitCycles = cpu.CyclesExecuted();
    cpu.cycleBudget = 0;
}
