#pragma once
#include <deque>
#include <functional>
#include <mutex>

namespace kro {

// Work handed from any thread to one that runs it, in order. A job is taken
// out before it runs, so a job may queue more (they run after it) without
// holding the lock.
class JobQueue {
public:
    void push(std::function<void()> job)
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }

    bool empty()
    {
        std::lock_guard lock(mutex_);
        return jobs_.empty();
    }

    // The oldest job, removed from the queue; an empty function when none is left.
    std::function<void()> take()
    {
        std::lock_guard lock(mutex_);
        if (jobs_.empty())
            return {};
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        return job;
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> jobs_;
};

} // namespace kro
