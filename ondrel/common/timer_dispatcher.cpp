#include "ondrel/common/timer_dispatcher.h"
#include <algorithm>

namespace ondrel {

void TimerDispatcher::Register(const std::string& key, Handler handler)
{
    const auto known = std::ranges::any_of(handlers_, [&](const auto& entry) { return entry.first == key; });
    if (!known)
        handlers_.emplace_back(key, std::move(handler));
}

void TimerDispatcher::TickwellCtl1_TimerEvent(const std::string& key) const
{
    for (const auto& [registered, handler] : handlers_) {
        if (registered == key) {
            handler();
            return;
        }
    }
}

} // namespace ondrel
