// Our BASIC on the emulated machine, for tests: a started machine that types lines, runs
// until the BASIC waits for a key again, and keeps a transcript of every row that appeared
// on the screen (rows that scrolled away, or that CLS cleared, included), so that a test can
// read a program's whole output. Built on MachineSession.
//
//   BasicSession basic;
//   basic.Enter("10 PRINT 6*7\nRUN");     // lines typed, each followed by Enter
//   EXPECT_EQ(basic.Output(), Lines{" 42", "Ready"});
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "MachineSession.h"
#include "devices/CDisplay.h"

using Lines = std::vector<std::string>;

// Program lines as LIST shows them: rows of 40 characters without trailing blanks, with ^ and
// the backslash shown as the national letters that share their codes.
Lines Listed(const Lines& program);

class BasicSession {
public:
    BasicSession();

    // Types each line of text as it stands (a ^ is a ^) with Enter after it, and after each
    // Enter runs until the BASIC waits for a key (the cursor shows and the screen stays
    // still), at most maxFrames. Output() then holds what appeared after the last typed line.
    void Enter(const std::string& text, int maxFrames = 30000);
    // Types keys without Enter (MachineSession's script: ^C is Ctrl+C) and runs until idle.
    void Keys(const std::string& script, int maxFrames = 30000);
    // Runs frames until idle; false when the limit came first.
    bool RunUntilIdle(int maxFrames);
    // The Reset button, then frames until the BASIC waits at its prompt again.
    void Reset();

    // The rows that appeared after the last typed line, without trailing blanks or the
    // empty rows below the cursor.
    Lines Output() const { return OutputFrom(mark); }
    // Where Output() starts now, and the rows from such a place on.
    std::size_t Mark() const { return mark; }
    Lines OutputFrom(std::size_t from) const;
    Lines Screen() { return machine.Screen(); }
    MachineSession& Machine() { return machine; }
    // The cursor is the one cell with bit 7 set (the display blinks it): its row (and column),
    // -1 when there is none, or many as in video memory before start-up has cleared it.
    int CursorRow(int* column = nullptr);

private:
    void Step();        // a slice in small steps, following the screen after each
    using Range = std::pair<std::uint16_t, std::uint16_t>;
    static bool Within(const Range& range, std::uint16_t at) { return at >= range.first && at < range.second; }
    bool MovingRows();  // the BASIC is moving or clearing rows of the screen
    const Lines& Look();  // the screen now, as Screen() gives it
    void Follow(int gone);  // the first rows shown, gone since, go to the transcript
    void Type(const std::string& script, bool controls);  // controls: ^ and a capital is Ctrl
    void TypeKey(std::uint8_t scan, std::uint8_t modifier);

    MachineSession machine;
    Lines shown;                    // the screen at the last step
    Lines transcript;               // rows that have scrolled off the screen
    std::size_t mark = 0;           // where Output() starts, counting the screen after them
    Range scrollCode, moveCode, clearCode;  // the code that scrolls, moves, clears rows
    std::uint16_t leafCode = 0;     // the leaf routines the code above calls
    std::array<std::array<std::uint8_t, CDisplay::COLUMNS>, CDisplay::TEXT_ROWS> cellsSeen{};  // video memory at the last look
    Lines looked;                   // and its rows as text
    bool lookedOnce = false;
};
