#include "host/CTickSource.h"

#include <system_error>

CTickSource::CTickSource(std::chrono::milliseconds period) : period(period) {}

CTickSource::~CTickSource() { Stop(); }

bool CTickSource::Start(std::function<void()> onTick)
{
    if (worker.joinable() || !onTick || period.count() <= 0)
        return false;
    callback = std::move(onTick);
    stopRequested = false;
    try {
        worker = std::thread(&CTickSource::Loop, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CTickSource::Stop()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopRequested = true;
    }
    wake.notify_all();
    if (worker.joinable())
        worker.join();
}

void CTickSource::Loop()
{
    // Deadlines advance by whole periods from the start, so the source does not drift and a
    // late wake-up is followed by the missed expiries at once.
    auto deadline = std::chrono::steady_clock::now() + period;
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        // A condition variable rather than a plain sleep_until, so that Stop() need not wait
        // out the rest of a period.
        if (wake.wait_until(guard, deadline, [this] { return stopRequested; }))
            return;
        guard.unlock();
        callback();
        guard.lock();
        deadline += period;
    }
}
