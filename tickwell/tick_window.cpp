#include "tickwell/tick_window.h"

#include "tickwell/platform_timer.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <QThread>
#include <sys/timerfd.h>
#include <unistd.h>

namespace tickwell {

std::unique_ptr<TickWindow> TickWindow::create(std::function<void(uint32_t)> onTick)
{
    if (!QAbstractEventDispatcher::instance(QThread::currentThread()))
        return nullptr;
    int tick = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    if (tick < 0)
        return nullptr;
    return std::unique_ptr<TickWindow>(new TickWindow(tick, std::move(onTick)));
}

TickWindow::TickWindow(int tickFd, std::function<void(uint32_t)> onTick) : tickFd_(tickFd), onTick_(std::move(onTick))
{
    notifier_ = new QSocketNotifier(static_cast<qintptr>(tickFd_), QSocketNotifier::Read);
    QObject::connect(notifier_, &QSocketNotifier::activated, notifier_, [this] { activated(); });
}

TickWindow::~TickWindow()
{
    notifier_->setEnabled(false);
    if (destroyedFlag_) {
        // Destroyed from inside its own tick handler: the notifier is still
        // delivering, so it goes once control is back in the event loop.
        *destroyedFlag_ = true;
        QObject::disconnect(notifier_, nullptr, nullptr, nullptr);
        notifier_->deleteLater();
    } else {
        delete notifier_;
    }
    ::close(tickFd_);
}

void TickWindow::activated()
{
    // The clock is read before the expiries: whatever delays this thread
    // between the two, the next tick's grid point is then always later than
    // this one's, where read after it could give two ticks the same one.
    const uint32_t due = lastGridMillisecond();
    uint64_t expiries = 0;
    if (::read(tickFd_, &expiries, sizeof expiries) != static_cast<ssize_t>(sizeof expiries))
        return; // nothing there (drained by a stop)
    bool destroyed = false;
    destroyedFlag_ = &destroyed;
    auto handler = onTick_; // the handler may destroy this window (and onTick_)
    handler(due);
    if (!destroyed)
        destroyedFlag_ = nullptr;
}

void TickWindow::reset()
{
    uint64_t v; // one read takes every expiry
    [[maybe_unused]] ssize_t n = ::read(tickFd_, &v, sizeof v);
}

} // namespace tickwell
