#include "tickwell/platform_timer.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <sys/timerfd.h>

namespace tickwell {

namespace {

std::atomic<int> resolutionRequests{0};

constexpr int64_t NsPerMs = 1000000;
constexpr int64_t GridOffsetNs = NsPerMs / 2;

int64_t monotonicNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

} // namespace

uint32_t millisecondClock() { return static_cast<uint32_t>(static_cast<uint64_t>(monotonicNs() / NsPerMs)); }

uint32_t lastGridMillisecond()
{
    return static_cast<uint32_t>(static_cast<uint64_t>((monotonicNs() - GridOffsetNs) / NsPerMs));
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

std::unique_ptr<PeriodicTimer> PeriodicTimer::start(int timerFd)
{
    // Expiries fall in the middle of each millisecond of the clock that the
    // passes read, so jitter under half a millisecond never makes two ticks
    // read the same millisecond (or skip one): the first at least one period
    // from now, then every millisecond on that grid.
    const int64_t now = monotonicNs();
    const int64_t first = (now / NsPerMs) * NsPerMs + NsPerMs + GridOffsetNs;
    itimerspec grid{};
    grid.it_interval.tv_nsec = NsPerMs;
    grid.it_value.tv_sec = static_cast<time_t>(first / 1000000000);
    grid.it_value.tv_nsec = static_cast<long>(first % 1000000000);
    if (::timerfd_settime(timerFd, TFD_TIMER_ABSTIME, &grid, nullptr) != 0)
        return nullptr;
    return std::unique_ptr<PeriodicTimer>(new PeriodicTimer(timerFd));
}

PeriodicTimer::~PeriodicTimer()
{
    const itimerspec disarmed{};
    ::timerfd_settime(timerFd_, 0, &disarmed, nullptr);
}

} // namespace tickwell
