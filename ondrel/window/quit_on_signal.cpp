#include "ondrel/window/quit_on_signal.h"
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace ondrel {

namespace {

int wakeFd = -1;
bool quitRequested = false;

// Only async-signal-safe work here: the event loop does the rest.
void OnSignal(int)
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd, &one, sizeof one);
}

void OnWake()
{
    // Reading resets the counter: an unread eventfd stays readable and its
    // notifier would fire on every pass of whatever loop is running.
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(wakeFd, &count, sizeof count);
    quitRequested = true;
    QCoreApplication::quit();
}

} // namespace

void QuitOnTerminationSignals()
{
    if (wakeFd >= 0)
        return;
    wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0)
        return;
    auto* notifier = new QSocketNotifier(wakeFd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, &OnWake);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

int ExecUntilQuit() { return quitRequested ? 0 : QCoreApplication::exec(); }

} // namespace ondrel
