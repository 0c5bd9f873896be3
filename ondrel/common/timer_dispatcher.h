#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ondrel {

// Routes the timer control's TimerEvent to whoever registered its key.
class TimerDispatcher {
public:
    using Handler = std::function<void()>;

    // A key registered twice keeps its first handler.
    void Register(const std::string& key, Handler handler);
    // Keys compare exactly, letter case included; a key nobody registered is
    // ignored.
    void TickwellCtl1_TimerEvent(const std::string& key) const;

private:
    std::vector<std::pair<std::string, Handler>> handlers_;
};

} // namespace ondrel
