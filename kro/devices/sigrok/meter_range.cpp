#include "kro/devices/sigrok/meter_range.h"
#include <charconv>
#include <cmath>
#include <string>

namespace kro {

std::optional<double> meterRangeVolts(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value) || value <= 0.0)
        return std::nullopt;
    std::string_view unit(end, static_cast<size_t>(text.data() + text.size() - end));
    while (!unit.empty() && unit.front() == ' ')
        unit.remove_prefix(1);
    while (!unit.empty() && unit.back() == ' ')
        unit.remove_suffix(1);
    // Only what fits a measurement card's ranges, microvolts to kilovolts.
    if (unit == "V")
        return value;
    if (unit == "mV")
        return value / 1e3;
    if (unit == "uV" || unit == "\u00b5V")
        return value / 1e6;
    if (unit == "kV")
        return value * 1e3;
    return std::nullopt;
}

} // namespace kro
