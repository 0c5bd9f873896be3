#pragma once
#include <cstdint>

namespace ondrel {

// Samples per buffer of a cyclic buffered run: half a second of samples at
// `sampleRate` (aggregate Hz), ties to the even count, and never below the
// 4096 samples the smallest buffer holds.
int32_t CyclicSampleCount(double sampleRate);

} // namespace ondrel
