#pragma once
#include "ondrel/components/ai_device.h"
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ondrel {

// One limit of an input range as the range list shows it: a minus sign when
// negative, at least one digit before the decimal point, the point always
// written, then at most four decimals without trailing zeros (10., 2.5, -0.3125).
std::string RangeLimitText(double limit);

// "low ~ high unit". A high limit of exactly 20 is a 4..20 mA current loop;
// every other range is in volts. With `volts` the unit is " V" whatever the
// range, the form in which a channel's range is matched against the list.
std::string RangeText(double low, double high, bool volts = false);

struct InputRange {
    double low = 0.0;
    double high = 0.0;
    int32_t code = 0;
};

// The device's input ranges in its walk order, up to the entry whose limits
// are both 0. A device that never ends its walk is cut off after kMaxRanges.
inline constexpr size_t kMaxRanges = 256;
std::vector<InputRange> WalkRanges(IKroAI& ai);

// The walk position whose text (in volts) equals that of low..high; nothing
// when the walk has no such entry.
std::optional<int32_t> RangePosition(IKroAI& ai, double low, double high);

// The walk position of `channel`'s current range.
std::optional<int32_t> ChannelRangePosition(IKroAI& ai, int32_t channel);

} // namespace ondrel
