#include "ScriptedMachine.h"

#include <cstring>
#include <sstream>

extern "C" {
#include "basic.h"
#include "sys.h"
}

namespace {
ScriptedMachine* current = nullptr;

// The host name the file store makes of an 11-byte 8+3 name ("GAME    BAS" -> "GAME.BAS").
std::string HostNameOf(const std::uint8_t* name11)
{
    std::string s;
    for (int i = 0; i < 11 && name11[i]; i++) {
        if (name11[i] != ' ')
            s += static_cast<char>(name11[i]);
        if (i == 7)
            s += '.';
    }
    return s;
}
}  // namespace

ScriptedMachine::ScriptedMachine()
{
    current = this;
    basic_init(arena.data(), static_cast<unsigned>(arena.size()));
}

ScriptedMachine::~ScriptedMachine() { current = nullptr; }

std::string ScriptedMachine::Lines(const std::string& text)
{
    screen.clear();
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        basic_line(line.c_str());
    return screen;
}

extern "C" {

void sys_cls(void) { current->screen += "<CLS>"; }

void sys_putc(unsigned char c)
{
    if (c != '\n')
        current->screen += c == '\r' ? '\n' : static_cast<char>(c);
}

unsigned char sys_getline(char* buf, unsigned char max)
{
    if (current->typed.empty()) {
        buf[0] = 0;
        current->screen += '\n';
        return 0xFF;  // nothing left to type: behave like Ctrl+C
    }
    std::string line = current->typed.front().substr(0, max);
    current->typed.pop_front();
    std::memcpy(buf, line.c_str(), line.size() + 1);
    current->screen += line + '\n';
    return static_cast<unsigned char>(line.size());
}

unsigned char sys_break(void) { return current->breakAfter >= 0 && current->breakAfter-- == 0; }
unsigned int sys_ticks(void) { return 1234; }
unsigned char sys_peek(unsigned int a) { return current->memory[a & 0xFFFF]; }
void sys_poke(unsigned int a, unsigned char v) { current->memory[a & 0xFFFF] = v; }
unsigned char sys_inp(unsigned char port) { return static_cast<unsigned char>(port ^ 0x5A); }
void sys_out(unsigned char port, unsigned char v) { current->outs.emplace_back(port, v); }

unsigned char sys_dos_open(unsigned char write, const unsigned char* name11)
{
    ScriptedMachine& m = *current;
    if (!m.dosPresent)
        return SYS_NODEV;
    m.openName = HostNameOf(name11);
    m.readPos = 0;
    if (write)
        m.files[m.openName].clear();
    m.fileOpen = m.files.count(m.openName) != 0;
    return m.fileOpen ? 0 : 0xFF;
}

unsigned char sys_dos_block(unsigned char write)
{
    ScriptedMachine& m = *current;
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

void sys_dos_close(void) { current->fileOpen = false; }
unsigned char* sys_dos_buffer(void) { return current->buffer; }

unsigned char sys_pr_open(void)
{
    if (!current->printerPresent)
        return SYS_NODEV;
    current->printerOpen = true;
    current->printJobs++;
    return 0;
}

unsigned char sys_pr_print(const unsigned char* text, unsigned int n)
{
    if (current->printerOpen)
        current->printer.append(reinterpret_cast<const char*>(text), n);
    return 0;
}

void sys_pr_close(void) { current->printerOpen = false; }

}  // extern "C"
