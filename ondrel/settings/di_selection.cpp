#include "ondrel/settings/di_selection.h"
#include <algorithm>

namespace ondrel {

uint8_t CountBit1(uint8_t value)
{
    uint8_t count = 0;
    while (value != 0) {
        value = static_cast<uint8_t>(value & (value - 1));
        ++count;
    }
    return count;
}

DISpan ReduceDIMasks(std::span<const uint8_t> masks, int32_t portCount)
{
    DISpan span;
    for (const uint8_t mask : masks)
        span.nDIChanCount += CountBit1(mask);
    const auto ports =
        static_cast<int32_t>(std::min<size_t>(masks.size(), static_cast<size_t>(std::max(portCount, 0))));
    int32_t start = 0;
    while (start < ports && masks[static_cast<size_t>(start)] == 0)
        ++start;
    span.nDIPortStart = start == ports ? std::max(portCount, 0) : start;
    int32_t last = ports - 1;
    while (last >= 0 && masks[static_cast<size_t>(last)] == 0)
        --last;
    span.nDIPortCount = last >= start ? last - start + 1 : 0;
    return span;
}

} // namespace ondrel
