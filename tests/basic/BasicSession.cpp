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

constexpr int STEPS = 10;       // a slice in ten steps: at most a few rows scroll in each
constexpr int IDLE_FRAMES = 3;  // the screen still this long with the cursor shown
constexpr int MAX_SCROLL = 8;   // rows one step can scroll
constexpr std::uint8_t SCAN_ENTER = 0x1C;
constexpr int START_FRAMES = 60;  // the start-up code takes well under a second
constexpr int STACK_WORDS = 8;    // return addresses looked at, an interrupt's pushes included

// Characters in a row of UTF-8 text.
int Characters(const std::string& row)
{
    return static_cast<int>(std::count_if(row.begin(), row.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

bool Blank(const Lines& rows)
{
    return std::all_of(rows.begin(), rows.end(), [](const std::string& r) { return r.empty(); });
}

}  // namespace

BasicSession::BasicSession() : machine(VORLIX_RUNTIME)
{
    static const LinkerMap map(BASIC_MAP);
    rowMoves = {map["scr_scroll"], map["scr_curaddr"]};
    shown = Look();
    if (!RunUntilIdle(500))
        throw std::runtime_error("the BASIC did not come up");
    transcript.clear();  // what start-up left in video memory is no output
}

// A slice as the application runs it, in steps, following the screen after each. A look is
// never taken while rows are being moved: a half-moved screen could pass for a screen
// changed in place or scrolled, and rows would be lost or doubled. The CPU then goes on an
// instruction at a time until they have moved.
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
        while (MovingRows() && cpu.CyclesExecuted() < target + CEmuApp::TICK_CYCLES) {
            cpu.AddCycles(1);
            cpu.Run(1);
        }
        Follow();
    }
    cpu.RequestNmi();
    lastCycles += static_cast<long long>(cpu.CyclesExecuted() - before);
}

// The screen's row moves (scrolling, inserting a row, clearing a row) are the code from
// scr_scroll up to scr_curaddr; the helpers they call are seen by their return address.
bool BasicSession::MovingRows()
{
    const CCpu::Registers& r = machine.App().Cpu().Regs();
    auto moving = [this](std::uint16_t at) { return at >= rowMoves.first && at < rowMoves.second; };
    if (moving(r.pc))
        return true;
    for (int i = 0; i < STACK_WORDS; ++i) {
        const auto at = static_cast<std::uint16_t>(r.sp + 2 * i);
        if (moving(static_cast<std::uint16_t>(machine.Peek(at) | machine.Peek(static_cast<std::uint16_t>(at + 1)) << 8)))
            return true;
    }
    return false;
}

// The screen as MachineSession::Screen gives it; only the rows whose cells changed since the
// last look are read again (the reading dominates the time the tests take).
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

// Rows that scrolled off the top since the last look go to the transcript. The new screen
// is the old one scrolled by k rows when the old rows from k on are the new rows from 0 on,
// apart from at most two or three rows written to in the meantime; the smallest such k counts. A
// look in the middle of a scroll matches nothing and is skipped, unless the screen stays
// like that: then it was changed in place. A screen that became blank was cleared.
void BasicSession::Follow()
{
    Lines now = Look();
    if (now == shown) {
        unmatched = false;
        return;
    }
    const int rows = static_cast<int>(now.size());
    int scroll = -1;
    if (Blank(now)) {
        scroll = rows;
    } else {
        for (int k = 0; k <= MAX_SCROLL && scroll < 0; ++k) {
            int differ = 0;
            for (int r = 0; r + k < rows - 1; ++r)
                differ += shown[r + k] != now[r];
            if (differ <= (k == 0 ? 3 : 2))
                scroll = k;
        }
    }
    if (scroll < 0) {
        if (!unmatched || now != last) {
            unmatched = true;  // perhaps half way through a scroll: look again later
            last = now;
            return;
        }
        scroll = 0;
    }
    unmatched = false;
    for (int r = 0; r < scroll; ++r)
        transcript.push_back(shown[r]);
    shown = std::move(now);
}

// The cursor is the one cell with bit 7 set (the display blinks it); none, or many as in
// video memory before start-up has cleared it, is no cursor.
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
    lastCycles = 0;
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
                    MachineSession::SCAN_CTRL);
            at += 2;
            continue;
        }
        std::size_t end = controls ? std::min(script.find('^', at + 1), script.size()) : script.size();
        if (!CTypist::Plan(script.substr(at, end - at), strokes, error))
            throw std::invalid_argument(error);
        for (const KeyStroke& s : strokes)
            TypeKey(s.scan, s.shift ? MachineSession::SCAN_SHIFT : 0);
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
