#pragma once
#include <cstdint>

namespace ondrel {

// How many points each plot keeps across the time axis. Every rounding goes
// to the nearest integer, ties to the even neighbour; a rate that is made an
// integer first is rounded before it is multiplied, as the modes define it.

// Buffered AI at `sampleRate` samples/s over `chanCount` channels: one point per
// scan across ten divisions.
int32_t BufferedChartLength(double sampleRate, int32_t chanCount, double secondsPerDiv);
// Polling every `timerIntervalMs`: whole polls per second times ten divisions,
// plus the point at the start of the window.
int32_t PolledChartLength(int32_t timerIntervalMs, double secondsPerDiv);
// Replay of scans `scanInterval` seconds apart: whole scans per second times
// ten divisions, no point added.
int32_t ReplayChartLength(double scanInterval, double secondsPerDiv);

// The lengths a run or an opened recording starts with, before any change of
// the time base. A cyclic buffered run keeps `sampleRate` × span points (the
// aggregate rate, all channels), a polled run one point per tick plus one, and
// an opened recording twenty seconds of scans.
int32_t CyclicStartChartLength(double sampleRate, double axisSpan);
int32_t PolledStartChartLength(int32_t timerIntervalMs, double axisSpan);
int32_t ReplayOpenChartLength(double scanInterval);

} // namespace ondrel
