#pragma once
// The owner-thread end of the timer: the owning thread's event loop watches
// the periodic timer's descriptor and runs the handler there, one tick per
// wake-up however many expiries piled up meanwhile.
#include <cstdint>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace tickwell {

class TickWindow {
public:
    // Created on the thread that will own the control; that thread must run a
    // Qt event loop. nullptr when it has none or the descriptor cannot be made.
    // `onTick` receives the millisecond clock at which the tick was due.
    static std::unique_ptr<TickWindow> create(std::function<void(uint32_t)> onTick);
    ~TickWindow();
    TickWindow(const TickWindow&) = delete;
    TickWindow& operator=(const TickWindow&) = delete;

    // The timerfd a PeriodicTimer arms.
    int tickFd() const { return tickFd_; }
    // After the periodic timer is disarmed: forgets an expiry not yet handled.
    void reset();

private:
    TickWindow(int tickFd, std::function<void(uint32_t)> onTick);
    void activated();

    int tickFd_;
    std::function<void(uint32_t)> onTick_;
    QSocketNotifier* notifier_ = nullptr;
    bool* destroyedFlag_ = nullptr; // set while a tick is being handled
};

} // namespace tickwell
