// cpm-run FILE.com [--max-tstates N]: runs a CP/M-style program on CCpu and CMemory, for
// instruction exercisers. The program is loaded at 0x0100 with a return address of 0x0000
// on the stack. The console call at 0x0005 jumps to a two-instruction routine at 0xFF00
// (OUT to the console port, RET), so C = 2 prints E and C = 9 prints the string at DE up to
// '$'; the word at 0x0006 is the top of usable memory, as such programs expect. A jump to
// 0x0000 reaches an OUT to the exit port. The run ends there or after N T-states; the
// T-states executed (not counting the exit trap) are printed on stderr.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "bus/CMemory.h"
#include "bus/CPortBus.h"
#include "cpu/CCpu.h"

namespace {

constexpr std::uint16_t LOAD_ADDRESS = 0x0100;
constexpr std::uint16_t CONSOLE_ROUTINE = 0xFF00;
constexpr std::uint8_t EXIT_PORT = 0x00;
constexpr std::uint8_t CONSOLE_PORT = 0x01;
constexpr std::size_t MAX_PROGRAM = 0xFE00 - LOAD_ADDRESS;  // below the stack and the console routine
constexpr std::int32_t SLICE = 70000;

// The console and exit traps, reached by OUT instructions while the registers are live.
class CCpmPorts final : public CPortBus {
public:
    CCpmPorts(CMemory& memory) : memory(memory) {}
    void Attach(CCpu* attached) { cpu = attached; }

    std::uint8_t ReadPort(std::uint8_t) override { return 0xFF; }
    void WritePort(std::uint8_t port, std::uint8_t) override
    {
        if (port == EXIT_PORT && !exited) {
            exited = true;
            exitCycles = cpu->CyclesExecuted();
        } else if (port == CONSOLE_PORT) {
            Console();
        }
    }

    bool exited = false;
    std::uint64_t exitCycles = 0;

private:
    void Console()
    {
        if (cpu->C() == 2) {
            std::putchar(static_cast<std::uint8_t>(cpu->DE()));
        } else if (cpu->C() == 9) {
            // At most one pass over memory, so a string without '$' cannot loop forever.
            std::uint16_t address = cpu->DE();
            for (std::uint32_t n = 0; n < CMemory::SIZE; ++n, ++address) {
                const std::uint8_t ch = memory.ReadByte(address);
                if (ch == '$')
                    break;
                std::putchar(ch);
            }
        }
    }

    CMemory& memory;
    CCpu* cpu = nullptr;
};

bool ParseCount(const char* text, std::uint64_t& value)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno || *end || text[0] == '-')
        return false;
    value = parsed;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* file = nullptr;
    std::uint64_t maxTStates = std::numeric_limits<std::uint64_t>::max();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--max-tstates") == 0) {
            if (i + 1 >= argc || !ParseCount(argv[i + 1], maxTStates)) {
                std::cerr << "cpm-run: --max-tstates needs a count\n";
                return 2;
            }
            ++i;
        } else if (!file) {
            file = argv[i];
        } else {
            file = nullptr;
            break;
        }
    }
    if (!file) {
        std::cerr << "usage: cpm-run FILE.com [--max-tstates N]\n";
        return 2;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "cpm-run: cannot read " << file << "\n";
        return 2;
    }
    std::vector<char> program;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        program.insert(program.end(), chunk, chunk + in.gcount());
        if (program.size() > MAX_PROGRAM) {
            std::cerr << "cpm-run: " << file << " is larger than " << MAX_PROGRAM << " bytes\n";
            return 2;
        }
    }

    static CMemory memory;
    std::uint8_t* bytes = memory.Bytes();
    std::memcpy(bytes + LOAD_ADDRESS, program.data(), program.size());
    const std::uint8_t exitTrap[] = {0xD3, EXIT_PORT, 0x76};           // OUT (0),A; HALT
    const std::uint8_t consoleEntry[] = {0xC3, 0x00, CONSOLE_ROUTINE >> 8};  // JP 0FF00h
    const std::uint8_t consoleRoutine[] = {0xD3, CONSOLE_PORT, 0xC9};  // OUT (1),A; RET
    std::memcpy(bytes + 0x0000, exitTrap, sizeof exitTrap);
    std::memcpy(bytes + 0x0005, consoleEntry, sizeof consoleEntry);
    std::memcpy(bytes + CONSOLE_ROUTINE, consoleRoutine, sizeof consoleRoutine);

    CCpmPorts ports(memory);
    CCpu cpu(memory, ports);
    ports.Attach(&cpu);
    cpu.Reset();
    cpu.Regs().pc = LOAD_ADDRESS;
    cpu.Regs().sp = CONSOLE_ROUTINE - 2;
    memory.WriteWord(cpu.Regs().sp, 0x0000);

    while (!ports.exited && cpu.CyclesExecuted() < maxTStates) {
        const std::uint64_t left = maxTStates - cpu.CyclesExecuted();
        const std::int32_t slice = static_cast<std::int32_t>(std::min<std::uint64_t>(left, SLICE));
        cpu.AddCycles(slice);
        cpu.Run(slice);
    }
    std::fflush(stdout);
    const std::uint64_t executed = ports.exited ? ports.exitCycles : cpu.CyclesExecuted();
    std::cerr << executed << " T-states\n";
    return 0;
}
