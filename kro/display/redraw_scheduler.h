#pragma once
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <functional>

namespace kro {

// Coalesces redraw requests into at most one frame per period: however many
// points arrive, the chart is drawn once per frame, never once per point.
class RedrawScheduler {
public:
    RedrawScheduler(std::chrono::milliseconds period, std::function<void()> frame);

    void request();
    bool pending() const { return timer_.isActive(); }

private:
    std::chrono::milliseconds period_;
    std::function<void()> frame_;
    QTimer timer_;
    QElapsedTimer sinceFrame_;
};

} // namespace kro
