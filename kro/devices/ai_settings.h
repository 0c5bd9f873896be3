#pragma once
#include "kro/devices/fai_run.h"
#include "ondrel/components/ai_device.h"
#include <cstdint>
#include <string>

namespace kro {

// What every analog-input component, card or instrument, keeps alike: its
// last error, the kind of data returned, the software trigger's times,
// voltage, edge and source, and where its buffered runs' events go. A setter
// given a value out of its range records the message, throws ComponentError
// and changes nothing.
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

    void setEvents(ondrel::IKroAIEvents* sink) override { sink_ = sink; }

    // True while a buffered run goes on.
    virtual bool bufferedRunActive() const = 0;

protected:
    // Refuses `what` (records the message, throws) while a buffered run goes on.
    void requireIdle(const char* what);
    // Hands one of a run's events to the program, on its thread: a failure's
    // message becomes the last error first, and a run that failed or finished
    // is ended (runEnded) before the program hears of it.
    void deliver(const FaiDelivery& d);
    virtual void runEnded() {}

    std::string errorMessage_;

private:
    ondrel::IKroAIEvents* sink_ = nullptr;
    ondrel::SampleData dataReturnType_ = ondrel::SampleData::Scaled;
    double triggerAfterTime_ = 0.0;
    double triggerDelayTime_ = 0.0;
    double triggerVoltage_ = 1.0;
    ondrel::Edge triggerEdge_ = ondrel::Edge::Rising;
    ondrel::TriggerInput triggerSource_ = ondrel::TriggerInput::Digital;
};

} // namespace kro
