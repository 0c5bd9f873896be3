#include "tickwell/tick_window.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <QThread>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tickwell {

std::unique_ptr<TickWindow> TickWindow::create(std::function<void(uint32_t)> onTick)
{
    if (!QAbstractEventDispatcher::instance(QThread::currentThread()))
        return nullptr;
    int tick = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
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
    uint64_t v = 0;
    if (::read(tickFd_, &v, sizeof v) != static_cast<ssize_t>(sizeof v))
        return; // nothing there (drained by a stop)
    outstanding_ = true;
    bool destroyed = false;
    destroyedFlag_ = &destroyed;
    auto handler = onTick_; // the handler may destroy this window (and onTick_)
    handler(static_cast<uint32_t>(v - 1));
    if (!destroyed)
        destroyedFlag_ = nullptr;
}

void TickWindow::acknowledge()
{
    if (!outstanding_ || ackFd_ < 0)
        return;
    outstanding_ = false;
    uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(ackFd_, &one, sizeof one);
}

void TickWindow::reset()
{
    outstanding_ = false;
    ackFd_ = -1;
    uint64_t v; // one read empties an eventfd counter
    [[maybe_unused]] ssize_t n = ::read(tickFd_, &v, sizeof v);
}

} // namespace tickwell
