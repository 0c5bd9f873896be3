#include "ondrel/settings/range_text.h"
#include <cmath>

namespace ondrel {

std::string RangeLimitText(double limit)
{
    if (!std::isfinite(limit))
        return "0.";
    // Ten-thousandths as a whole number; beyond 1e14 the decimals are noise.
    const double scaled = std::round(std::fabs(limit) * 10000.0);
    if (scaled >= 1e18)
        return (limit < 0 ? "-" : "") + std::to_string(static_cast<long long>(std::fabs(limit))) + ".";
    const auto units = static_cast<unsigned long long>(scaled);
    std::string text = units != 0 && limit < 0 ? "-" : "";
    text += std::to_string(units / 10000) + ".";
    std::string decimals = std::to_string(10000 + units % 10000).substr(1);
    decimals.erase(decimals.find_last_not_of('0') + 1);
    return text + decimals;
}

std::string RangeText(double low, double high, bool volts)
{
    const bool milliamps = !volts && high == 20.0;
    return RangeLimitText(low) + " ~ " + RangeLimitText(high) + (milliamps ? " mA" : " V");
}

std::vector<InputRange> WalkRanges(IKroAI& ai)
{
    std::vector<InputRange> ranges;
    InputRange r;
    ai.GetFirstRange(r.low, r.high, r.code);
    while (!(r.low == 0.0 && r.high == 0.0) && ranges.size() < kMaxRanges) {
        ranges.push_back(r);
        ai.GetNextRange(r.low, r.high, r.code);
    }
    return ranges;
}

std::optional<int32_t> RangePosition(IKroAI& ai, double low, double high)
{
    const std::string wanted = RangeText(low, high, true);
    const std::vector<InputRange> ranges = WalkRanges(ai);
    for (size_t k = 0; k < ranges.size(); ++k)
        if (RangeText(ranges[k].low, ranges[k].high, true) == wanted)
            return static_cast<int32_t>(k);
    return std::nullopt;
}

std::optional<int32_t> ChannelRangePosition(IKroAI& ai, int32_t channel)
{
    InputRange r;
    ai.GetChannelRange(channel, r.low, r.high, r.code);
    return RangePosition(ai, r.low, r.high);
}

} // namespace ondrel
