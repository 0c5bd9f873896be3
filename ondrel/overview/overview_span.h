#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel {

// The fewest scans an overview zooms in to: a few scans across the window.
inline constexpr double kFewestScansShown = 8.0;

// The part of a recording of `scans` scans an overview shows, [First, End),
// and how zooming and panning move it: never past either end, never fewer
// than kFewestScansShown scans (or all of a shorter recording).
class OverviewSpan {
public:
    explicit OverviewSpan(int64_t scans = 0);

    double First() const { return first_; }
    double End() const { return end_; }
    double Length() const { return end_ - first_; }
    double Scans() const { return scans_; }
    // How many times the whole recording is magnified.
    double Zoom() const { return Length() > 0.0 ? scans_ / Length() : 1.0; }

    void Home();
    // Magnifies `factor` times (below 1 zooms out) keeping `anchor`, a scan,
    // where it is on the screen.
    void ZoomAt(double anchor, double factor);
    void PanBy(double scans);
    // Shows [first, end) (in either order).
    void Show(double first, double end);

private:
    void Keep(double first, double length);

    double scans_ = 0.0;
    double first_ = 0.0, end_ = 0.0;
};

// A rectangle on the screen, in device-independent pixels.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// Where a window of `width` x `height` goes beside the window `beside`, all
// on `screen`: to its right when it fits there, else to its left; else
// narrowed to the wider of the two sides when that leaves `narrowest`; else
// below it; else over its right part. Never larger than the screen.
ScreenRect PlaceBeside(const ScreenRect& beside, int width, int height, const ScreenRect& screen, int narrowest);

// Tick marks for a time axis over [from, to] seconds: round steps (1, 2 or 5
// times a power of ten), at most `most` of them.
std::vector<double> TimeTicks(double from, double to, int most);

// Seconds for a person: enough digits to tell neighbouring ticks (`step`) apart.
std::string SecondsText(double seconds, double step);

// What a screen reader says of an overview: where replay stands and what part
// of the recording is shown, in seconds.
std::string DescribeOverview(const OverviewSpan& span, double position, double scanInterval);

} // namespace ondrel
