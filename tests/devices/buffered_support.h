#pragma once
// Shared by the buffered-run tests: an event recorder and event-loop waits.
#include "kro/devices/sim_ai.h"
#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace kro::testing {

struct Event {
    enum Kind { First, Second, Terminated, Failure } kind;
    int32_t count = 0;
    std::vector<int16_t> raw;
    std::vector<float> scaled;
    std::string message;
};

// Records every event, checking it arrives on the creating thread.
class Recorder : public ondrel::IKroAIEvents {
public:
    std::vector<Event> events;
    std::function<void(const Event&)> onEvent;
    bool offThread = false;

    void FirstBufferChange(std::span<const int16_t> raw, std::span<const float> scaled, int32_t n) override
    {
        add({Event::First, n, {raw.begin(), raw.end()}, {scaled.begin(), scaled.end()}, {}});
    }
    void BufferChange(std::span<const int16_t> raw, std::span<const float> scaled, int32_t n) override
    {
        add({Event::Second, n, {raw.begin(), raw.end()}, {scaled.begin(), scaled.end()}, {}});
    }
    void Terminated() override { add({Event::Terminated, 0, {}, {}, {}}); }
    void DeviceFailure(const std::string& description) override { add({Event::Failure, 0, {}, {}, description}); }

private:
    void add(Event e)
    {
        offThread = offThread || QThread::currentThread() != QCoreApplication::instance()->thread();
        events.push_back(std::move(e));
        if (onEvent)
            onEvent(events.back());
    }
};

// Runs the event loop until `done`; false after 20 s.
inline bool waitFor(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Waits for the worker without running the event loop, so nothing is delivered.
inline bool waitForWorker(const SimAI& ai)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ai.bufferedRunActive()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

inline void drainEvents()
{
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

inline std::vector<SimRange> rangesOf(SimAI& ai)
{
    std::vector<SimRange> ranges;
    for (int32_t ch = 0; ch < ai.MaxChanCount(); ++ch) {
        SimRange r;
        ai.GetChannelRange(ch, r.low, r.high, r.code);
        ranges.push_back(r);
    }
    return ranges;
}

} // namespace kro::testing
