#include "shell/CPaster.h"

#include "core/CPasteText.h"
#include "shell/CPacer.h"

CPaster::CPaster(CKeyboard& keyboard, const CCpu& cpu, CPacer& pacer) : feeder(keyboard, cpu), pacer(pacer) {}

std::size_t CPaster::Type(std::string_view utf8, bool waitForPrompt)
{
    const CPasteText::Plan plan = CPasteText::Make(utf8);
    skipped += plan.skipped;
    if (waitForPrompt)
        feeder.WaitForPrompt();
    feeder.Queue(plan.strokes);
    active = true;
    pacer.SetHurry(CPacer::PASTE, true);
    return plan.skipped;
}

void CPaster::Cancel()
{
    if (!active)
        return;
    feeder.Cancel();
    Finish();
}

void CPaster::BeforeSlice()
{
    if (!active)
        return;
    feeder.BeforeSlice();
    // The last slice of the pause after the last key still runs, unpaced or not.
    if (!feeder.Busy())
        Finish();
}

void CPaster::Finish()
{
    active = false;
    pacer.SetHurry(CPacer::PASTE, false);
    const std::size_t count = skipped;
    skipped = 0;
    if (done)
        done(count);
}
