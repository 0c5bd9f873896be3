#pragma once
// The benchmarks' way of letting the program run: the event loop for a given
// time (sleeping between events, as the program does), or until `stop` holds.
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <functional>

inline void RunFor(
    double seconds, const std::function<bool()>& stop = [] { return false; })
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (stop())
            loop.quit();
    });
    check.start(100);
    loop.exec();
}
