#pragma once
#include <cstdint>
#include <functional>

namespace ondrel {

// Paces polling on a thread of its own, so that nothing the program thread
// does (a chart frame, a dialog opening) delays or drops a tick: a dropped
// tick is a scan missing from a recording whose scans are taken as evenly
// spaced. Ticks run one after another on the polling thread; what they hand
// back runs on the program thread, in the order handed.
class IPollingThread {
public:
    virtual ~IPollingThread() = default;
    // Arms ticks every `interval` ms, each running `tick` on the polling
    // thread. Throws ComponentError when the thread's timer cannot be made.
    virtual void Start(int32_t interval, std::function<void()> tick) = 0;
    // Returns once no tick runs and none will until the next Start.
    virtual void Stop() = 0;
    // Runs `work` on the program thread, later.
    virtual void Post(std::function<void()> work) = 0;
};

} // namespace ondrel
