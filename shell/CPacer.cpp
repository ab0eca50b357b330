#include "shell/CPacer.h"

#include "core/CEmuApp.h"

CPacer::CPacer(std::function<bool()> slice, std::function<void()> show)
    : slice(std::move(slice)), show(std::move(show))
{
    connect(&batches, &QTimer::timeout, this, [this] { RunBatch(); });
}

int CPacer::OnTick()
{
    // Unpaced, the batches run the machine and the ticks are dropped, as while paused.
    if (paused || hurry != 0 || !slice())
        return 0;
    ++slices;
    show();
    return 1;
}

void CPacer::SetPaused(bool on)
{
    paused = on;
    Update();
}

void CPacer::SetHurry(Hurry who, bool on)
{
    hurry = on ? hurry | who : hurry & ~static_cast<unsigned>(who);
    Update();
}

void CPacer::Update()
{
    if (Unpaced() && !batches.isActive()) {
        mhz = 0;
        figureSlices = 0;
        figureClock.start();
        batches.start(0);
    } else if (!Unpaced()) {
        batches.stop();
        mhz = 0;
    }
    if (onChange)
        onChange();
}

void CPacer::RunBatch()
{
    QElapsedTimer batch;
    batch.start();
    std::uint64_t ran = 0;
    while (!batch.hasExpired(BATCH_MS) && slice())
        ++ran;
    slices += ran;
    if (ran != 0)
        show();
    // While the machine may not run, look again a tick later rather than spinning.
    batches.setInterval(ran != 0 ? 0 : static_cast<int>(CEmuApp::TICK_INTERVAL_MS));

    figureSlices += ran;
    const qint64 elapsed = figureClock.nsecsElapsed();
    if (elapsed >= qint64(FIGURE_MS) * 1000000) {
        // Cycles per microsecond are MHz.
        mhz = double(figureSlices) * CEmuApp::TICK_CYCLES / (double(elapsed) / 1000.0);
        figureSlices = 0;
        figureClock.restart();
        if (onChange)
            onChange();
    }
}
