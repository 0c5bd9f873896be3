#include "ondrel/settings/box_numbers.h"
#include "ondrel/common/rounding.h"
#include <charconv>
#include <cmath>

namespace ondrel {

namespace {

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::optional<double> ParseReal(std::string_view text)
{
    std::string_view t = Trimmed(text);
    if (!t.empty() && t.front() == '+') // from_chars takes only a minus sign
        t.remove_prefix(1);
    if (t.empty() || t.front() == '+' || t.front() == ' ')
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value, std::chars_format::general);
    if (error != std::errc{} || end != t.data() + t.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int32_t> ParseWholeNumber(std::string_view text)
{
    const auto value = ParseReal(text);
    // Half a unit of room on each side: anything beyond rounds outside 32 bits.
    if (!value || *value < -2147483648.5 || *value >= 2147483647.5)
        return std::nullopt;
    return RoundToInt32(*value);
}

std::string ShortestReal(double value)
{
    char buffer[32];
    // The general form with 15 significant digits: plain digits (100000,
    // 0.0001) unless the value is very small or very large, as the export
    // writes reals, rather than whichever of the two forms is shorter.
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return error == std::errc{} ? std::string(buffer, end) : std::string("0");
}

} // namespace ondrel
