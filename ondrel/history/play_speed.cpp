#include "ondrel/history/play_speed.h"

#include "ondrel/common/clock.h"
#include "ondrel/common/rounding.h"

#include <algorithm>
#include <cmath>

namespace ondrel {

namespace {

// Time a single tick may make up for: enough to cover chart frames and other
// work on the thread, short of replaying seconds at once after a stall.
constexpr uint32_t kMaxCatchUpMs = 100;

} // namespace

PlaySpeed PlaySpeedFor(double scansPerSecond)
{
    const double v = std::isnan(scansPerSecond) ? 1.0 : std::max(scansPerSecond, 1.0);
    if (v <= 1000.0)
        return {1, std::max(1, RoundToInt32(1000.0 / v))};
    return {std::max(1, RoundToInt32(v / 1000.0)), 1};
}

void PlayPace::Start(uint32_t nowMs)
{
    lastMs_ = nowMs;
    owed_ = 0.0;
}

int64_t PlayPace::ScansDue(uint32_t nowMs, double scansPerSecond, int32_t intervalMs)
{
    const uint32_t elapsed = ElapsedMs(lastMs_, nowMs);
    lastMs_ = nowMs;
    const uint32_t limit = std::max(kMaxCatchUpMs, 2 * static_cast<uint32_t>(std::max(intervalMs, 1)));
    owed_ += std::max(scansPerSecond, 0.0) * std::min(elapsed, limit) / 1000.0;
    // Nearest whole scan: a tick a millisecond early still draws its scan.
    const double due = std::floor(owed_ + 0.5);
    owed_ -= due;
    return static_cast<int64_t>(due);
}

} // namespace ondrel
