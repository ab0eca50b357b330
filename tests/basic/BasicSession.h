// Our BASIC on the emulated machine, for tests: a started machine that types lines, runs
// until the BASIC waits for a key again, and keeps a transcript of every row that appeared
// on the screen (rows that scrolled away included), so that a test can read a program's
// whole output. Built on MachineSession.
//
//   BasicSession basic;
//   basic.Enter("10 PRINT 6*7\nRUN");     // lines typed, each followed by Enter
//   EXPECT_EQ(basic.Output(), Lines{" 42", "Ready"});
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "MachineSession.h"

using Lines = std::vector<std::string>;

class BasicSession {
public:
    BasicSession();

    // Types each line of text with Enter after it, and after each Enter runs until the BASIC
    // waits for a key (the cursor shows and the screen stays still), at most maxFrames.
    // Output() then holds what appeared after the last typed line.
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
    // The emulated cycles the last RunUntilIdle took.
    long long Cycles() const { return lastCycles; }

private:
    void Step();        // a slice in small steps, following the screen after each
    void Follow();      // moves rows that scrolled off into the transcript
    int CursorRow(int* column = nullptr);  // the cursor's row (and column), -1 when none
    void TypeKey(std::uint8_t scan, std::uint8_t modifier);

    MachineSession machine;
    Lines shown;                    // the screen at the last step
    Lines last;                     // a look that matched nothing
    bool unmatched = false;
    Lines transcript;               // rows that have scrolled off the screen
    std::size_t mark = 0;           // where Output() starts, counting the screen after them
    long long lastCycles = 0;
};
