#include "ondrel/recording/scan_interval.h"

namespace ondrel {

double ScanInterval(int64_t scanCount, bool softMode, int32_t chanCount, double sampleRate, uint32_t elapsedMs)
{
    if (scanCount <= 0)
        return 0.0;
    if (softMode)
        return static_cast<double>(elapsedMs) / static_cast<double>(scanCount) / 1000.0;
    if (chanCount <= 0 || !(sampleRate > 0.0))
        return 0.0;
    return chanCount / sampleRate;
}

} // namespace ondrel
