#pragma once
#include "ondrel/components/graph.h"
#include <cstdint>
#include <span>

namespace kro {

// Splits interleaved scan-major samples into plot-major data. Only whole scans
// that are present in `samples` count; of those, at most `keepAtMost` (0 = all)
// of the newest are copied, so a huge buffer costs only what the chart shows.
// Throws ondrel::ComponentError for a channel count below 1 or an invalid scan
// count.
void prepareScans(std::span<const float> samples, int32_t chanCount, double scans, int32_t keepAtMost,
                  ondrel::PreparedData& out);
void prepareScans(std::span<const int32_t> samples, int32_t chanCount, double scans, int32_t keepAtMost,
                  ondrel::PreparedData& out);

// Throws ondrel::ComponentError unless `prepared` is self-consistent.
void checkPrepared(const ondrel::PreparedData& prepared);

} // namespace kro
