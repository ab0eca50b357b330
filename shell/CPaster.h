// Paste: types text into the machine as key strokes on slice boundaries, running the machine
// unpaced for as long as keys are queued. The main window's Paste, a dropped file and the
// file named on the command line come here; the window's slice calls BeforeSlice().
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "core/CKeyFeeder.h"

class CPacer;

class CPaster {
public:
    CPaster(CKeyboard& keyboard, const CCpu& cpu, CPacer& pacer);

    // Queues the text behind what is still queued. With waitForPrompt the keys wait for the
    // machine's software to show its first prompt. Returns the characters skipped.
    std::size_t Type(std::string_view utf8, bool waitForPrompt = false);
    // Drops the rest of the queue.
    void Cancel();
    bool Busy() const { return feeder.Busy(); }

    void BeforeSlice();

    // Called once when the queue has run out or was cancelled, with the number of
    // characters skipped since the typing began.
    void SetDoneHandler(std::function<void(std::size_t skipped)> handler) { done = std::move(handler); }

private:
    void Finish();

    CKeyFeeder feeder;
    CPacer& pacer;
    std::function<void(std::size_t)> done;
    std::size_t skipped = 0;
    bool active = false;
};
