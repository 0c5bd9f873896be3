#pragma once
#include "ondrel/acquisition/polling_thread.h"
#include <deque>
#include <functional>
#include <vector>

namespace ondrel::testing {

// The polling thread's synchronous double: Tick runs one tick on the calling
// thread, as the polling thread would, and then what that tick handed over,
// as the program thread's events would next. Ticks stop with Stop, as there.
class SyncPollingThread final : public IPollingThread {
public:
    void Start(int32_t interval, std::function<void()> tick) override
    {
        intervals.push_back(interval);
        tick_ = std::move(tick);
    }
    void Stop() override { tick_ = nullptr; }
    void Post(std::function<void()> work) override { posted_.push_back(std::move(work)); }

    // One tick and what it handed over; false, doing nothing, when stopped.
    bool Tick()
    {
        if (!tick_)
            return false;
        const auto tick = tick_; // the handed-over work may stop the run
        tick();
        RunPosted();
        return true;
    }
    void RunPosted()
    {
        while (!posted_.empty()) {
            auto work = std::move(posted_.front());
            posted_.pop_front();
            work();
        }
    }
    bool Ticking() const { return static_cast<bool>(tick_); }

    std::vector<int32_t> intervals; // of each Start

private:
    std::function<void()> tick_;
    std::deque<std::function<void()>> posted_;
};

} // namespace ondrel::testing
