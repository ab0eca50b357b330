#include "BasicSession.h"

#include <algorithm>
#include <stdexcept>

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
    shown = machine.Screen();
    if (!RunUntilIdle(500))
        throw std::runtime_error("the BASIC did not come up");
    transcript.clear();  // what start-up left in video memory is no output
}

// A slice as the application runs it, in steps, following the screen after each.
void BasicSession::Step()
{
    CCpu& cpu = machine.App().Cpu();
    const auto before = cpu.CyclesExecuted();
    for (int i = 0; i < STEPS; ++i) {
        cpu.AddCycles(CEmuApp::TICK_CYCLES / STEPS);
        cpu.Run(CEmuApp::TICK_CYCLES / STEPS);
        Follow();
    }
    cpu.RequestNmi();
    lastCycles += static_cast<long long>(cpu.CyclesExecuted() - before);
}

// Rows that scrolled off the top since the last look go to the transcript. The new screen
// is the old one scrolled by k rows when the old rows from k on are the new rows from 0 on,
// apart from at most two or three rows written to in the meantime; the smallest such k counts. A
// look in the middle of a scroll matches nothing and is skipped, unless the screen stays
// like that: then it was changed in place. A screen that became blank was cleared.
void BasicSession::Follow()
{
    Lines now = machine.Screen();
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
        Keys(text.substr(start, end - start) + "\n", maxFrames);
        start = end + 1;
    }
}

void BasicSession::Keys(const std::string& script, int maxFrames)
{
    std::vector<KeyStroke> strokes;
    std::string error;
    for (std::size_t at = 0; at < script.size();) {
        if (script[at] == '^' && at + 1 < script.size() && script[at + 1] >= 'A' && script[at + 1] <= 'Z') {
            TypeKey(CTypist::StrokeFor(static_cast<std::uint8_t>(script[at + 1] - 'A' + 'a'))->scan,
                    MachineSession::SCAN_CTRL);
            at += 2;
            continue;
        }
        std::size_t end = std::min(script.find('^', at + 1), script.size());
        if (!CTypist::Plan(script.substr(at, end - at), strokes, error))
            throw std::invalid_argument(error);
        for (const KeyStroke& s : strokes)
            TypeKey(s.scan, s.shift ? MachineSession::SCAN_SHIFT : 0);
        at = end;
    }
    RunUntilIdle(maxFrames);
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
