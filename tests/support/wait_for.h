#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>

// Runs the event loop until `done` holds or the deadline passes; returns
// whether it held.
template <typename Condition>
bool waitFor(Condition done, int deadlineMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > deadlineMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
