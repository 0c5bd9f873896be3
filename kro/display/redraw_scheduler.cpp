#include "kro/display/redraw_scheduler.h"
#include <algorithm>

namespace kro {

RedrawScheduler::RedrawScheduler(std::chrono::milliseconds period, std::function<void()> frame)
    : period_(period), frame_(std::move(frame))
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        sinceFrame_.start();
        frame_();
    });
}

void RedrawScheduler::request()
{
    if (timer_.isActive())
        return;
    // After a quiet spell the frame comes on the next pass of the event loop;
    // during a stream it waits until a full period has passed since the last.
    const auto elapsed = sinceFrame_.isValid() ? std::chrono::milliseconds(sinceFrame_.elapsed()) : period_;
    timer_.start(std::max(std::chrono::milliseconds(0), period_ - elapsed));
}

} // namespace kro
