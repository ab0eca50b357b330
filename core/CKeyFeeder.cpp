#include "core/CKeyFeeder.h"

#include "cpu/CCpu.h"
#include "devices/CKeyboard.h"

void CKeyFeeder::Queue(const std::vector<KeyStroke>& strokes)
{
    queue.insert(queue.end(), strokes.begin(), strokes.end());
}

void CKeyFeeder::BeforeSlice()
{
    if (phase == Phase::Holding && left == 0) {
        Release();
        phase = Phase::Gap;
        left = timing.gap;
    }
    if (phase == Phase::Gap && left == 0)
        phase = Phase::Idle;
    if (phase == Phase::Idle && !queue.empty() && PromptShown()) {
        Press(queue.front());
        queue.pop_front();
        phase = Phase::Holding;
        left = timing.hold;
    }
    // The slice about to run counts towards the phase.
    if (left > 0)
        --left;
}

bool CKeyFeeder::PromptShown()
{
    if (promptWait == 0)
        return true;
    const bool waiting = (cpu.pendingEvents & CCpu::EVENT_HALT) != 0 && cpu.Regs().iff1 != 0;
    promptWait = waiting ? 0 : promptWait - 1;
    return promptWait == 0;
}

void CKeyFeeder::Cancel()
{
    queue.clear();
    if (phase == Phase::Holding)
        Release();
    phase = Phase::Idle;
    left = 0;
    promptWait = 0;
}

void CKeyFeeder::Press(const KeyStroke& stroke)
{
    held = stroke;
    if (stroke.shift)
        keyboard.KeyDown(CTypist::SCAN_SHIFT);
    keyboard.KeyDown(stroke.scan);
}

void CKeyFeeder::Release()
{
    keyboard.KeyUp(held.scan);
    if (held.shift)
        keyboard.KeyUp(CTypist::SCAN_SHIFT);
}
