// z80-vectors FILE: runs a file of single-instruction Z80 vectors against CCpu and a
// recording port bus. Each test gives the registers and memory before, the port inputs,
// and the registers, memory, port writes and T-states expected after one instruction.
// Prints every failing test (the first 50) with the fields that differ, then
// "N passed, M failed"; exits 0 only when tests ran and none failed.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "RecordingPortBus.h"
#include "bus/CMemory.h"
#include "cpu/CCpu.h"

namespace {

constexpr int MAX_REPORTED = 50;

// The register fields of the I and E records, in the order they are printed.
constexpr std::array<const char*, 20> FIELD_NAMES = {"pc", "sp", "a", "f", "b", "c", "d", "e", "h", "l",
                                                     "i", "ix", "iy", "af_", "bc_", "de_", "hl_", "im",
                                                     "iff1", "iff2"};

// Which of them are 16 bits wide.
constexpr std::array<bool, FIELD_NAMES.size()> FIELD_WIDE = {true,  true,  false, false, false, false, false,
                                                             false, false, false, false, true,  true,  true,
                                                             true,  true,  true,  false, false, false};

struct Field {
    bool present = false;
    bool checked = false;  // '*' means not checked
    std::uint32_t value = 0;
    std::uint32_t mask = 0xFFFF;
};

struct Vector {
    std::string name;
    std::array<Field, FIELD_NAMES.size()> before{};
    std::array<Field, FIELD_NAMES.size()> after{};
    std::vector<std::pair<std::uint16_t, std::uint8_t>> memoryBefore;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> memoryAfter;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> ports;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> writes;
    std::optional<std::int64_t> cycles;  // empty: not checked
    std::string error;                   // set when a record could not be read
};

bool ParseHex(const std::string& text, std::uint32_t limit, std::uint32_t& value)
{
    if (text.empty() || text.size() > 8)
        return false;
    std::uint32_t result = 0;
    for (char ch : text) {
        int digit;
        if (ch >= '0' && ch <= '9') digit = ch - '0';
        else if (ch >= 'a' && ch <= 'f') digit = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
        else return false;
        result = result * 16 + static_cast<std::uint32_t>(digit);
    }
    if (result > limit)
        return false;
    value = result;
    return true;
}

int FieldIndex(const std::string& name)
{
    for (std::size_t i = 0; i < FIELD_NAMES.size(); ++i)
        if (name == FIELD_NAMES[i])
            return static_cast<int>(i);
    return -1;
}

// "key=value" tokens of a record, after its letter.
std::vector<std::pair<std::string, std::string>> Pairs(const std::string& rest, bool& ok)
{
    std::vector<std::pair<std::string, std::string>> result;
    std::istringstream in(rest);
    std::string token;
    while (in >> token) {
        const std::size_t eq = token.find('=');
        if (eq == std::string::npos) {
            ok = false;
            continue;
        }
        result.emplace_back(token.substr(0, eq), token.substr(eq + 1));
    }
    return result;
}

void ParseRegisters(const std::string& rest, std::array<Field, FIELD_NAMES.size()>& fields, bool allowWild,
                    std::string& error)
{
    bool ok = true;
    for (const auto& [key, text] : Pairs(rest, ok)) {
        const int index = FieldIndex(key);
        if (index < 0) {
            error = "unknown register " + key;
            return;
        }
        Field& field = fields[static_cast<std::size_t>(index)];
        field.present = true;
        if (text == "*" && allowWild) {
            field.checked = false;
            continue;
        }
        field.checked = true;
        const std::size_t slash = text.find('/');
        const std::uint32_t limit = FIELD_WIDE[static_cast<std::size_t>(index)] ? 0xFFFF : 0xFF;
        if (slash != std::string::npos && allowWild) {
            if (!ParseHex(text.substr(0, slash), limit, field.value) ||
                !ParseHex(text.substr(slash + 1), limit, field.mask))
                error = "bad value " + key + "=" + text;
        } else if (!ParseHex(text, limit, field.value)) {
            error = "bad value " + key + "=" + text;
        } else {
            field.mask = limit;
        }
    }
    if (!ok)
        error = "malformed register record";
}

template <typename A, typename V>
void ParseBytes(const std::string& rest, std::uint32_t addressLimit, std::vector<std::pair<A, V>>& out,
                std::string& error)
{
    bool ok = true;
    for (const auto& [key, text] : Pairs(rest, ok)) {
        std::uint32_t address = 0, value = 0;
        if (!ParseHex(key, addressLimit, address) || !ParseHex(text, 0xFF, value)) {
            error = "bad byte " + key + "=" + text;
            return;
        }
        out.emplace_back(static_cast<A>(address), static_cast<V>(value));
    }
    if (!ok)
        error = "malformed byte record";
}

std::string Hex(std::uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

std::uint32_t ReadField(const CCpu& cpu, std::size_t index)
{
    const CCpu::Registers& r = cpu.Regs();
    switch (index) {
    case 0: return r.pc;
    case 1: return r.sp;
    case 2: return r.af >> 8;
    case 3: return r.af & 0xFF;
    case 4: return r.bc >> 8;
    case 5: return r.bc & 0xFF;
    case 6: return r.de >> 8;
    case 7: return r.de & 0xFF;
    case 8: return r.hl >> 8;
    case 9: return r.hl & 0xFF;
    case 10: return r.i;
    case 11: return r.ix;
    case 12: return r.iy;
    case 13: return r.af2;
    case 14: return r.bc2;
    case 15: return r.de2;
    case 16: return r.hl2;
    case 17: return r.im;
    case 18: return r.iff1;
    default: return r.iff2;
    }
}

void SetRegisters(CCpu& cpu, const std::array<Field, FIELD_NAMES.size()>& fields)
{
    std::array<std::uint32_t, FIELD_NAMES.size()> v{};
    for (std::size_t i = 0; i < fields.size(); ++i)
        v[i] = fields[i].value;
    CCpu::Registers& r = cpu.Regs();
    r.pc = static_cast<std::uint16_t>(v[0]);
    r.sp = static_cast<std::uint16_t>(v[1]);
    r.af = static_cast<std::uint16_t>((v[2] << 8) | v[3]);
    r.bc = static_cast<std::uint16_t>((v[4] << 8) | v[5]);
    r.de = static_cast<std::uint16_t>((v[6] << 8) | v[7]);
    r.hl = static_cast<std::uint16_t>((v[8] << 8) | v[9]);
    r.i = static_cast<std::uint8_t>(v[10]);
    r.ix = static_cast<std::uint16_t>(v[11]);
    r.iy = static_cast<std::uint16_t>(v[12]);
    r.af2 = static_cast<std::uint16_t>(v[13]);
    r.bc2 = static_cast<std::uint16_t>(v[14]);
    r.de2 = static_cast<std::uint16_t>(v[15]);
    r.hl2 = static_cast<std::uint16_t>(v[16]);
    r.im = static_cast<std::uint8_t>(v[17]);
    r.iff1 = static_cast<std::uint8_t>(v[18]);
    r.iff2 = static_cast<std::uint8_t>(v[19]);
}

// Runs one vector; returns the differences, empty when it passed.
std::vector<std::string> RunVector(const Vector& test, CMemory& memory)
{
    std::vector<std::string> diffs;
    if (!test.error.empty()) {
        diffs.push_back(test.error);
        return diffs;
    }
    RecordingPortBus bus;
    for (const auto& [port, value] : test.ports)
        bus.inputs[port] = value;
    std::uint8_t* bytes = memory.Bytes();
    std::memset(bytes, 0, CMemory::SIZE);
    for (const auto& [address, value] : test.memoryBefore)
        bytes[address] = value;
    static std::array<std::uint8_t, CMemory::SIZE> image;
    std::memcpy(image.data(), bytes, CMemory::SIZE);

    CCpu cpu(memory, bus);
    SetRegisters(cpu, test.before);
    const std::uint64_t startCycles = cpu.CyclesExecuted();
    cpu.AddCycles(1);
    cpu.Run(1);  // a budget of 1 runs exactly one instruction
    const std::uint64_t charged = cpu.CyclesExecuted() - startCycles;

    for (std::size_t i = 0; i < FIELD_NAMES.size(); ++i) {
        const Field& want = test.after[i];
        if (!want.present || !want.checked)
            continue;
        const std::uint32_t got = ReadField(cpu, i);
        if ((got & want.mask) != (want.value & want.mask)) {
            std::string line = std::string(FIELD_NAMES[i]) + ": expected " + Hex(want.value, 2);
            if (want.mask != 0xFF && want.mask != 0xFFFF)
                line += "/" + Hex(want.mask, 2);
            diffs.push_back(line + ", got " + Hex(got, 2));
        }
    }
    // The listed bytes are checked, then put back, so that one comparison of the whole
    // memory finds any write the vector does not list.
    for (const auto& [address, value] : test.memoryAfter) {
        if (bytes[address] != value)
            diffs.push_back("memory " + Hex(address, 4) + ": expected " + Hex(value, 2) + ", got " +
                            Hex(bytes[address], 2));
    }
    for (const auto& [address, value] : test.memoryAfter)
        bytes[address] = image[address];
    if (std::memcmp(bytes, image.data(), CMemory::SIZE) != 0) {
        for (std::uint32_t address = 0; address < CMemory::SIZE; ++address)
            if (bytes[address] != image[address])
                diffs.push_back("memory " + Hex(address, 4) + ": unexpected write of " + Hex(bytes[address], 2));
    }
    if (bus.writes != test.writes) {
        std::string line = "port writes: expected";
        for (const auto& [port, value] : test.writes)
            line += " " + Hex(port, 2) + "=" + Hex(value, 2);
        line += ", got";
        for (const auto& [port, value] : bus.writes)
            line += " " + Hex(port, 2) + "=" + Hex(value, 2);
        diffs.push_back(line);
    }
    if (test.cycles && static_cast<std::int64_t>(charged) != *test.cycles)
        diffs.push_back("cycles: expected " + std::to_string(*test.cycles) + ", got " + std::to_string(charged));
    return diffs;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: z80-vectors FILE\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 2;
    }
    static CMemory memory;
    int passed = 0, failed = 0;
    std::optional<Vector> current;
    auto finish = [&] {
        if (!current)
            return;
        const std::vector<std::string> diffs = RunVector(*current, memory);
        if (diffs.empty()) {
            ++passed;
        } else {
            if (++failed <= MAX_REPORTED) {
                std::cout << "FAIL " << current->name << "\n";
                for (const std::string& diff : diffs)
                    std::cout << "  " << diff << "\n";
            }
        }
        current.reset();
    };
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const char kind = line[0];
        const std::string rest = line.size() > 1 ? line.substr(1) : std::string();
        if (kind == 'T') {
            finish();
            current.emplace();
            const std::size_t first = rest.find_first_not_of(' ');
            current->name = first == std::string::npos ? std::string("(unnamed)") : rest.substr(first);
            continue;
        }
        if (!current) {
            std::cerr << "record outside a test: " << line << "\n";
            ++failed;
            continue;
        }
        Vector& test = *current;
        switch (kind) {
        case 'I': ParseRegisters(rest, test.before, false, test.error); break;
        case 'E': ParseRegisters(rest, test.after, true, test.error); break;
        case 'M': ParseBytes(rest, 0xFFFF, test.memoryBefore, test.error); break;
        case 'R': ParseBytes(rest, 0xFFFF, test.memoryAfter, test.error); break;
        case 'P': ParseBytes(rest, 0xFF, test.ports, test.error); break;
        case 'W': ParseBytes(rest, 0xFF, test.writes, test.error); break;
        case 'C': {
            std::istringstream fields(rest);
            std::string count;
            fields >> count;
            // The T-state count is the one decimal number of the format.
            if (count == "*") {
                test.cycles.reset();
            } else if (!count.empty() && count.size() <= 6 &&
                       count.find_first_not_of("0123456789") == std::string::npos) {
                test.cycles = std::stoll(count);
            } else {
                test.error = "bad cycle count " + count;
            }
            break;
        }
        default: test.error = std::string("unknown record ") + kind; break;
        }
    }
    finish();
    if (passed + failed == 0)
        std::cerr << "no tests in " << argv[1] << "\n";
    std::cout << passed << " passed, " << failed << " failed\n";
    return (failed == 0 && passed > 0) ? 0 : 1;
}
