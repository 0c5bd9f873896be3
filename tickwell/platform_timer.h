#pragma once
// The platform side of the timer: the 32-bit millisecond clock, the supported
// period range, the resolution request, and the 1 ms periodic thread.
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

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
// begin is matched by exactly one end. The timer thread itself runs with
// minimal timer slack.
void beginResolution(uint32_t periodMs);
void endResolution(uint32_t periodMs);
int activeResolutionRequests();

// A thread that, every millisecond of the monotonic clock (absolute grid),
// signals `tickFd` (an eventfd) with the millisecond clock of that moment
// (written plus one), but never before the previous tick has been
// acknowledged on its own eventfd (ackFd()); it waits for that unless it is
// cancelled. A tick that comes due while the previous one is still being
// handled is not queued: at most one tick is outstanding, and missed grid
// points are skipped. The thread asks
// for real-time scheduling and goes on quietly without it.
class PeriodicTimer {
public:
    // nullptr when the thread or its descriptors cannot be created.
    static std::unique_ptr<PeriodicTimer> start(int tickFd);
    // Cancels and joins: returns promptly even while a tick is outstanding.
    ~PeriodicTimer();
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    // Where the owning thread acknowledges a tick.
    int ackFd() const { return ackFd_; }

private:
    PeriodicTimer(int tickFd, int ackFd, int timerFd);
    void run();

    int tickFd_;
    int ackFd_;   // non-blocking; waited on with poll() only while a pass runs
    int timerFd_; // blocking: the thread sleeps in read()
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace tickwell
