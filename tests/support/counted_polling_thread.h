#pragma once
#include "ondrel/acquisition/polling_thread.h"
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace ondrel::testing {

// A polling thread for tests: each Start runs a set number of ticks, back to
// back, on a thread of its own, then waits for Stop. Handed work queues up
// until the test runs it on its own thread, as the program thread would.
class CountedPollingThread final : public IPollingThread {
public:
    explicit CountedPollingThread(int ticksPerStart) : ticksPerStart_(ticksPerStart) {}
    ~CountedPollingThread() override { Stop(); }

    void Start(int32_t interval, std::function<void()> tick) override
    {
        Stop();
        intervals.push_back(interval);
        {
            std::lock_guard lock(mutex_);
            ticked_ = 0;
            stopping_ = false;
        }
        worker_ = std::thread([this, tick = std::move(tick)] {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return !held_ || stopping_; });
                if (stopping_)
                    return;
            }
            for (int i = 0; i < ticksPerStart_; ++i) {
                tick();
                std::lock_guard lock(mutex_);
                ++ticked_;
                changed_.notify_all();
            }
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_; });
        });
    }
    void Stop() override
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (worker_.joinable())
            worker_.join();
    }
    void Post(std::function<void()> work) override
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(work));
    }

    // The ticks wait for Release, from the next Start on.
    void Hold()
    {
        std::lock_guard lock(mutex_);
        held_ = true;
    }
    void Release()
    {
        {
            std::lock_guard lock(mutex_);
            held_ = false;
        }
        changed_.notify_all();
    }
    // Until the ticks of this Start are done; false after a minute without.
    bool WaitForTicks()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::minutes(1), [this] { return ticked_ == ticksPerStart_; });
    }
    // Runs what was handed over, in order, on the calling thread.
    void RunPosted()
    {
        std::vector<std::function<void()>> work;
        {
            std::lock_guard lock(mutex_);
            work.swap(posted_);
        }
        for (auto& item : work)
            item();
    }

    std::vector<int32_t> intervals; // of each Start

private:
    const int ticksPerStart_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int ticked_ = 0;
    bool stopping_ = false;
    bool held_ = false;
    std::vector<std::function<void()>> posted_;
    std::thread worker_;
};

} // namespace ondrel::testing
