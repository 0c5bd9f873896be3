#pragma once
#include "ondrel/components/timer_control.h"
#include <memory>

namespace ondrel {

// TickwellCtl1: the timer control, created by class identifier and called late
// bound; the program does not link the timer library. Creation failures throw
// ComponentError with the reason.
class TickwellTimer final : public ITimerControl {
public:
    TickwellTimer();
    ~TickwellTimer() override;

    bool exist(const std::string& key) override;
    void Add(const std::string& key, int32_t interval, bool enabled) override;
    void setEnabled(const std::string& key, bool enabled) override;
    void setInterval(const std::string& key, int32_t interval) override;
    void setHandler(Handler handler) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace ondrel
