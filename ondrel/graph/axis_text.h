#pragma once
#include <optional>
#include <string>

namespace ondrel {

// Axis values as the graph settings show them: up to 15 significant digits,
// no trailing zeros ("10", "0.4", "-2.5e-07").
std::string AxisValueText(double value);
// A running X span: at least one digit before the point, three after ("10.000").
std::string SpanText(double value);
// A number typed in an axis box; surrounding blanks are allowed, anything else
// that is not a finite number gives nothing.
std::optional<double> ParseAxisValue(const std::string& text);

} // namespace ondrel
