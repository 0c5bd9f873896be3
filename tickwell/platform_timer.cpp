#include "tickwell/platform_timer.h"

#include <cerrno>
#include <ctime>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace tickwell {

namespace {

std::atomic<int> resolutionRequests{0};

// Blocks until the timerfd has expired, then takes the expirations.
bool takeExpiry(int fd)
{
    uint64_t v;
    for (;;) {
        ssize_t n = ::read(fd, &v, sizeof v);
        if (n == static_cast<ssize_t>(sizeof v))
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        return false;
    }
}

// Takes the acknowledgement from a non-blocking eventfd, waiting for it only
// when it is not there yet (the pass is still running).
bool takeAcknowledgement(int fd)
{
    uint64_t v;
    for (;;) {
        if (::read(fd, &v, sizeof v) == static_cast<ssize_t>(sizeof v))
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return false;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, -1) < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

uint32_t millisecondClock()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                 static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

PeriodRange supportedPeriods()
{
    timespec res{};
    uint32_t smallest = 1;
    if (::clock_getres(CLOCK_MONOTONIC, &res) == 0) {
        uint64_t ns = static_cast<uint64_t>(res.tv_sec) * 1000000000u + static_cast<uint64_t>(res.tv_nsec);
        smallest = static_cast<uint32_t>(std::max<uint64_t>(1, (ns + 999999) / 1000000));
    }
    return PeriodRange{smallest, 1000000};
}

void beginResolution(uint32_t) { resolutionRequests.fetch_add(1, std::memory_order_relaxed); }
void endResolution(uint32_t) { resolutionRequests.fetch_sub(1, std::memory_order_relaxed); }
int activeResolutionRequests() { return resolutionRequests.load(std::memory_order_relaxed); }

std::unique_ptr<PeriodicTimer> PeriodicTimer::start(int tickFd)
{
    int timerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    if (timerFd < 0)
        return nullptr;
    int ackFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (ackFd < 0) {
        ::close(timerFd);
        return nullptr;
    }
    // Expiries fall in the middle of each millisecond of the clock that the
    // passes read, so jitter under half a millisecond never makes two ticks
    // read the same millisecond (or skip one): the first at least one period
    // from now, then every millisecond on that grid.
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    itimerspec grid{};
    grid.it_interval.tv_nsec = 1000000;
    grid.it_value.tv_sec = now.tv_sec;
    grid.it_value.tv_nsec = (now.tv_nsec / 1000000) * 1000000 + 1500000;
    if (grid.it_value.tv_nsec >= 1000000000) {
        grid.it_value.tv_nsec -= 1000000000;
        ++grid.it_value.tv_sec;
    }
    if (::timerfd_settime(timerFd, TFD_TIMER_ABSTIME, &grid, nullptr) != 0) {
        ::close(timerFd);
        ::close(ackFd);
        return nullptr;
    }
    std::unique_ptr<PeriodicTimer> t(new PeriodicTimer(tickFd, ackFd, timerFd));
    try {
        t->thread_ = std::thread([p = t.get()] { p->run(); });
    } catch (...) {
        return nullptr; // the destructor closes the descriptors
    }
    return t;
}

PeriodicTimer::PeriodicTimer(int tickFd, int ackFd, int timerFd) : tickFd_(tickFd), ackFd_(ackFd), timerFd_(timerFd) {}

PeriodicTimer::~PeriodicTimer()
{
    // Wake the thread wherever it sleeps: in the acknowledgement wait (a
    // count on ackFd) or in the timer wait (an expiry right now).
    stop_.store(true, std::memory_order_release);
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(ackFd_, &one, sizeof one);
    itimerspec soon{};
    soon.it_value.tv_nsec = 1;
    ::timerfd_settime(timerFd_, 0, &soon, nullptr);
    if (thread_.joinable())
        thread_.join();
    ::close(timerFd_);
    ::close(ackFd_);
}

void PeriodicTimer::run()
{
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    // Real-time scheduling where the system grants it; without it the timer
    // only waits a little longer behind busy threads.
    sched_param param{};
    param.sched_priority = std::max(1, sched_get_priority_min(SCHED_FIFO));
    ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &param);

    // The thread sleeps until the next grid point and only then collects the
    // acknowledgement of the tick before: no tick is sent before the previous
    // pass has finished, with one wake-up per millisecond instead of two.
    bool outstanding = false;
    for (;;) {
        // Several expirations in one read mean a late tick: one is sent, none made up.
        if (!takeExpiry(timerFd_) || stop_.load(std::memory_order_acquire))
            return;
        if (outstanding && (!takeAcknowledgement(ackFd_) || stop_.load(std::memory_order_acquire)))
            return;
        // The tick carries the clock at its deadline (plus one: an eventfd
        // write of zero would be lost).
        const uint64_t stamp = uint64_t(millisecondClock()) + 1;
        if (::write(tickFd_, &stamp, sizeof stamp) != static_cast<ssize_t>(sizeof stamp))
            return;
        outstanding = true;
    }
}

} // namespace tickwell
