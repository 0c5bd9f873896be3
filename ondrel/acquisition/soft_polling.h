#pragma once
#include "ondrel/acquisition/acquisition_context.h"
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
    explicit SoftPolling(AcquisitionContext& context) : c_(context) {}

    // Prepares the chart and the devices and arms the timer. A switched-on
    // device that is missing stops the run and throws ComponentError saying which.
    void SoftPoolStart();
    // One tick. Errors propagate to the caller.
    void SoftPoolTimerPorc();
    void PollAI();
    void PollDI();

private:
    void PrepareThermoChannels();
    int32_t ThermoChannelNumber(int32_t physical, const std::string& deviceName);
    float TimeStamp() const;

    AcquisitionContext& c_;
    std::vector<float> scan_;
    std::vector<uint8_t> ports_;
    std::vector<int32_t> connections_;
};

} // namespace ondrel
