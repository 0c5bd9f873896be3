#include "ondrel/window/quit_on_signal.h"
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>

namespace ondrel {
namespace {

// A TERM that comes while a start-up message box runs its own loop, before
// the program's event loop: the signal is taken once, and the program then
// ends instead of entering its loop.
TEST(QuitOnTerminationSignals, ASignalBeforeTheEventLoopIsTakenOnceAndEndsTheProgram)
{
    QuitOnTerminationSignals();
    const auto notifiers = QCoreApplication::instance()->findChildren<QSocketNotifier*>();
    ASSERT_EQ(notifiers.size(), 1);
    int wakes = 0;
    QObject::connect(notifiers.front(), &QSocketNotifier::activated, [&] { ++wakes; });

    std::raise(SIGTERM);
    // What a message box's loop does while it waits for an answer.
    for (int pass = 0; pass < 5; ++pass)
        QCoreApplication::processEvents();
    EXPECT_EQ(wakes, 1) << "the wake-up was not read and fires on every pass";

    bool loopRan = false;
    QTimer loopProbe;
    loopProbe.setSingleShot(true);
    QObject::connect(&loopProbe, &QTimer::timeout, [&] {
        loopRan = true;
        QCoreApplication::quit();
    });
    loopProbe.start(0);
    EXPECT_EQ(ExecUntilQuit(), 0);
    EXPECT_FALSE(loopRan) << "the quit asked for before the loop was lost";
}

} // namespace
} // namespace ondrel
