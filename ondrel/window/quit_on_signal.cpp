#include "ondrel/window/quit_on_signal.h"
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/eventfd.h>
#include <unistd.h>

namespace ondrel {

namespace {

int wakeFd = -1;

// Only async-signal-safe work here: the event loop does the rest.
void OnSignal(int)
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd, &one, sizeof one);
}

} // namespace

void QuitOnTerminationSignals()
{
    wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0)
        return;
    auto* notifier = new QSocketNotifier(wakeFd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

} // namespace ondrel
