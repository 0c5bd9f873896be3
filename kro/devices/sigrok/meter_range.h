#pragma once
#include <optional>
#include <string_view>

namespace kro {

// The half-span in volts of a meter's voltage range as libsigrok names it
// (SR_CONF_RANGE), e.g. "200 mV" or "2V" gives 0.2 or 2; nothing for a range
// of another quantity, "Auto", or text that is no such range.
std::optional<double> meterRangeVolts(std::string_view text);

} // namespace kro
