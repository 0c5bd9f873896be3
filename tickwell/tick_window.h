#pragma once
// The owner-thread end of the tick hand-off: receives the timer thread's tick
// through the owning thread's event loop, runs the handler there, and lets the
// timer thread go on when the handler has finished.
#include <cstdint>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace tickwell {

class TickWindow {
public:
    // Created on the thread that will own the control; that thread must run a
    // Qt event loop. nullptr when it has none or descriptors cannot be made.
    // `onTick` receives the millisecond clock at which the tick was sent.
    static std::unique_ptr<TickWindow> create(std::function<void(uint32_t)> onTick);
    ~TickWindow();
    TickWindow(const TickWindow&) = delete;
    TickWindow& operator=(const TickWindow&) = delete;

    int tickFd() const { return tickFd_; }
    // The running timer thread's acknowledgement descriptor (-1: none).
    void setAckFd(int fd) { ackFd_ = fd; }

    // Ends the tick being handled: the waiting timer thread goes on. Does
    // nothing when no tick is outstanding (the timer was stopped meanwhile).
    void acknowledge();
    // After the timer thread is gone: forgets an undelivered or unanswered
    // tick and the thread's acknowledgement descriptor.
    void reset();

private:
    TickWindow(int tickFd, std::function<void(uint32_t)> onTick);
    void activated();

    int tickFd_;
    int ackFd_ = -1;
    std::function<void(uint32_t)> onTick_;
    QSocketNotifier* notifier_ = nullptr;
    bool outstanding_ = false;
    bool* destroyedFlag_ = nullptr; // set while a tick is being handled
};

} // namespace tickwell
