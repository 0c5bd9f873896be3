#include "ondrel/graph/cursor_readout.h"
#include <cmath>
#include <cstdio>

namespace ondrel {

namespace {

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value == 0.0 ? 0.0 : value);
    return text;
}

std::string Maybe(const std::optional<double>& value) { return value ? Number(*value) : "-"; }

// DI lines are stacked on their axis 1.5 apart (15 a port), each drawing its
// level, 0 or 1, above its own place.
constexpr double kDILineSpacing = 1.5;

std::optional<double> Level(const std::optional<double>& plotted)
{
    if (!plotted)
        return std::nullopt;
    return std::fmod(*plotted, kDILineSpacing) >= 0.5 ? 1.0 : 0.0;
}

} // namespace

std::string CursorReadout(double tA, double tB, const std::vector<CursorTrace>& traces)
{
    const double dt = tB - tA;
    std::string text = "t(A) = " + Number(tA) + " s   t(B) = " + Number(tB) + " s\n";
    text += "\u0394t = " + Number(dt) + " s   1/\u0394t = " + (dt != 0.0 ? Number(1.0 / dt) + " Hz" : "-");
    for (const CursorTrace& trace : traces) {
        const std::optional<double> atA = trace.digital ? Level(trace.atA) : trace.atA;
        const std::optional<double> atB = trace.digital ? Level(trace.atB) : trace.atB;
        std::optional<double> difference;
        if (atA && atB)
            difference = *atB - *atA;
        text += "\n" + trace.name + ": A = " + Maybe(atA) + "   B = " + Maybe(atB) + "   B-A = " + Maybe(difference);
    }
    return text;
}

} // namespace ondrel
