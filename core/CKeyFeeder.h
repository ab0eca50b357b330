// Types a queue of key strokes into the keyboard translator, pressing and releasing keys
// only on slice boundaries and no faster than the machine's software takes them. Whoever
// runs the slices calls BeforeSlice() before each one: the window's paste and file loading,
// and the headless runner's --type and --paste.
#pragma once

#include <cstddef>
#include <deque>
#include <vector>

#include "core/CTypist.h"

class CCpu;
class CKeyboard;

class CKeyFeeder {
public:
    // How keys are typed, in frames (slices). The machine's software takes a key in its
    // keyboard interrupt, which runs in the first slice after the press, reading the code from
    // the port, and queues it; its editor takes a key well within a frame, and the keys that
    // come while Enter stores a line wait in that queue.
    struct Timing {
        unsigned hold;  // a key is held this many slices
        unsigned gap;   // from its release to the next press
    };
    // Two frames a key: one press per slice is the most that one interrupt a slice can take,
    // and the slice with the key up lets the software see every key released before the next
    // (its own key repeat starts on a key held 25 frames). With the BASIC in ROM, a 300-line
    // listing typed this way comes back exactly, and so does one typed at one frame a key.
    static constexpr Timing TIMING{1, 1};

    // How long BeforeSlice() waits at most for the software's first prompt.
    static constexpr unsigned PROMPT_WAIT_FRAMES = 250;

    CKeyFeeder(CKeyboard& keyboard, const CCpu& cpu, Timing timing = TIMING)
        : keyboard(keyboard), cpu(cpu), timing(timing)
    {
    }

    // Adds strokes behind those already queued.
    void Queue(const std::vector<KeyStroke>& strokes);
    // The next presses wait until the machine's software shows its first prompt: the
    // processor halted with interrupts enabled at the end of a slice, waiting for a key, or
    // PROMPT_WAIT_FRAMES slices at most.
    void WaitForPrompt() { promptWait = PROMPT_WAIT_FRAMES; }

    // Presses or releases what is due at this boundary.
    void BeforeSlice();
    // Releases a held key and drops everything queued.
    void Cancel();

    // Keys queued or held, or the pause after the last one not yet run.
    bool Busy() const { return !queue.empty() || phase == Phase::Holding || (phase == Phase::Gap && left > 0); }

private:
    enum class Phase { Idle, Holding, Gap };

    void Press(const KeyStroke& stroke);
    void Release();
    // False while the first prompt is awaited; counts the slices of the wait.
    bool PromptShown();

    CKeyboard& keyboard;
    const CCpu& cpu;
    Timing timing;
    std::deque<KeyStroke> queue;
    Phase phase = Phase::Idle;
    unsigned left = 0;  // slices of the phase still to run
    KeyStroke held{};
    unsigned promptWait = 0;
};
