#include "ondrel/overview/overview_span.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ondrel {

OverviewSpan::OverviewSpan(int64_t scans) : scans_(static_cast<double>(std::max<int64_t>(scans, 0))) { Home(); }

void OverviewSpan::Home()
{
    first_ = 0.0;
    end_ = scans_;
}

void OverviewSpan::Keep(double first, double length)
{
    length = std::clamp(length, std::min(kFewestScansShown, scans_), scans_);
    first = std::clamp(first, 0.0, scans_ - length);
    first_ = first;
    end_ = first + length;
}

void OverviewSpan::ZoomAt(double anchor, double factor)
{
    if (!(factor > 0.0) || Length() <= 0.0)
        return;
    const double at = std::clamp((anchor - first_) / Length(), 0.0, 1.0);
    const double length = std::clamp(Length() / factor, std::min(kFewestScansShown, scans_), scans_);
    Keep(anchor - at * length, length);
}

void OverviewSpan::PanBy(double scans) { Keep(first_ + scans, Length()); }

void OverviewSpan::Show(double first, double end)
{
    if (end < first)
        std::swap(first, end);
    const double length = std::max(end - first, std::min(kFewestScansShown, scans_));
    Keep((first + end) / 2.0 - length / 2.0, length);
}

ScreenRect PlaceBeside(const ScreenRect& beside, int width, int height, const ScreenRect& screen, int narrowest)
{
    ScreenRect placed{0, beside.y, std::min(width, screen.width), std::min(height, screen.height)};
    const int right = beside.x + beside.width;
    const int rightRoom = screen.x + screen.width - right;
    const int leftRoom = beside.x - screen.x;
    if (rightRoom >= placed.width) {
        placed.x = right;
    } else if (leftRoom >= placed.width) {
        placed.x = beside.x - placed.width;
    } else if (std::max(rightRoom, leftRoom) >= narrowest) {
        placed.width = std::max(rightRoom, leftRoom);
        placed.x = rightRoom >= leftRoom ? right : screen.x;
    } else if (screen.y + screen.height - (beside.y + beside.height) >= placed.height) {
        placed.x = beside.x;
        placed.y = beside.y + beside.height;
    } else {
        placed.x = right - placed.width;
    }
    placed.x = std::clamp(placed.x, screen.x, screen.x + screen.width - placed.width);
    placed.y = std::clamp(placed.y, screen.y, screen.y + screen.height - placed.height);
    return placed;
}

std::vector<double> TimeTicks(double from, double to, int most)
{
    std::vector<double> ticks;
    if (!(to > from) || most < 1 || !std::isfinite(to - from))
        return ticks;
    const double rough = (to - from) / most;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double multiple : {1.0, 2.0, 5.0, 10.0})
        if (power * multiple >= rough) {
            step = power * multiple;
            break;
        }
    for (double tick = std::ceil(from / step) * step; tick <= to + step * 1e-9; tick += step)
        ticks.push_back(std::abs(tick) < step * 1e-9 ? 0.0 : tick);
    return ticks;
}

std::string SecondsText(double seconds, double step)
{
    int decimals = 0;
    while (decimals < 9 && step > 0.0 && step * std::pow(10.0, decimals) < 0.999)
        ++decimals;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f s", decimals, seconds);
    return text;
}

std::string DescribeOverview(const OverviewSpan& span, double position, double scanInterval)
{
    const double step = std::max(span.Length() * scanInterval / 1000.0, 1e-9);
    return "Replay position " + SecondsText(position * scanInterval, step) + "; showing "
           + SecondsText(span.First() * scanInterval, step) + " to " + SecondsText(span.End() * scanInterval, step)
           + " of " + SecondsText(span.Scans() * scanInterval, step);
}

} // namespace ondrel
