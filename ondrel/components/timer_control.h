#pragma once
#include <functional>
#include <string>

namespace ondrel {

// The keyed timer the program polls and replays with, as the program uses it.
// Failures throw ComponentError.
class ITimerControl {
public:
    using Handler = std::function<void(const std::string& key)>;
    virtual ~ITimerControl() = default;
    virtual bool exist(const std::string& key) = 0;
    virtual void Add(const std::string& key, int32_t interval, bool enabled) = 0;
    virtual void setEnabled(const std::string& key, bool enabled) = 0;
    virtual void setInterval(const std::string& key, int32_t interval) = 0;
    // TimerEvent(Key), on the thread that created the timer.
    virtual void setHandler(Handler handler) = 0;
};

} // namespace ondrel
