#pragma once
#include <cstdint>

namespace ondrel {

// What one reader did in one replay tick.
struct ReplayStep {
    int64_t scans = 0; // scans drawn
    bool end = false;  // the data are exhausted: the tick stops the replay
};

} // namespace ondrel
