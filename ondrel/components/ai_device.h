#pragma once
#include "ondrel/components/component_error.h"
#include "ondrel/components/device_codes.h"
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ondrel {

// Events of the analog-input component. They arrive on the thread that created
// the component, in order, through that thread's event loop; none is dropped.
class IKroAIEvents {
public:
    virtual ~IKroAIEvents() = default;
    // One filled half of the buffered-AI buffer: `sampleCount` interleaved samples
    // (sample s * ChanCount + c is channel c of scan s). Only the span matching
    // DataReturnType carries data (1 = raw, 2 = scaled); the other is empty.
    // The spans are valid only during the call.
    virtual void FirstBufferChange(std::span<const int16_t> raw, std::span<const float> scaled,
                                   int32_t sampleCount) = 0;
    virtual void BufferChange(std::span<const int16_t> raw, std::span<const float> scaled, int32_t sampleCount) = 0;
    // The argument-less third event: a non-cyclic run has delivered both halves
    // and ended by itself. Not raised after StopFAI.
    virtual void Terminated() {}
    // A buffered run failed (overrun, device fault); the run has stopped and
    // ErrorMessage holds the same description.
    virtual void DeviceFailure(const std::string& description) { (void)description; }
};

// The analog-input component as the program calls it. A value the device cannot
// take throws ComponentError and sets ErrorMessage.
class IKroAI {
public:
    virtual ~IKroAI() = default;
    virtual void setEvents(IKroAIEvents* sink) = 0;

    virtual int32_t DeviceNumber() const = 0; // negative: no device selected
    virtual std::string DeviceName() const = 0;
    virtual void SelectDevice() = 0; // the component's own chooser
    virtual int32_t Channel() const = 0;
    virtual void setChannel(int32_t channel) = 0;
    virtual int32_t AIResolution() const = 0;
    virtual int32_t MaxChanCount() const = 0;
    virtual Connection SignalConnection() const = 0; // of Channel
    virtual void setSignalConnection(Connection connection) = 0;
    virtual int32_t ChanStart() const = 0;
    virtual void setChanStart(int32_t start) = 0;
    virtual int32_t ChanCount() const = 0;
    virtual void setChanCount(int32_t count) = 0;
    virtual Pacer PacerSource() const = 0; // a device with a choice reads back Either
    virtual void setPacerSource(Pacer source) = 0;
    virtual Trigger TriggerMode() const = 0;
    virtual void setTriggerMode(Trigger mode) = 0;
    virtual double TriggerAfterTime() const = 0; // ms
    virtual void setTriggerAfterTime(double ms) = 0;
    virtual double TriggerDelayTime() const = 0; // ms
    virtual void setTriggerDelayTime(double ms) = 0;
    virtual double SampleRate() const = 0; // aggregate Hz over all scanned channels
    virtual void setSampleRate(double hz) = 0;
    virtual std::string ErrorMessage() const = 0;
    virtual SampleData DataReturnType() const = 0;
    virtual void setDataReturnType(SampleData type) = 0;
    virtual double TriggerVoltage() const = 0;
    virtual void setTriggerVoltage(double volts) = 0;
    virtual Edge TriggerEdge() const = 0;
    virtual void setTriggerEdge(Edge edge) = 0;
    virtual TriggerInput TriggerSource() const = 0;
    virtual void setTriggerSource(TriggerInput source) = 0;

    // Buffered acquisition: `sampleCount` samples per buffer, delivered in two
    // halves (sampleCount / 2, then the rest) through FirstBufferChange and
    // BufferChange, paced at SampleRate; a non-cyclic run delivers both and stops,
    // a cyclic run alternates until StopFAI. Events still queued when StopFAI
    // returns are dropped. A count the device cannot buffer throws.
    virtual void StartFAI(int32_t& sampleCount, bool& cyclic) = 0;
    virtual void StopFAI(int32_t reserved) = 0;
    // One value per scanned channel, in channel order from ChanStart.
    virtual std::vector<double> ReadScan(bool scaled) = 0;

    // Walk the input ranges in a fixed order; low = high = 0 ends the walk.
    virtual void GetFirstRange(double& low, double& high, int32_t& code) = 0;
    virtual void GetNextRange(double& low, double& high, int32_t& code) = 0;
    virtual void SetChannelRange(int32_t channel, double& low, double& high) = 0;
    virtual void GetChannelRange(int32_t channel, double& low, double& high, int32_t& code) = 0;
};

} // namespace ondrel
