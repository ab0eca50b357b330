#include "shell/CEventPoster.h"

#include <QCoreApplication>

void CEventPoster::SetTarget(QObject* newTarget)
{
    std::lock_guard<std::mutex> guard(lock);
    target = newTarget;
}

bool CEventPoster::Post(QEvent::Type type)
{
    // Held while posting, so that SetTarget(nullptr) returns only when no post to the old
    // target is still under way.
    std::lock_guard<std::mutex> guard(lock);
    if (!target)
        return false;
    QCoreApplication::postEvent(target, new QEvent(type));
    return true;
}
