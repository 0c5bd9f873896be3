#pragma once
#include "ondrel/acquisition/polling_thread.h"
#include "ondrel/components/timer_control.h"
#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

namespace ondrel {

// The polling thread on a timer control of its own: the control is made, run
// and destroyed on the thread, so its ticks arrive there (a control delivers
// its events on the thread that created it) and the window's frames never
// hold them up. The thread starts with the first polled run.
class TimerPollingThread final : public IPollingThread {
public:
    using TimerMaker = std::function<std::unique_ptr<ITimerControl>()>;

    explicit TimerPollingThread(TimerMaker makeTimer);
    ~TimerPollingThread() override;
    TimerPollingThread(const TimerPollingThread&) = delete;
    TimerPollingThread& operator=(const TimerPollingThread&) = delete;

    void Start(int32_t interval, std::function<void()> tick) override;
    void Stop() override;
    void Post(std::function<void()> work) override;

private:
    // Runs `work` on the polling thread and waits for it; what it throws is
    // thrown here.
    void RunThere(const std::function<void()>& work);
    // On the polling thread: ahead of the program thread where allowed.
    static void RaisePriority();

    TimerMaker makeTimer_;
    QThread thread_;
    QObject* there_;                       // lives on the polling thread
    QObject here_;                         // on the program thread: where handed work runs
    std::unique_ptr<ITimerControl> timer_; // polling thread only
    std::function<void()> tick_;           // polling thread only
};

} // namespace ondrel
