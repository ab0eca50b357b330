// rom-pack: makes the BASIC's 16 KB ROM image from its linked form. Code linked to run from
// RAM (the areas named on the command line) is packed into the ROM after the code that runs
// from ROM, at the symbol pack_blob, one stream per area in the order given; the start-up
// code unpacks each stream to its area before anything uses it.
//
//   rom-pack basic.ihx basic.map basic.rom 16384 _RCODE0:0x4800:0x5A00 ...
//
// The packed form, read by the Z80 routine `unpack`: a stream of items, each led by a flag
// bit: 0 is one literal byte; 1 is a match: Elias-gamma (msb + 1) where the offset - 1 is
// msb * 256 + the next byte, then gamma (length - 1) for length 2 and more; msb + 1 = 256
// ends the stream. Flag and gamma bits come eight to a byte, most significant first; a bit
// byte sits in the stream where the unpacker runs out of bits, between the bytes it copies.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

bool Fail(const std::string& message)
{
    std::fprintf(stderr, "rom-pack: %s\n", message.c_str());
    return false;
}

// The bytes an Intel HEX file puts into the 64 KB address space.
bool ReadHex(const std::string& path, Bytes& image)
{
    std::ifstream in(path);
    if (!in)
        return Fail("cannot read " + path);
    image.assign(65536, 0xFF);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 11 || line[0] != ':')
            continue;
        auto byte = [&](std::size_t at) { return static_cast<unsigned>(std::stoul(line.substr(at, 2), nullptr, 16)); };
        const unsigned count = byte(1);
        const unsigned address = byte(3) << 8 | byte(5);
        if (byte(7) != 0)
            continue;
        if (line.size() < 11 + 2 * count)
            return Fail("short record in " + path);
        for (unsigned i = 0; i < count; ++i)
            image[(address + i) & 0xFFFF] = static_cast<unsigned char>(byte(9 + 2 * i));
    }
    return true;
}

// The symbols of an sdld map: "     0000E000  s__RCODE2".
bool ReadMap(const std::string& path, std::map<std::string, unsigned>& symbols)
{
    std::ifstream in(path);
    if (!in)
        return Fail("cannot read " + path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string value, name;
        if (fields >> value >> name && value.size() == 8 && value.find_first_not_of("0123456789ABCDEF") == std::string::npos)
            symbols[name] = static_cast<unsigned>(std::stoul(value, nullptr, 16));
    }
    return true;
}

class BitWriter {
public:
    explicit BitWriter(Bytes& out) : out(out) {}
    void Bit(int bit)
    {
        if (used == 8) {  // the unpacker takes a new bit byte where the last one ran out
            at = out.size();
            out.push_back(0);
            used = 0;
        }
        if (bit)
            out[at] |= static_cast<unsigned char>(0x80 >> used);
        ++used;
    }
    void Gamma(unsigned value)  // interleaved: 0 and a bit per digit after the leading 1, then 1
    {
        int top = 31;
        while (!(value >> top & 1))
            --top;
        for (int i = top - 1; i >= 0; --i) {
            Bit(0);
            Bit(static_cast<int>(value >> i & 1));
        }
        Bit(1);
    }
    void Byte(unsigned char b) { out.push_back(b); }

private:
    Bytes& out;
    std::size_t at = 0;
    int used = 8;
};

int GammaBits(unsigned value)
{
    int bits = 1;
    while (value > 1) {
        value >>= 1;
        bits += 2;
    }
    return bits;
}

int MatchBits(unsigned length, unsigned offset)
{
    return 1 + GammaBits(((offset - 1) >> 8) + 1) + 8 + GammaBits(length - 1);
}

// An optimal parse: for every position the cheapest way to the end, trying for each
// length the nearest offset that reaches it.
void Pack(const Bytes& data, Bytes& out)
{
    const std::size_t n = data.size();
    std::vector<long> cost(n + 1, 0);
    std::vector<unsigned> length(n + 1, 0), offset(n + 1, 0);
    for (std::size_t i = n; i-- > 0;) {
        cost[i] = 9 + cost[i + 1];
        length[i] = 1;
        unsigned longest = 1;
        for (std::size_t j = i; j-- > 0 && i - j <= 65280;) {
            unsigned l = 0;
            while (i + l < n && data[j + l] == data[i + l])
                ++l;
            for (unsigned k = longest + 1; k <= l; ++k) {
                const long c = MatchBits(k, static_cast<unsigned>(i - j)) + cost[i + k];
                if (c < cost[i]) {
                    cost[i] = c;
                    length[i] = k;
                    offset[i] = static_cast<unsigned>(i - j);
                }
            }
            if (l > longest)
                longest = l;
        }
    }
    BitWriter bits(out);
    for (std::size_t i = 0; i < n; i += length[i]) {
        if (length[i] == 1) {
            bits.Bit(0);
            bits.Byte(data[i]);
            continue;
        }
        bits.Bit(1);
        bits.Gamma(((offset[i] - 1) >> 8) + 1);
        bits.Byte(static_cast<unsigned char>((offset[i] - 1) & 0xFF));
        bits.Gamma(length[i] - 1);
    }
    bits.Bit(1);
    bits.Gamma(256);
}

