#pragma once
#include <cstdint>

class QCPAxis;

namespace kro {

class KroAxis;

// What the chart's axes and plots need from the chart that owns them.
class ChartHost {
public:
    // Schedules one coalesced redraw.
    virtual void requestRedraw() = 0;
    // Moves an axis on the program's behalf; never reported as a user zoom.
    virtual void setAxisRange(QCPAxis* axis, double lower, double upper) = 0;
    // Brings auto-scaled axes up to date with the data, ahead of the next frame.
    virtual void settleAutoScale() = 0;
    // A plot received points; newestX is the x of its latest point.
    virtual void pointsAppended(double newestX) = 0;
    // Points each plot keeps (the ChartLength); 0 = unbounded.
    virtual int32_t pointBound() const = 0;
    virtual void axisAdded(KroAxis& axis) = 0;
    // A plot was added, removed, renamed, shown or hidden.
    virtual void plotsChanged() = 0;

protected:
    ~ChartHost() = default;
};

} // namespace kro
