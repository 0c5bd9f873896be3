#pragma once
#include <cstdint>

namespace ondrel {

// The most one tick reads from a data file. Far above what the fastest speed
// needs per tick; it bounds the buffer a description with absurd channel
// counts and speeds could otherwise ask for.
inline constexpr int64_t kMaxStepBytes = 16 << 20;

// What one reader did in one replay tick.
struct ReplayStep {
    int64_t scans = 0; // scans drawn
    bool end = false;  // the data are exhausted: the tick stops the replay
};

} // namespace ondrel
