#include "ScriptedMachine.h"

#include <cstring>

extern "C" {
#include "basic.h"
#include "sys.h"
}

ScriptedMachine* ScriptedMachine::current = nullptr;

ScriptedMachine::ScriptedMachine() : arena(0x7500)
{
    current = this;
    basic_init(arena.data(), static_cast<unsigned>(arena.size()));
}

ScriptedMachine::~ScriptedMachine() { current = nullptr; }

ScriptedMachine& ScriptedMachine::Current() { return *current; }

std::string ScriptedMachine::Line(const std::string& text)
{
    screen.clear();
    basic_line(text.c_str());
    return screen;
}

std::string ScriptedMachine::Lines(const std::vector<std::string>& lines)
{
    std::string all;
    for (const auto& l : lines)
        all += Line(l);
    return all;
}

std::string HostNameOf(const std::uint8_t* name11)
{
    std::string s;
    for (int i = 0; i < 11; i++) {
        if (name11[i] == 0)
            break;
        if (name11[i] != ' ')
            s += static_cast<char>(name11[i]);
        if (i == 7)
            s += '.';
    }
    return s;
}

extern "C" {

void sys_cls(void) { ScriptedMachine::Current().screen += "<CLS>"; }

void sys_putc(unsigned char c)
{
    if (c == '\r')
        ScriptedMachine::Current().screen += '\n';
    else if (c != '\n')
        ScriptedMachine::Current().screen += static_cast<char>(c);
}

unsigned char sys_getline(char* buf, unsigned char max)
{
    auto& m = ScriptedMachine::Current();
    if (m.typed.empty()) {
        buf[0] = 0;
        m.screen += '\n';
        return 0xFF;  // nothing left to type: behave like Ctrl+C
    }
    std::string line = m.typed.front().substr(0, max);
    m.typed.pop_front();
    std::memcpy(buf, line.c_str(), line.size() + 1);
    m.screen += line + '\n';
    return static_cast<unsigned char>(line.size());
}

unsigned char sys_break(void)
{
    auto& m = ScriptedMachine::Current();
    if (m.breakAfter < 0)
        return 0;
    return m.breakAfter-- == 0 ? 1 : 0;
}

unsigned int sys_ticks(void) { return 1234; }
unsigned char sys_peek(unsigned int a) { return ScriptedMachine::Current().memory[a & 0xFFFF]; }
void sys_poke(unsigned int a, unsigned char v) { ScriptedMachine::Current().memory[a & 0xFFFF] = v; }
unsigned char sys_inp(unsigned char port) { return static_cast<unsigned char>(port ^ 0x5A); }
void sys_out(unsigned char port, unsigned char v) { ScriptedMachine::Current().outs.emplace_back(port, v); }

unsigned char sys_dos_open(unsigned char write, const unsigned char* name11)
{
    auto& m = ScriptedMachine::Current();
    if (!m.dosPresent)
        return SYS_NODEV;
    m.openName = HostNameOf(name11);
    m.openWrite = write != 0;
    m.readPos = 0;
    if (write) {
        m.files[m.openName].clear();
    } else if (!m.files.count(m.openName)) {
        m.fileOpen = false;
        return 0xFF;
    }
    m.fileOpen = true;
    return 0;
}

unsigned char sys_dos_block(unsigned char write)
{
    auto& m = ScriptedMachine::Current();
    if (!m.fileOpen)
        return 0xFF;
    auto& f = m.files[m.openName];
    if (write) {
        f.insert(f.end(), m.buffer, m.buffer + 256);
        return 0;
    }
    std::size_t n = 0;
    while (n < 256 && m.readPos < f.size())
        m.buffer[n++] = f[m.readPos++];
    return n == 256 ? 0 : 0xFF;
}

void sys_dos_close(void) { ScriptedMachine::Current().fileOpen = false; }
unsigned char* sys_dos_buffer(void) { return ScriptedMachine::Current().buffer; }

unsigned char sys_pr_open(void)
{
    auto& m = ScriptedMachine::Current();
    if (!m.printerPresent)
        return SYS_NODEV;
    m.printerOpen = true;
    m.printJobs++;
    return 0;
}

unsigned char sys_pr_print(const unsigned char* text, unsigned int n)
{
    auto& m = ScriptedMachine::Current();
    if (m.printerOpen)
        m.printer.append(reinterpret_cast<const char*>(text), n);
    return 0;
}

void sys_pr_close(void) { ScriptedMachine::Current().printerOpen = false; }

}  // extern "C"
