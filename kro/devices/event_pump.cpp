#include "kro/devices/event_pump.h"
#include <QSocketNotifier>
#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kro {

EventPump::EventPump() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (fd_ < 0)
        throw std::runtime_error("cannot create the device event channel");
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &EventPump::drain);
}

EventPump::~EventPump()
{
    delete notifier_;
    ::close(fd_);
}

void EventPump::post(std::function<void()> call)
{
    queue_.push(std::move(call));
    const uint64_t one = 1;
    // A full counter (never reached in practice) still leaves the fd readable.
    [[maybe_unused]] const auto written = ::write(fd_, &one, sizeof one);
}

void EventPump::drain()
{
    uint64_t ignored = 0;
    [[maybe_unused]] const auto read = ::read(fd_, &ignored, sizeof ignored);

    const std::weak_ptr<int> alive = alive_;
    while (const std::function<void()> call = queue_.take()) {
        call();
        if (alive.expired()) // the call destroyed the pump's owner
            return;
    }
}

} // namespace kro
