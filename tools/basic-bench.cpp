// basic-bench: the classic BASIC benchmarks on the emulated machine, timed in emulated
// cycles, exactly. Each program is typed into the BASIC from the built ROM and run; it
// prints "S" when it starts timing and "E" when it stops, and the time between the two
// calls of the ROM's character output (found through the linker map) is its figure. The
// printed results of its arithmetic are checked against values computed here.
//
//   basic-bench RUNTIME-FOLDER BASIC.MAP [--markdown | --profile NAME]
//
// --profile runs one benchmark and shows the routines (by the map's global symbols) that
// took the most cycles between "S" and "E", with their share.
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "LinkerMap.h"
#include "MachineSession.h"
#include "core/CScreenText.h"
#include "core/CTypist.h"
#include "cpu/CCpu.h"
#include "devices/CKeyboard.h"

namespace {

struct Benchmark {
    const char* name;
    const char* listing;
    const char* result;  // the last printed row, computed on the host; "" for none
    double bbc;          // the published figure for BBC BASIC IV, 0 for none
    double before;       // the figure of our earlier BASIC (integers only), 0 for none
};

std::vector<Benchmark> Benchmarks()
{
    return {
        {"BM1", "100 PRINT \"S\"\n200 FOR K=1 TO 1000\n300 NEXT K\n700 PRINT \"E\"\n710 PRINT K\n800 END\n", " 1001", 0.8, 1.16},
        {"BM2", "100 PRINT \"S\"\n200 K=0\n300 K=K+1\n400 IF K<1000 THEN 300\n700 PRINT \"E\"\n710 PRINT K\n800 END\n", " 1000", 3.1, 5.27},
        {"BM3", "100 PRINT \"S\"\n200 K=0\n300 K=K+1\n340 A=K/K*K+K-K\n400 IF K<1000 THEN 300\n700 PRINT \"E\"\n710 PRINT A\n800 END\n",
         " 1000", 8.1, 11.45},
        {"BM4", "100 PRINT \"S\"\n200 K=0\n300 K=K+1\n340 A=K/2*3+4-5\n400 IF K<1000 THEN 300\n700 PRINT \"E\"\n710 PRINT A\n800 END\n",
         " 1499", 8.7, 10.20},
        {"BM5", "100 PRINT \"S\"\n200 K=0\n300 K=K+1\n340 A=K/2*3+4-5\n350 GOSUB 700\n400 IF K<1000 THEN 300\n600 PRINT \"E\"\n610 PRINT A\n650 END\n700 RETURN\n",
         " 1499", 9.0, 12.38},
        {"BM6", "100 PRINT \"S\"\n200 K=0\n250 DIM M(5)\n300 K=K+1\n340 A=K/2*3+4-5\n350 GOSUB 700\n360 FOR L=1 TO 5\n370 NEXT L\n400 IF K<1000 THEN 300\n600 PRINT \"E\"\n610 PRINT A\n650 END\n700 RETURN\n",
         " 1499", 13.9, 20.18},
        {"BM7", "100 PRINT \"S\"\n200 K=0\n250 DIM M(5)\n300 K=K+1\n340 A=K/2*3+4-5\n350 GOSUB 700\n360 FOR L=1 TO 5\n365 M(L)=A\n370 NEXT L\n400 IF K<1000 THEN 300\n600 PRINT \"E\"\n610 PRINT M(5)\n650 END\n700 RETURN\n",
         " 1499", 21.1, 33.70},
        {"BM8", "100 PRINT \"S\"\n200 K=0\n300 K=K+1\n330 A=K^2\n340 B=LOG(K)\n350 C=SIN(K)\n400 IF K<1000 THEN 300\n700 PRINT \"E\"\n710 PRINT A;INT(B*1000);INT(C*1000)\n800 END\n",
         " 1000000  6907  826", 0, 0},
        {"BM2+200", nullptr, " 1000", 0, 18.6},
        {"Sieve", "10 SIZE=8190\n20 DIM FLAGS%(8191)\n30 PRINT \"S\"\n40 COUNT=0\n50 FOR I=0 TO SIZE\n60 FLAGS%(I)=1\n70 NEXT I\n80 FOR I=0 TO SIZE\n90 IF FLAGS%(I)=0 THEN 170\n100 PRIME=I+I+3\n110 K=I+PRIME\n120 IF K>SIZE THEN 160\n130 FLAGS%(K)=0\n140 K=K+PRIME\n150 GOTO 120\n160 COUNT=COUNT+1\n170 NEXT I\n180 PRINT \"E\"\n190 PRINT COUNT\n",
         " 1899", 0, 269},
        {"Sieve%", "10 SIZE%=8190\n20 DIM FLAGS%(8191)\n30 PRINT \"S\"\n40 COUNT%=0\n50 FOR I%=0 TO SIZE%\n60 FLAGS%(I%)=1\n70 NEXT I%\n80 FOR I%=0 TO SIZE%\n90 IF FLAGS%(I%)=0 THEN 170\n100 PRIME%=I%+I%+3\n110 K%=I%+PRIME%\n120 IF K%>SIZE% THEN 160\n130 FLAGS%(K%)=0\n140 K%=K%+PRIME%\n150 GOTO 120\n160 COUNT%=COUNT%+1\n170 NEXT I%\n180 PRINT \"E\"\n190 PRINT COUNT%\n",
         " 1899", 0, 0},
    };
}

constexpr double CLOCK = 3500000.0;

// Types text, a key a frame.
void Type(MachineSession& machine, const std::string& text)
{
    std::vector<KeyStroke> strokes;
    std::string error;
    if (!CTypist::Plan(text, strokes, error))
        throw std::invalid_argument(error);
    for (const KeyStroke& s : strokes)
        machine.Press(s.scan, s.shift ? MachineSession::SCAN_SHIFT : 0, 1, 1);
}

// The listing of a benchmark: BM2+200 is BM2 behind 200 REM lines, for the cost of GOTO in
// a long program.
std::string Listing(const Benchmark& b)
{
    if (b.listing)
        return b.listing;
    std::string text;
    for (int line = 1; line <= 200; ++line)
        text += std::to_string(line) + " REM\n";
    return text + Benchmarks()[1].listing;
}

// Cycles per routine, for --profile: the routine is the global symbol at or below the
// instruction's address.
class Profile {
public:
    explicit Profile(const LinkerMap& map)
    {
        for (const auto& [name, value] : map.Symbols())
            if (name.rfind("s__", 0) != 0 && name.rfind("l__", 0) != 0)
                symbols.emplace_back(value, name);
        std::sort(symbols.begin(), symbols.end());
    }
    void Count(unsigned pc, long long cycles)
    {
        auto it = std::upper_bound(symbols.begin(), symbols.end(), std::make_pair(pc, std::string("\x7f")));
        cost[it == symbols.begin() ? "?" : std::prev(it)->second] += cycles;
        total += cycles;
    }
    void Print(int top) const
    {
        std::vector<std::pair<long long, std::string>> rows;
        for (const auto& [name, c] : cost)
            rows.emplace_back(c, name);
        std::sort(rows.rbegin(), rows.rend());
        for (int i = 0; i < top && i < static_cast<int>(rows.size()); ++i)
            std::printf("%-16s %5.1f%%\n", rows[static_cast<std::size_t>(i)].second.c_str(),
                        100.0 * static_cast<double>(rows[static_cast<std::size_t>(i)].first) / static_cast<double>(total));
    }

private:
    std::vector<std::pair<unsigned, std::string>> symbols;
    std::map<std::string, long long> cost;
    long long total = 0;
};

// Runs the machine an instruction at a time until the character output routine is called
// with `wanted`; the cycle count then. Gives up after `limit` cycles.
long long RunUntilPrinted(MachineSession& machine, std::uint16_t output, char wanted, long long limit,
                          Profile* profile = nullptr)
{
    CCpu& cpu = machine.App().Cpu();
    long long inSlice = 0;
    const auto start = cpu.CyclesExecuted();
    while (static_cast<long long>(cpu.CyclesExecuted() - start) < limit) {
        if (cpu.Regs().pc == output && cpu.A() == static_cast<std::uint8_t>(wanted))
            return static_cast<long long>(cpu.CyclesExecuted());
        const auto before = cpu.CyclesExecuted();
        const unsigned pc = cpu.Regs().pc;
        cpu.AddCycles(1);
        cpu.Run(1);
        inSlice += static_cast<long long>(cpu.CyclesExecuted() - before);
        if (profile)
            profile->Count(pc, static_cast<long long>(cpu.CyclesExecuted() - before));
        if (inSlice >= 70000) {  // the 50 Hz interrupt, as the slices would raise it
            inSlice -= 70000;
            cpu.RequestNmi();
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: basic-bench RUNTIME-FOLDER BASIC.MAP [--markdown | --profile NAME]\n");
        return 2;
    }
    const bool markdown = argc > 3 && std::strcmp(argv[3], "--markdown") == 0;
    const char* profiled = argc > 4 && std::strcmp(argv[3], "--profile") == 0 ? argv[4] : nullptr;
    const LinkerMap map(argv[2]);
    std::optional<Profile> profile;
    if (profiled)
        profile.emplace(map);
    const std::filesystem::path runtime = std::filesystem::absolute(argv[1]);
    const std::uint16_t output = map["con_putc"];
    bool ok = true;
    if (markdown) {
        std::printf("| | BBC Micro, BASIC IV | Vorlix BASIC 1.0 (before) | Vorlix BASIC 2.0 |\n");
        std::printf("|---|---|---|---|\n");
    }
    for (const Benchmark& b : Benchmarks()) {
        if (profiled && b.name != std::string(profiled))
            continue;
        MachineSession machine(runtime);
        machine.Frames(40);
        Type(machine, Listing(b));
        Type(machine, "RUN");
        CKeyboard& keyboard = machine.App().Keyboard();
        keyboard.KeyDown(0x1C);  // Enter: the program starts within the frame
        long long start = RunUntilPrinted(machine, output, 'S', 70000);
        keyboard.KeyUp(0x1C);
        if (start < 0)
            start = RunUntilPrinted(machine, output, 'S', 500 * 70000LL);
        const long long end = start < 0 ? -1 : RunUntilPrinted(machine, output, 'E', 400 * CLOCK, profile ? &*profile : nullptr);
        machine.Frames(50);
        std::vector<std::string> screen = machine.Screen();
        std::string result;
        for (std::size_t i = 0; i + 1 < screen.size(); ++i)
            if (screen[i] == "E")
                result = screen[i + 1];
        const bool right = end >= 0 && (!*b.result || result == b.result);
        ok = ok && right;
        const double seconds = end < 0 ? NAN : static_cast<double>(end - start) / CLOCK;
        if (markdown) {
            auto cell = [](double v) { return v > 0 ? std::to_string(v).substr(0, std::to_string(v).find('.') + 3) : std::string("-"); };
            std::printf("| %s | %s | %s | %s |\n", b.name, cell(b.bbc).c_str(), cell(b.before).c_str(),
                        std::isnan(seconds) ? "failed" : cell(seconds).c_str());
        } else {
            std::printf("%-7s %8.2f s  (%lld cycles)  printed \"%s\"%s\n", b.name, seconds, end - start,
                        result.c_str(), right ? "" : "  WRONG");
        }
    }
    if (profile)
        profile->Print(10);
    return ok ? 0 : 1;
}
