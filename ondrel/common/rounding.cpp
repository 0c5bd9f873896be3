#include "ondrel/common/rounding.h"

#include <cmath>
#include <limits>

namespace ondrel {
namespace {

// Explicit ties-to-even, independent of the thread's floating rounding mode.
double RoundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1.0;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

template <typename Int>
Int RoundSaturated(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = RoundHalfEven(value);
    // The limits as doubles: the upper one is 2^31 or 2^63, one past the maximum.
    constexpr double lowest = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr double pastMax = -lowest;
    if (rounded < lowest)
        return std::numeric_limits<Int>::min();
    if (rounded >= pastMax)
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(rounded);
}

} // namespace

int32_t RoundToInt32(double value) { return RoundSaturated<int32_t>(value); }
int64_t RoundToInt64(double value) { return RoundSaturated<int64_t>(value); }

} // namespace ondrel
