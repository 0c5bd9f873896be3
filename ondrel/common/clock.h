#pragma once
#include <atomic>
#include <cstdint>

namespace ondrel {

// The 32-bit millisecond tick count that time stamps and scan intervals use. It
// wraps after about 49.7 days; differences taken with ElapsedMs stay right
// across one wrap.
class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t TickCount() = 0;
};

// Milliseconds of the monotonic clock, truncated to 32 bits.
class MonotonicClock final : public IClock {
public:
    uint32_t TickCount() override;
};

// A clock that moves only when told to, for tests of timed behaviour.
class ManualClock final : public IClock {
public:
    explicit ManualClock(uint32_t start = 0) : now_(start) {}
    uint32_t TickCount() override { return now_; }
    void Advance(uint32_t milliseconds) { now_ += milliseconds; }

private:
    std::atomic<uint32_t> now_; // read by a polling thread while a test advances it
};

inline uint32_t ElapsedMs(uint32_t startTicks, uint32_t nowTicks)
{
    return nowTicks - startTicks; // unsigned arithmetic absorbs the wrap
}

} // namespace ondrel
