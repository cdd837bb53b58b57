#pragma once
// Waiting for another thread in a test: the interface thread's events keep running while a
// predicate is polled, up to a generous bound (like QTRY_).

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <functional>

namespace fakes {

/// True as soon as `done()` holds; false when it still fails after `boundMs`.
inline bool WaitUntil(const std::function<bool()>& done, int boundMs = 10000)
{
    QDeadlineTimer deadline(boundMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents();
    }
    return true;
}

} // namespace fakes
