#include "ondrel/graph/chart_length.h"
#include "ondrel/common/rounding.h"
#include <algorithm>

namespace ondrel {

int32_t BufferedChartLength(double sampleRate, int32_t chanCount, double secondsPerDiv)
{
    return RoundToInt32(sampleRate * (secondsPerDiv * 10.0) / chanCount);
}

int32_t PolledChartLength(int32_t timerIntervalMs, double secondsPerDiv)
{
    const int32_t pollsPerSecond = RoundToInt32(1000.0 / timerIntervalMs);
    return RoundToInt32(secondsPerDiv * 10.0 * pollsPerSecond + 1.0);
}

int32_t ReplayChartLength(double scanInterval, double secondsPerDiv)
{
    const int32_t scansPerSecond = RoundToInt32(1.0 / scanInterval);
    return RoundToInt32(secondsPerDiv * 10.0 * scansPerSecond);
}

int32_t CyclicStartChartLength(double sampleRate, double axisSpan) { return RoundToInt32(sampleRate * axisSpan); }

int32_t PolledStartChartLength(int32_t timerIntervalMs, double axisSpan)
{
    return RoundToInt32(axisSpan / (timerIntervalMs / 1000.0)) + 1;
}

int32_t ReplayOpenChartLength(double scanInterval)
{
    // A description without a scan interval must not make the length negative.
    return std::max(0, RoundToInt32(20.0 / scanInterval));
}

} // namespace ondrel
