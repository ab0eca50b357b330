// The 20 ms pacing source: a thread that wakes on a steady clock every period and calls its
// callback once per expiry. The desktop shell's main window starts it when it is created and
// stops it before it is destroyed; the callback only posts an event to the UI thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class CTickSource {
public:
    explicit CTickSource(std::chrono::milliseconds period);
    ~CTickSource();
    CTickSource(const CTickSource&) = delete;
    CTickSource& operator=(const CTickSource&) = delete;

    // Starts the thread. The callback runs on that thread, once for every period that has
    // elapsed; a late wake-up makes up the missed expiries back to back, never merging them.
    // False when already running or when the thread cannot be created.
    bool Start(std::function<void()> onTick);
    // Stops and joins the thread; no callback runs once this returns. Safe to call twice.
    void Stop();
    bool Running() const { return worker.joinable(); }

private:
    void Loop();

    std::chrono::milliseconds period;
    std::function<void()> callback;
    std::mutex lock;
    std::condition_variable wake;
    bool stopRequested = false;
    std::thread worker;
};
