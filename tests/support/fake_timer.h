#pragma once
#include "ondrel/components/timer_control.h"
#include <map>
#include <string>

namespace ondrel::testing {

// The timer control as a controller drives it: entries by key, ticks fired by hand.
class FakeTimer final : public ITimerControl {
public:
    struct Entry {
        int32_t interval = 0;
        bool enabled = false;
    };
    bool exist(const std::string& key) override { return entries.contains(key); }
    void Add(const std::string& key, int32_t interval, bool enabled) override
    {
        ++adds;
        entries[key] = {interval, enabled};
    }
    void setEnabled(const std::string& key, bool enabled) override { entries.at(key).enabled = enabled; }
    void setInterval(const std::string& key, int32_t interval) override { entries.at(key).interval = interval; }
    void setHandler(Handler h) override { handler = std::move(h); }

    std::map<std::string, Entry> entries;
    int adds = 0;
    Handler handler;
};

} // namespace ondrel::testing
