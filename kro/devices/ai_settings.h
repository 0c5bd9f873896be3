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
    int32_t DataReturnType() const override { return dataReturnType_; } // 1 raw counts, 2 scaled values
    void setDataReturnType(int32_t type) override;
    double TriggerAfterTime() const override { return triggerAfterTime_; }
    void setTriggerAfterTime(double ms) override;
    double TriggerDelayTime() const override { return triggerDelayTime_; }
    void setTriggerDelayTime(double ms) override;
    double TriggerVoltage() const override { return triggerVoltage_; }
    void setTriggerVoltage(double volts) override;
    int32_t TriggerEdge() const override { return triggerEdge_; }
    void setTriggerEdge(int32_t edge) override;
    int32_t TriggerSource() const override { return triggerSource_; }
    void setTriggerSource(int32_t source) override;

protected:
    std::string errorMessage_;

private:
    int32_t dataReturnType_ = 2;
    double triggerAfterTime_ = 0.0;
    double triggerDelayTime_ = 0.0;
    double triggerVoltage_ = 1.0;
    int32_t triggerEdge_ = 0;
    int32_t triggerSource_ = 0;
};

} // namespace kro
