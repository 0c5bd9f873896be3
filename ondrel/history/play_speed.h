#pragma once
#include <cstdint>

namespace ondrel {

// The HistoryTimer period and the scans an on-time tick draws for a replay
// speed in scans per second.
struct PlaySpeed {
    int32_t step = 1; // nHisPlayStep
    int32_t intervalMs = 100;
};

// From 10 to 1000 scans per second one scan per tick at 1000 / speed ms. The
// rule keeps the speed honest elsewhere too: slower speeds keep one scan per
// tick at a longer period (7 scans/s: 143 ms), faster ones tick every 1 ms and
// draw speed / 1000 scans a tick, so no speed plays nothing and none is capped.
// Speeds below 1 (or not a number) play at 1.
PlaySpeed PlaySpeedFor(double scansPerSecond);

// Converts the wall time between ticks into scans: a tick draws the scans its
// share of time owes at the set speed, so a period rounded to whole
// milliseconds, a late tick, or ticks the timer merged while the thread was
// busy neither slow nor speed up the replay. Time beyond a few periods (a
// stall) is not made up.
class PlayPace {
public:
    // Playing (re)starts now: nothing is owed yet.
    void Start(uint32_t nowMs);
    // The scans due at this tick.
    int64_t ScansDue(uint32_t nowMs, double scansPerSecond, int32_t intervalMs);

private:
    uint32_t lastMs_ = 0;
    double owed_ = 0.0; // scans, within half a scan of what the clock says
};

} // namespace ondrel
