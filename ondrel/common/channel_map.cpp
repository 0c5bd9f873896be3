#include "ondrel/common/channel_map.h"

#include "ondrel/common/device_family.h"
#include "ondrel/common/rounding.h"

#include <algorithm>
#include <limits>

namespace ondrel {
namespace {

bool IsDifferential(std::span<const int32_t> connection, int64_t channel)
{
    return channel >= 0 && channel < static_cast<int64_t>(connection.size())
           && connection[static_cast<size_t>(channel)] == 1;
}

// Modulo whose result has the sign of the divisor: wrapped channel numbers are
// always valid table indices.
int64_t WrapIndex(int64_t value, int64_t count)
{
    const int64_t rest = value % count;
    return rest < 0 ? rest + count : rest;
}

} // namespace

int32_t EffectiveChannelCount(std::string_view deviceName, int32_t maxChanCount, std::span<const int32_t> connection)
{
    if (maxChanCount <= 0)
        return 0;
    if (ReportsOwnChannels(deviceName))
        return maxChanCount;
    double sum = 0.0;
    for (int32_t channel = 0; channel < maxChanCount; ++channel)
        sum += IsDifferential(connection, channel) ? 0.5 : 1.0;
    return RoundToInt32(sum);
}

int32_t LogicalChannel(std::string_view deviceName, int32_t maxChanCount, std::span<const int32_t> connection,
                       int32_t physical)
{
    if (maxChanCount <= 0)
        return 0;
    const int64_t channel = WrapIndex(physical, maxChanCount);
    if (ReportsOwnChannels(deviceName))
        return static_cast<int32_t>(channel);
    const int32_t effective = EffectiveChannelCount(deviceName, maxChanCount, connection);
    if (effective == 0)
        return 0;
    int64_t counter = -1;
    for (int64_t i = 0; i <= channel; ++i) {
        if (!IsDifferential(connection, i) || i % 2 == 0)
            ++counter;
    }
    return static_cast<int32_t>(WrapIndex(counter, effective));
}

int32_t PhysicalChannel(std::string_view deviceName, int32_t maxChanCount, std::span<const int32_t> connection,
                        int32_t& logical)
{
    if (maxChanCount <= 0)
        return 0;
    if (ReportsOwnChannels(deviceName))
        return static_cast<int32_t>(WrapIndex(logical, maxChanCount));

    // The walk visits physical channels 0, 1, ... (wrapping) and counts k up by
    // one per channel; each odd differential channel also moves the target up by
    // one. A full round of the device therefore closes the gap between target and
    // k by (channels - odd differentials) >= 1, since channel 0 is even. Whole
    // rounds that certainly run to completion are skipped arithmetically, so the
    // walk takes at most two rounds whatever the position asked for.
    int64_t oddDifferentials = 0;
    for (int64_t channel = 1; channel < maxChanCount; channel += 2)
        oddDifferentials += IsDifferential(connection, channel) ? 1 : 0;
    const int64_t closingPerRound = maxChanCount - oddDifferentials;

    int64_t target = logical;
    int64_t k = -1;
    if (target > 0) {
        const int64_t rounds = target / closingPerRound;
        k += rounds * maxChanCount;
        target += rounds * oddDifferentials;
    }
    int64_t channel = 0;
    while (k < target) {
        if (channel % 2 == 1 && IsDifferential(connection, channel))
            ++target;
        ++k;
        channel = (channel + 1) % maxChanCount;
    }
    logical = static_cast<int32_t>(
        std::clamp<int64_t>(target, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    return static_cast<int32_t>(WrapIndex(k, maxChanCount));
}

} // namespace ondrel
