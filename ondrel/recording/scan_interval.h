#pragma once
#include <cstdint>

namespace ondrel {

// Seconds between two scans, written to the description at Stop:
// - no scan received: 0.0;
// - buffered AI: chanCount / sampleRate (sampleRate is the aggregate rate over
//   all scanned channels);
// - software polling: elapsedMs / scanCount / 1000.
// A rate or channel count that cannot give an interval (zero or negative) gives
// 0.0 rather than an infinite or negative value in the file.
double ScanInterval(int64_t scanCount, bool softMode, int32_t chanCount, double sampleRate, uint32_t elapsedMs);

} // namespace ondrel
