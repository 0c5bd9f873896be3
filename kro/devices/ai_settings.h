#pragma once
#include "ondrel/components/ai_device.h"
#include <cstdint>
#include <string>

namespace kro {

// What every analog-input component, card or instrument, keeps alike: its
// last error, the kind of data returned and the software trigger's times,
// voltage, edge and source. A setter given a value out of its range records
// the message, throws ComponentError and changes nothing.
class AiSettings : public ondrel::IKroAI {
public:
    std::string ErrorMessage() const override { return errorMessage_; }
    ondrel::SampleData DataReturnType() const override { return dataReturnType_; }
    void setDataReturnType(ondrel::SampleData type) override;
    double TriggerAfterTime() const override { return triggerAfterTime_; }
    void setTriggerAfterTime(double ms) override;
    double TriggerDelayTime() const override { return triggerDelayTime_; }
    void setTriggerDelayTime(double ms) override;
    double TriggerVoltage() const override { return triggerVoltage_; }
    void setTriggerVoltage(double volts) override;
    ondrel::Edge TriggerEdge() const override { return triggerEdge_; }
    void setTriggerEdge(ondrel::Edge edge) override;
    ondrel::TriggerInput TriggerSource() const override { return triggerSource_; }
    void setTriggerSource(ondrel::TriggerInput source) override;

    // True while a buffered run goes on.
    virtual bool bufferedRunActive() const = 0;

protected:
    // Refuses `what` (records the message, throws) while a buffered run goes on.
    void requireIdle(const char* what);

    std::string errorMessage_;

private:
    ondrel::SampleData dataReturnType_ = ondrel::SampleData::Scaled;
    double triggerAfterTime_ = 0.0;
    double triggerDelayTime_ = 0.0;
    double triggerVoltage_ = 1.0;
    ondrel::Edge triggerEdge_ = ondrel::Edge::Rising;
    ondrel::TriggerInput triggerSource_ = ondrel::TriggerInput::Digital;
};

} // namespace kro
