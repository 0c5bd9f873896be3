#include "ondrel/settings/cyclic_sample_count.h"
#include "ondrel/common/rounding.h"

namespace ondrel {

int32_t CyclicSampleCount(double sampleRate)
{
    const double half = sampleRate / 2.0;
    return half >= 4096.0 ? RoundToInt32(half) : 4096;
}

} // namespace ondrel
