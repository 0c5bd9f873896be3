#pragma once
#include <cstdint>

namespace ondrel {

// Every conversion of a non-integer to an integer in the program rounds to the
// nearest integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4), as the
// recording format and the chart lengths require. Values beyond the target
// range saturate and NaN gives 0, so a bad input never becomes undefined
// behaviour.
int32_t RoundToInt32(double value);
int64_t RoundToInt64(double value);

} // namespace ondrel