// The unpacker's view, to prove the packed form before it goes into the ROM.
bool Unpack(const Bytes& in, std::size_t& at, Bytes& out)
{
    int have = 0;
    unsigned char buffer = 0;
    auto bit = [&]() {
        if (have == 0) {
            buffer = at < in.size() ? in[at] : 0;
            ++at;
            have = 8;
        }
        --have;
        return buffer >> have & 1;
    };
    auto gamma = [&]() {
        unsigned value = 1;
        while (!bit())
            value = value << 1 | static_cast<unsigned>(bit());
        return value;
    };
    for (;;) {
        if (at > in.size())
            return false;
        if (!bit()) {
            out.push_back(in[at++]);
            continue;
        }
        const unsigned msb = gamma();
        if (msb == 256)
            return true;
        const unsigned off = ((msb - 1) << 8 | in[at++]) + 1;
        const unsigned len = gamma() + 1;
        if (off > out.size())
            return false;
        for (unsigned k = 0; k < len; ++k)
            out.push_back(out[out.size() - off]);
    }
}

// An area named on the command line: "_RCODE0:0x4800:0x5A00", where its code must lie.
struct AreaRange {
    std::string name;
    unsigned start = 0;
    unsigned end = 0;
};

bool ParseArea(const std::string& arg, AreaRange& area)
{
    const std::size_t c1 = arg.find(':'), c2 = arg.rfind(':');
    char* stop = nullptr;
    if (c1 == std::string::npos || c1 == c2 || c1 == 0)
        return Fail("bad area " + arg + " (wanted NAME:START:END)");
    area.name = arg.substr(0, c1);
    const std::string start = arg.substr(c1 + 1, c2 - c1 - 1), end = arg.substr(c2 + 1);
    area.start = static_cast<unsigned>(std::strtoul(start.c_str(), &stop, 0));
    const bool startOk = !start.empty() && *stop == '\0';
    area.end = static_cast<unsigned>(std::strtoul(end.c_str(), &stop, 0));
    if (!startOk || end.empty() || *stop != '\0' || area.start > area.end || area.end > 0x10000)
        return Fail("bad area " + arg + " (wanted NAME:START:END within 64 KB)");
    return true;
}

// No two areas may overlap: variables, stack and code share the RAM.
bool CheckNoOverlap(const std::map<std::string, unsigned>& symbols)
{
    std::vector<std::pair<unsigned, std::string>> starts;
    for (const auto& [name, value] : symbols) {
        if (name.rfind("s__", 0) != 0 || name.find("HEADER") != std::string::npos)
            continue;
        const auto length = symbols.find("l" + name.substr(1));
        if (length != symbols.end() && length->second > 0)
            starts.emplace_back(value, name.substr(3));
    }
    std::sort(starts.begin(), starts.end());
    for (std::size_t i = 1; i < starts.size(); ++i)
        if (starts[i - 1].first + symbols.at("l__" + starts[i - 1].second) > starts[i].first)
            return Fail("area _" + starts[i - 1].second + " runs into _" + starts[i].second);
    return true;
}

// Packs one area's code onto the end of packed, after proving that it unpacks to the code.
bool PackArea(const AreaRange& area, const std::map<std::string, unsigned>& symbols, const Bytes& image,
              Bytes& packed, unsigned& plain)
{
    const auto s = symbols.find("s_" + area.name), l = symbols.find("l_" + area.name);
    const unsigned start = s != symbols.end() ? s->second : area.start;
    const unsigned length = l != symbols.end() ? l->second : 0;
    if (start != area.start || start + length > area.end) {
        char text[160];
        std::snprintf(text, sizeof text, "area %s (%04X..%04X) does not fit %04X..%04X", area.name.c_str(), start,
                      start + length, area.start, area.end);
        return Fail(text);
    }
    const Bytes code(image.begin() + start, image.begin() + start + length);
    Bytes stream;
    Pack(code, stream);
    Bytes check;
    std::size_t at = 0;
    if (!Unpack(stream, at, check) || check != code || at != stream.size())
        return Fail("the packed form of " + area.name + " does not unpack to it");
    packed.insert(packed.end(), stream.begin(), stream.end());
    plain += length;
    return true;
}

bool Run(int argc, char** argv)
{
    Bytes image;
    std::map<std::string, unsigned> symbols;
    if (!ReadHex(argv[1], image) || !ReadMap(argv[2], symbols) || !CheckNoOverlap(symbols))
        return false;
    char* stop = nullptr;
    const unsigned size = static_cast<unsigned>(std::strtoul(argv[4], &stop, 0));
    if (*stop != '\0' || size == 0 || size > image.size())
        return Fail(std::string("bad ROM size ") + argv[4]);
    const auto blob = symbols.find("pack_blob");
    if (blob == symbols.end())
        return Fail("no pack_blob in the map");
    Bytes packed;
    unsigned plain = 0;
    for (int a = 5; a < argc; ++a) {
        AreaRange area;
        if (!ParseArea(argv[a], area) || !PackArea(area, symbols, image, packed, plain))
            return false;
    }
    if (blob->second + packed.size() > size) {
        char text[160];
        std::snprintf(text, sizeof text, "%zu packed bytes at %04X do not fit the %u-byte ROM", packed.size(),
                      blob->second, size);
        return Fail(text);
    }
    std::copy(packed.begin(), packed.end(), image.begin() + blob->second);
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), size);
    out.close();
    if (!out)
        return Fail(std::string("cannot write ") + argv[3]);
    std::printf("rom-pack: %s: %zu of %u bytes used; %u bytes of RAM code packed into %zu\n", argv[3],
                blob->second + packed.size(), size, plain, packed.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: rom-pack IHX MAP ROM SIZE [AREA:START:END]...\n");
        return 2;
    }
    return Run(argc, argv) ? 0 : 1;
}
