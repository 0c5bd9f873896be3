#pragma once
#include "kro/devices/device_registry.h"
#include <memory>
#include <vector>

namespace kro {

// The analog-input component the program gets: the devices of every back end
// of `registry` under one device chooser, the simulated cards first. Calls go
// to whichever device is selected.
class AllDevicesAI final : public ondrel::IKroAI {
public:
    AllDevicesAI(DeviceRegistry& registry, ondrel::IDevicePrompts* chooser);
    ~AllDevicesAI() override;

    // Selects a device without the chooser; a number naming none throws.
    void SelectDeviceNumber(int32_t number);

    void setEvents(ondrel::IKroAIEvents* sink) override;
    int32_t DeviceNumber() const override { return active().DeviceNumber(); }
    std::string DeviceName() const override { return active().DeviceName(); }
    void SelectDevice() override;
    int32_t Channel() const override { return active().Channel(); }
    void setChannel(int32_t channel) override { active().setChannel(channel); }
    int32_t AIResolution() const override { return active().AIResolution(); }
    int32_t MaxChanCount() const override { return active().MaxChanCount(); }
    ondrel::Connection SignalConnection() const override { return active().SignalConnection(); }
    void setSignalConnection(ondrel::Connection connection) override { active().setSignalConnection(connection); }
    int32_t ChanStart() const override { return active().ChanStart(); }
    void setChanStart(int32_t start) override { active().setChanStart(start); }
    int32_t ChanCount() const override { return active().ChanCount(); }
    void setChanCount(int32_t count) override { active().setChanCount(count); }
    ondrel::Pacer PacerSource() const override { return active().PacerSource(); }
    void setPacerSource(ondrel::Pacer source) override { active().setPacerSource(source); }
    ondrel::Trigger TriggerMode() const override { return active().TriggerMode(); }
    void setTriggerMode(ondrel::Trigger mode) override { active().setTriggerMode(mode); }
    double TriggerAfterTime() const override { return active().TriggerAfterTime(); }
    void setTriggerAfterTime(double ms) override { active().setTriggerAfterTime(ms); }
    double TriggerDelayTime() const override { return active().TriggerDelayTime(); }
    void setTriggerDelayTime(double ms) override { active().setTriggerDelayTime(ms); }
    double SampleRate() const override { return active().SampleRate(); }
    void setSampleRate(double hz) override { active().setSampleRate(hz); }
    std::string ErrorMessage() const override;
    ondrel::SampleData DataReturnType() const override { return active().DataReturnType(); }
    void setDataReturnType(ondrel::SampleData type) override { active().setDataReturnType(type); }
    double TriggerVoltage() const override { return active().TriggerVoltage(); }
    void setTriggerVoltage(double volts) override { active().setTriggerVoltage(volts); }
    ondrel::Edge TriggerEdge() const override { return active().TriggerEdge(); }
    void setTriggerEdge(ondrel::Edge edge) override { active().setTriggerEdge(edge); }
    ondrel::TriggerInput TriggerSource() const override { return active().TriggerSource(); }
    void setTriggerSource(ondrel::TriggerInput source) override { active().setTriggerSource(source); }
    void StartFAI(int32_t& sampleCount, bool& cyclic) override { active().StartFAI(sampleCount, cyclic); }
    void StopFAI(int32_t reserved) override { active().StopFAI(reserved); }
    std::vector<double> ReadScan(bool scaled) override { return active().ReadScan(scaled); }
    void GetFirstRange(double& low, double& high, int32_t& code) override { active().GetFirstRange(low, high, code); }
    void GetNextRange(double& low, double& high, int32_t& code) override { active().GetNextRange(low, high, code); }
    void SetChannelRange(int32_t channel, double& low, double& high) override
    {
        active().SetChannelRange(channel, low, high);
    }
    void GetChannelRange(int32_t channel, double& low, double& high, int32_t& code) override
    {
        active().GetChannelRange(channel, low, high, code);
    }

private:
    [[noreturn]] void fail(const std::string& text);
    ondrel::IKroAI& active() { return *slots_[active_]->device(); }
    const ondrel::IKroAI& active() const { return *slots_[active_]->device(); }

    DeviceRegistry& registry_;
    ondrel::IDevicePrompts* chooser_;
    std::vector<std::unique_ptr<AiSlot>> slots_; // one per back end
    size_t active_ = 0;
    ondrel::IKroAIEvents* sink_ = nullptr;
    std::string errorMessage_;      // the chooser's own last failure
    std::string deviceMessageThen_; // the device's message when it happened
};

} // namespace kro
