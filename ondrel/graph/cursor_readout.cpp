#include "ondrel/graph/cursor_readout.h"
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

} // namespace

std::string CursorReadout(double tA, double tB, const std::vector<CursorTrace>& traces)
{
    const double dt = tB - tA;
    std::string text = "t(A) = " + Number(tA) + " s   t(B) = " + Number(tB) + " s\n";
    text += "\u0394t = " + Number(dt) + " s   1/\u0394t = " + (dt != 0.0 ? Number(1.0 / dt) + " Hz" : "-");
    for (const CursorTrace& trace : traces) {
        std::optional<double> difference;
        if (trace.atA && trace.atB)
            difference = *trace.atB - *trace.atA;
        text += "\n" + trace.name + ": A = " + Maybe(trace.atA) + "   B = " + Maybe(trace.atB)
                + "   B-A = " + Maybe(difference);
    }
    return text;
}

} // namespace ondrel
