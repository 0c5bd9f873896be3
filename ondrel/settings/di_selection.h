#pragma once
#include <cstdint>
#include <span>

namespace ondrel {

// Set bits of a port mask: the lowest set bit is cleared until none is left.
uint8_t CountBit1(uint8_t value);

// The DI lines chosen in the port masks, reduced to what polling reads: the
// ports from the first to the last one with a chosen line (empty ports between
// them are read too) and the number of chosen lines, each one plot.
struct DISpan {
    int32_t nDIChanCount = 0;
    int32_t nDIPortStart = 0; // the device's port count when nothing is chosen
    int32_t nDIPortCount = 0;
};
// `masks` is the session's mask table (one entry per port plus a spare);
// only ports below `portCount` are polled, every entry is counted.
DISpan ReduceDIMasks(std::span<const uint8_t> masks, int32_t portCount);

} // namespace ondrel
