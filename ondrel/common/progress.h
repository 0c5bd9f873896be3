#pragma once
#include <cstdint>
#include <exception>
#include <functional>

namespace ondrel {

// Long work reports the fraction done, 0 to 1, now and then; an answer of
// false asks it to stop.
using Progress = std::function<bool(double fraction)>;

// Thrown out of long work that was asked to stop.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "Cancelled"; }
};

// Bytes done out of a known total, reported as they come; throws Cancelled
// when the report asks to stop. No report is fine: nothing is asked then.
class ProgressCounter {
public:
    ProgressCounter(const Progress& report, uint64_t totalBytes) : report_(report), total_(totalBytes) {}
    void Add(uint64_t bytes)
    {
        done_ += bytes;
        if (report_ && !report_(total_ == 0 ? 1.0 : static_cast<double>(done_) / static_cast<double>(total_)))
            throw Cancelled{};
    }

private:
    const Progress& report_;
    uint64_t total_;
    uint64_t done_ = 0;
};

} // namespace ondrel
