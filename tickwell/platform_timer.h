#pragma once
// The platform side of the timer: the 32-bit millisecond clock, the supported
// period range, the resolution request, and the 1 ms periodic expiry.
#include <cstdint>
#include <memory>

namespace tickwell {

// Milliseconds of the monotonic clock, modulo 2^32.
uint32_t millisecondClock();

// Smallest and largest supported timer period in milliseconds.
struct PeriodRange {
    uint32_t smallest;
    uint32_t largest;
};
PeriodRange supportedPeriods();

// Resolution requests held by running periodic timers in this process; every
// begin is matched by exactly one end. The expiries themselves are kernel
// high-resolution timers, which timer slack never delays.
void beginResolution(uint32_t periodMs);
void endResolution(uint32_t periodMs);
int activeResolutionRequests();

// Arms a timerfd (made by the owner, see TickWindow) to expire every
// millisecond of the monotonic clock, on an absolute grid half-way through
// each millisecond; disarms it when destroyed. The owning thread's event loop
// reads the expiries: expiries that pile up while a pass runs are read as one
// tick, so no tick is queued behind another and missed grid points are skipped.
//
// There is no timer thread: a thread would add a second wake-up per
// millisecond only to hand the tick to the owner, which wakes anyway.
class PeriodicTimer {
public:
    // nullptr when the descriptor cannot be armed.
    static std::unique_ptr<PeriodicTimer> start(int timerFd);
    ~PeriodicTimer();
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

private:
    explicit PeriodicTimer(int timerFd) : timerFd_(timerFd) {}
    int timerFd_;
};

// The millisecond clock at the latest grid point at or before now: the time
// a tick read now was due.
uint32_t lastGridMillisecond();

} // namespace tickwell
