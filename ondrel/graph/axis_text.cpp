#include "ondrel/graph/axis_text.h"
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ondrel {

std::string AxisValueText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value == 0.0 ? 0.0 : value); // never "-0"
    return text;
}

std::string SpanText(double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::optional<double> ParseAxisValue(const std::string& text)
{
    const char* begin = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*begin)))
        ++begin;
    if (*begin == '\0')
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    while (std::isspace(static_cast<unsigned char>(*end)))
        ++end;
    if (*end != '\0' || errno == ERANGE || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace ondrel
