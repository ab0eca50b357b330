// Posts events from other threads (the tick source, the audio callback) to the main window.
// The target can be withdrawn before the window is deleted: a post that comes after that is
// lost, as a message to a window that no longer exists would be. The shell owns it and keeps
// it alive longer than anything that posts through it.
#pragma once

#include <mutex>

#include <QEvent>

class QObject;

class CEventPoster {
public:
    void SetTarget(QObject* target);
    // One new event of `type` for the target; returns false when there is none.
    bool Post(QEvent::Type type);

private:
    std::mutex lock;
    QObject* target = nullptr;
};
