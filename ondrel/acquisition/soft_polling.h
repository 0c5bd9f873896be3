#pragma once
#include "ondrel/acquisition/acquisition_context.h"
#include "ondrel/acquisition/polled_chart.h"
#include <stdexcept>
#include <string>
#include <vector>

namespace ondrel {

// The timer entry that paces polling, on the polling thread's own timer control.
inline const std::string kSoftPoolTimer = "SoftPoolTimer";

// Software-polled acquisition: on every tick of the polling thread one scan of
// the AI channels (thermocouple channels through the thermocouple component)
// and of the DI ports is read, drawn and, when saving is on, recorded.
class SoftPolling {
public:
    // A device that could not be read: the run cannot go on.
    struct ReadFailure : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    // Scans are drawn on `chart`, from the thread that ticks.
    SoftPolling(AcquisitionContext& context, IPolledChart& chart) : c_(context), chart_(chart) {}

    // Prepares the chart and the devices and starts the polling thread, which
    // runs `tick` from then on. A switched-on device that is missing stops the
    // run and throws ComponentError saying which.
    void SoftPoolStart(const std::function<void()>& tick);
    // One tick. Errors propagate to the caller; a DI card that cannot be read
    // throws ReadFailure and the tick's scan does not count.
    void SoftPoolTimerPorc();
    void PollAI();
    bool PollDI();

private:
    void PrepareThermoChannels();
    int32_t ThermoChannelNumber(int32_t physical, const std::string& deviceName);
    float TimeStamp() const;

    AcquisitionContext& c_;
    IPolledChart& chart_;
    std::vector<float> scan_;
    std::vector<double> levels_;
    std::vector<uint8_t> ports_;
    std::vector<int32_t> connections_;
};

} // namespace ondrel
