#pragma once
#include "ondrel/acquisition/acquisition_context.h"
#include "ondrel/acquisition/polled_chart.h"
#include <stdexcept>
#include <string>
#include <vector>

namespace ondrel {

// The timer entry that paces polling.
inline const std::string kSoftPoolTimer = "SoftPoolTimer";

// Software-polled acquisition: on every tick of the "SoftPoolTimer" entry one
// scan of the AI channels (thermocouple channels through the thermocouple
// component) and of the DI ports is read, drawn and, when saving is on, recorded.
class SoftPolling {
public:
    // A device that could not be read: the run cannot go on.
    struct ReadFailure : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    explicit SoftPolling(AcquisitionContext& context) : c_(context), direct_(context.graph), chart_(&direct_) {}

    // Scans are drawn on `chart` from now on (the chart itself by default).
    void setChart(IPolledChart& chart) { chart_ = &chart; }

    // Prepares the chart and the devices and arms the timer, or the polling
    // thread when there is one (ticks then run there). A switched-on device
    // that is missing stops the run and throws ComponentError saying which.
    void SoftPoolStart(const std::function<void()>& threadTick);
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
    DirectPolledChart direct_;
    IPolledChart* chart_;
    std::vector<float> scan_;
    std::vector<double> levels_;
    std::vector<uint8_t> ports_;
    std::vector<int32_t> connections_;
};

} // namespace ondrel
