#include "BasicSession.h"

#include <algorithm>
#include <stdexcept>

#include "LinkerMap.h"
#include "core/CScreenText.h"
#include "core/CTypist.h"
#include "cpu/CCpu.h"
#include "devices/CDisplay.h"
#include "devices/CKeyboard.h"

namespace {

constexpr int STEPS = 10;       // a slice in ten steps; a scroll takes longer than a step
constexpr int IDLE_FRAMES = 3;  // the screen still this long with the cursor shown
constexpr std::uint8_t SCAN_ENTER = 0x1C;
constexpr int START_FRAMES = 60;  // the start-up code takes well under a second

// Characters in a row of UTF-8 text.
int Characters(const std::string& row)
{
    return static_cast<int>(std::count_if(row.begin(), row.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// The rows down to the last one that is not empty: a cleared screen's output.
int Used(const Lines& rows)
{
    int n = static_cast<int>(rows.size());
    while (n > 0 && rows[static_cast<std::size_t>(n) - 1].empty())
        --n;
    return n;
}

}  // namespace

Lines Listed(const Lines& program)
{
    Lines rows;
    const auto add = [&rows](const std::string& row) { rows.push_back(row.substr(0, row.find_last_not_of(' ') + 1)); };
    for (const std::string& line : program) {
        std::string row;
        int n = 0;
        for (char c : line) {
            if (n == CDisplay::COLUMNS) {
                add(row);
                row.clear();
                n = 0;
            }
            row += c == '^' ? "\u00dc" : c == '\\' ? "\u00d6" : std::string(1, c);
            ++n;
        }
        add(row);
    }
    return rows;
}

BasicSession::BasicSession() : machine(VORLIX_RUNTIME)
{
    static const LinkerMap map(BASIC_MAP);
    scrollCode = {map["scr_scroll"], map["scr_insrow"]};
    moveCode = {map["scr_scroll"], map["scr_curaddr"]};
    clearCode = {map["con_cls"], map["con_locate"]};
    leafCode = map["scr_curaddr"];
    if (scrollCode.first >= scrollCode.second || scrollCode.second >= moveCode.second || clearCode.first >= clearCode.second)
        throw std::runtime_error("the screen code is laid out otherwise than BasicSession expects");
    shown = Look();
    if (!RunUntilIdle(500))
        throw std::runtime_error("the BASIC did not come up");
    transcript.clear();  // what start-up left in video memory is no output
}

// A slice as the application runs it, in steps, following the screen after each. A look is
// never taken while the BASIC moves or clears rows: the CPU then goes on an instruction at a
// time until it is done, and whether that was a scroll or a clear screen is told by the code
// it went through. A scroll takes longer than a step, so none is missed, and the transcript
// follows even a screen of rows all alike.
void BasicSession::Step()
{
    CCpu& cpu = machine.App().Cpu();
    const auto before = cpu.CyclesExecuted();
    for (int i = 1; i <= STEPS; ++i) {
        const auto target = before + CEmuApp::TICK_CYCLES * i / STEPS;
        while (cpu.CyclesExecuted() < target) {
            const auto n = static_cast<std::int32_t>(target - cpu.CyclesExecuted());
            cpu.AddCycles(n);
            cpu.Run(n);
        }
        bool scrolled = false;
        bool cleared = false;
        while (MovingRows() && cpu.CyclesExecuted() < target + CEmuApp::TICK_CYCLES) {
            const std::uint16_t pc = cpu.Regs().pc;
            scrolled = scrolled || Within(scrollCode, pc);
            cleared = cleared || Within(clearCode, pc);
            cpu.AddCycles(1);
            cpu.Run(1);
        }
        Follow(cleared ? Used(shown) : scrolled ? 1 : 0);
    }
    cpu.RequestNmi();
}

// The code that scrolls, inserts or clears rows is scr_scroll up to scr_curaddr, and con_cls;
// the leaf routines after scr_curaddr (to the end of memory) count with their caller, whose
// return address is the top of the stack.
bool BasicSession::MovingRows()
{
    const CCpu::Registers& r = machine.App().Cpu().Regs();
    auto moving = [this](std::uint16_t at) { return Within(moveCode, at) || Within(clearCode, at); };
    if (moving(r.pc))
        return true;
    return r.pc >= leafCode && moving(static_cast<std::uint16_t>(machine.Peek(r.sp) | machine.Peek(static_cast<std::uint16_t>(r.sp + 1)) << 8));
}

// The screen as MachineSession::Screen gives it; only the rows whose cells changed since the
// last look are read again (reading them all at every look took most of the tests' time).
const Lines& BasicSession::Look()
{
    const std::uint8_t* memory = machine.App().Memory().Bytes();
    looked.resize(CDisplay::TEXT_ROWS);
    for (int row = 0; row < CDisplay::TEXT_ROWS; ++row) {
        const std::uint8_t* cells = memory + CDisplay::RowAddress(row);
        auto& seen = cellsSeen[static_cast<std::size_t>(row)];
        if (!lookedOnce || !std::equal(seen.begin(), seen.end(), cells)) {
            std::copy(cells, cells + CDisplay::COLUMNS, seen.begin());
            std::string text = CScreenText::Row(machine.App().Memory(), row);
            text.erase(text.find_last_not_of(' ') + 1);
            looked[static_cast<std::size_t>(row)] = std::move(text);
        }
    }
    lookedOnce = true;
    return looked;
}

// The rows that scrolled off the top (or were cleared) since the last look go to the
// transcript.
void BasicSession::Follow(int gone)
{
    for (int r = 0; r < gone; ++r)
        transcript.push_back(shown[static_cast<std::size_t>(r)]);
    shown = Look();
}

int BasicSession::CursorRow(int* column)
{
    int found = -1;
    for (int row = 0; row < CDisplay::TEXT_ROWS; ++row)
        for (int c = 0; c < CDisplay::COLUMNS; ++c)
            if (machine.Cell(row, c) & 0x80) {
                if (found >= 0)
                    return -1;
                found = row;
                if (column)
                    *column = c;
            }
    return found;
}

bool BasicSession::RunUntilIdle(int maxFrames)
{
    int still = 0;
    for (int i = 0; i < maxFrames; ++i) {
        const Lines before = shown;
        Step();
        still = shown == before && CursorRow() >= 0 ? still + 1 : 0;
        if (still >= IDLE_FRAMES)
            return true;
    }
    return false;
}

void BasicSession::TypeKey(std::uint8_t scan, std::uint8_t modifier)
{
    if (scan == SCAN_ENTER) {
        // Output starts on the row after the typed line; a line that filled its last row
        // leaves the cursor at the start of the next one, which the output then takes.
        int column = 0;
        const int row = std::max(CursorRow(&column), 0);
        const bool wrapped = column == 0 && row > 0 && shown[static_cast<std::size_t>(row)].empty() &&
                             Characters(shown[static_cast<std::size_t>(row) - 1]) == CDisplay::COLUMNS;
        mark = transcript.size() + static_cast<std::size_t>(row) + (wrapped ? 0 : 1);
    }
    CKeyboard& keyboard = machine.App().Keyboard();
    if (modifier)
        keyboard.KeyDown(modifier);
    keyboard.KeyDown(scan);
    Step();
    keyboard.KeyUp(scan);
    if (modifier)
        keyboard.KeyUp(modifier);
}

void BasicSession::Enter(const std::string& text, int maxFrames)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        Type(text.substr(start, end - start) + "\n", false);
        RunUntilIdle(maxFrames);
        start = end + 1;
    }
}

void BasicSession::Keys(const std::string& script, int maxFrames)
{
    Type(script, true);
    RunUntilIdle(maxFrames);
}

void BasicSession::Type(const std::string& script, bool controls)
{
    std::vector<KeyStroke> strokes;
    std::string error;
    for (std::size_t at = 0; at < script.size();) {
        if (controls && script[at] == '^' && at + 1 < script.size() && script[at + 1] >= 'A' && script[at + 1] <= 'Z') {
            TypeKey(CTypist::StrokeFor(static_cast<std::uint8_t>(script[at + 1] - 'A' + 'a'))->scan,
                    CKeyboard::SCAN_CTRL);
            at += 2;
            continue;
        }
        std::size_t end = controls ? std::min(script.find('^', at + 1), script.size()) : script.size();
        if (!CTypist::Plan(script.substr(at, end - at), strokes, error))
            throw std::invalid_argument(error);
        for (const KeyStroke& s : strokes)
            TypeKey(s.scan, s.shift ? CTypist::SCAN_SHIFT : 0);
        at = end;
    }
}

void BasicSession::Reset()
{
    machine.App().ResetMachine();
    for (int i = 0; i < START_FRAMES; ++i)
        Step();  // the start-up code runs before the prompt can take keys again
    RunUntilIdle(500);
}

Lines BasicSession::OutputFrom(std::size_t from) const
{
    Lines all = transcript;
    all.insert(all.end(), shown.begin(), shown.end());
    while (!all.empty() && all.back().empty())
        all.pop_back();
    if (from >= all.size())
        return {};
    return Lines(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
}
