#include "shell/CSignalWatcher.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace {

// The write end for the handler, which can reach nothing else. One watcher at a time.
volatile std::sig_atomic_t writeEnd = -1;

}  // namespace

CSignalWatcher::CSignalWatcher(std::function<void(int)> handler) : handler(std::move(handler))
{
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return;
    }
    writeEnd = pipeEnds[1];
    notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, [this] { Drain(); });
    struct sigaction action {};
    action.sa_handler = &CSignalWatcher::OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < SIGNALS.size(); ++i)
        ::sigaction(SIGNALS[i], &action, &previous[i]);
}

CSignalWatcher::~CSignalWatcher()
{
    if (!notifier)
        return;
    for (std::size_t i = 0; i < SIGNALS.size(); ++i)
        ::sigaction(SIGNALS[i], &previous[i], nullptr);
    writeEnd = -1;
    delete notifier;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

void CSignalWatcher::OnSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (writeEnd >= 0)
        (void)!::write(writeEnd, &number, 1);  // a full pipe already holds a signal to act on
    errno = saved;
}

void CSignalWatcher::Drain()
{
    unsigned char numbers[16];
    ssize_t n;
    while ((n = ::read(pipeEnds[0], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < n; ++i)
            if (handler)
                handler(numbers[i]);
    }
}
