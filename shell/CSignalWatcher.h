// Lets SIGTERM, SIGINT and SIGHUP end the desktop program the way its Exit button does, with
// the machine's files closed and the sound device shut. A signal handler may do next to
// nothing, so it only writes the signal's number into a pipe; a socket notifier reads the pipe
// on the user-interface thread and calls the handler given there. main() creates one right
// after the application object and keeps it to the end; the previous handlers come back with
// its destruction.
#pragma once

#include <array>
#include <functional>

#include <csignal>

class QSocketNotifier;

class CSignalWatcher {
public:
    static constexpr std::array<int, 3> SIGNALS = {SIGTERM, SIGINT, SIGHUP};

    explicit CSignalWatcher(std::function<void(int signal)> handler);
    ~CSignalWatcher();
    CSignalWatcher(const CSignalWatcher&) = delete;
    CSignalWatcher& operator=(const CSignalWatcher&) = delete;

private:
    static void OnSignal(int signal);
    void Drain();

    std::function<void(int)> handler;
    int pipeEnds[2] = {-1, -1};
    QSocketNotifier* notifier = nullptr;
    std::array<struct sigaction, SIGNALS.size()> previous{};
};
