#pragma once
#include "display_control.h"
#include "ondrel/components/device_codes.h"
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ondrel {

// A colour reference: R + 256*G + 65536*B, or 0x80000000 + n for system colour n.
using ColorRef = uint32_t;

// A plot's line. Recordings and the channel tables store the number, so a plot
// keeps any number it is given; one outside the list is drawn solid.
enum class LineDash : int32_t { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4 };

// What dragging and the wheel do on the chart; any other number leaves the
// axes alone.
enum class MouseAction : int32_t { None = 0, PanX = 4, PanY = 5, PanXY = 6, ZoomX = 7, ZoomY = 8, ZoomXY = 9 };

// One of the two display elements of an axis (its line and its labels) whose
// visibility the plot set-up switches.
class IKroAxisElement {
public:
    virtual ~IKroAxisElement() = default;
    virtual void setVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    virtual void setSecondary(double value) = 0; // always given 0 by the program
    virtual double Secondary() const = 0;
};

class IKroAxis {
public:
    virtual ~IKroAxis() = default;
    virtual double Maximum() const = 0; // the visible range, also after zoom and pan
    // A put that would pass the other end moves the range keeping its span, so
    // Minimum then Maximum (or the reverse) always gives the range asked for.
    virtual void setMaximum(double value) = 0;
    virtual double Minimum() const = 0;
    virtual void setMinimum(double value) = 0;
    virtual std::string Title() const = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual IKroAxisElement& Element(int index) = 0; // 0 and 1
    virtual bool AutoScale() const = 0;              // a user zoom or pan switches it off
    virtual void setAutoScale(bool on) = 0;
    virtual void SetRange(double minimum, double maximum) = 0; // throws ComponentError if equal
};

class IKroPlot {
public:
    virtual ~IKroPlot() = default;
    virtual std::string Name() const = 0;
    virtual void setName(const std::string& name) = 0;
    virtual ColorRef Color() const = 0;
    virtual void setColor(ColorRef color) = 0;
    virtual LineDash LineStyle() const = 0;
    virtual void setLineStyle(LineDash style) = 0;
    virtual void ClearPlotData() = 0;
    virtual void setYAxis(IKroAxis& axis) = 0;
    virtual void setStartX(double x) = 0;
    virtual bool Visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void AddPoint(double y, double xStep) = 0; // x = last x + xStep (StartX for the first)
    virtual void AddXY(double x, double y) = 0;
    virtual int32_t PointCount() const = 0;
};

class IKroAxes {
public:
    virtual ~IKroAxes() = default;
    virtual IKroAxis& Item(int32_t index) = 0; // throws ComponentError out of range
    virtual int32_t Count() const = 0;
    virtual IKroAxis& Add() = 0;
};

class IKroPlots {
public:
    virtual ~IKroPlots() = default;
    virtual IKroPlot& Item(int32_t index) = 0; // throws ComponentError out of range
    virtual int32_t Count() const = 0;
    virtual IKroPlot& Add() = 0;
    virtual void RemoveAll() = 0;
};

// Samples split per plot by PlotData, to be drawn by SetXStep. The program only
// passes it on; the chart keeps no more of a buffer than it can show, so only
// the tail of a long buffer is copied, while `scans` still advances the x.
struct PreparedData {
    int32_t chanCount = 0;
    int64_t scans = 0;     // scans in the buffer
    int64_t firstScan = 0; // first scan kept in `values`
    int64_t keptScans = 0;
    std::vector<float> values; // plot-major: values[c * keptScans + s]
};

class IKroGraphEvents {
public:
    virtual ~IKroGraphEvents() = default;
    virtual void GraphError(int32_t number, const std::string& message)
    {
        (void)number;
        (void)message;
    }
    virtual void RangeChanged(double xMin, double xMax, double yMin, double yMax)
    {
        (void)xMin;
        (void)xMax;
        (void)yMin;
        (void)yMax;
    }
    virtual void MouseButton(int16_t& button, int32_t shift, float& x, float& y)
    {
        (void)button;
        (void)shift;
        (void)x;
        (void)y;
    }
};

// The strip chart. Item 0 of Axes is the time axis, 1 the analog axis, 2 the
// digital axis (3, the temperature axis, is added by the program).
class IKroGraph : public IKroControl {
public:
    virtual void setEvents(IKroGraphEvents* sink) = 0; // nullptr detaches
    virtual IKroAxes& Axes() = 0;
    virtual IKroPlots& Plots() = 0;
    virtual MouseAction MouseMode() const = 0;
    virtual void setMouseMode(MouseAction mode) = 0;
    // Points each plot keeps; 0 = unbounded. With a bound the time axis scrolls
    // to keep the newest point in view with the same span.
    virtual int32_t ChartLength() const = 0;
    virtual void setChartLength(int32_t points) = 0; // throws ComponentError if negative
    virtual void ClearData() = 0;
    // Appends one point to each analog plot: (x, y[i]) to plot i.
    virtual void PlotXY(float x, std::span<const float> y) = 0;
    // Splits interleaved samples (scan-major) into per-plot data for SetXStep;
    // only whole scans count. Throws ComponentError for a channel count below 1.
    virtual void PlotData(std::span<const float> samples, PreparedData& prepared, int32_t chanCount, double scans) = 0;
    virtual void PlotData(std::span<const int32_t> samples, PreparedData& prepared, int32_t chanCount,
                          double scans) = 0;
    // Draws prepared data on plots 0.., scans spaced by xStep seconds, continuing
    // each plot from its last x.
    virtual void SetXStep(const PreparedData& prepared, double xStep) = 0;
};

} // namespace ondrel
