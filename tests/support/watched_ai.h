#pragma once
#include "ondrel/components/ai_device.h"
#include <functional>
#include <vector>

namespace ondrel::testing {

// An analog-input card seen through a window: every call goes to the card,
// while the test counts the scans read, sees each pacer write, lets the card
// keep a rate other than the one asked for, or gives it more channels than
// it has (an extra channel answers as the card's channel of the same number
// modulo its count).
class WatchedAI final : public IKroAI {
public:
    explicit WatchedAI(IKroAI& card) : card_(card) {}

    int readScans = 0;
    std::vector<Pacer> pacerWrites;
    std::function<double(double)> keptRate; // the rate the card keeps when asked for one
    int32_t channels = 0;                   // 0: the card's own count

    void setEvents(IKroAIEvents* sink) override { card_.setEvents(sink); }
    int32_t DeviceNumber() const override { return card_.DeviceNumber(); }
    std::string DeviceName() const override { return card_.DeviceName(); }
    void SelectDevice() override { card_.SelectDevice(); }
    int32_t Channel() const override { return card_.Channel(); }
    void setChannel(int32_t channel) override { card_.setChannel(channel % card_.MaxChanCount()); }
    int32_t AIResolution() const override { return card_.AIResolution(); }
    int32_t MaxChanCount() const override { return channels > 0 ? channels : card_.MaxChanCount(); }
    Connection SignalConnection() const override { return card_.SignalConnection(); }
    void setSignalConnection(Connection connection) override { card_.setSignalConnection(connection); }
    int32_t ChanStart() const override { return card_.ChanStart(); }
    void setChanStart(int32_t start) override { card_.setChanStart(start); }
    int32_t ChanCount() const override { return card_.ChanCount(); }
    void setChanCount(int32_t count) override { card_.setChanCount(count); }
    Pacer PacerSource() const override { return card_.PacerSource(); }
    void setPacerSource(Pacer source) override
    {
        pacerWrites.push_back(source);
        card_.setPacerSource(source);
    }
    Trigger TriggerMode() const override { return card_.TriggerMode(); }
    void setTriggerMode(Trigger mode) override { card_.setTriggerMode(mode); }
    double TriggerAfterTime() const override { return card_.TriggerAfterTime(); }
    void setTriggerAfterTime(double ms) override { card_.setTriggerAfterTime(ms); }
    double TriggerDelayTime() const override { return card_.TriggerDelayTime(); }
    void setTriggerDelayTime(double ms) override { card_.setTriggerDelayTime(ms); }
    double SampleRate() const override { return card_.SampleRate(); }
    void setSampleRate(double hz) override { card_.setSampleRate(keptRate ? keptRate(hz) : hz); }
    std::string ErrorMessage() const override { return card_.ErrorMessage(); }
    SampleData DataReturnType() const override { return card_.DataReturnType(); }
    void setDataReturnType(SampleData type) override { card_.setDataReturnType(type); }
    double TriggerVoltage() const override { return card_.TriggerVoltage(); }
    void setTriggerVoltage(double volts) override { card_.setTriggerVoltage(volts); }
    Edge TriggerEdge() const override { return card_.TriggerEdge(); }
    void setTriggerEdge(Edge edge) override { card_.setTriggerEdge(edge); }
    TriggerInput TriggerSource() const override { return card_.TriggerSource(); }
    void setTriggerSource(TriggerInput source) override { card_.setTriggerSource(source); }
    void StartFAI(int32_t& sampleCount, bool& cyclic) override { card_.StartFAI(sampleCount, cyclic); }
    void StopFAI(int32_t reserved) override { card_.StopFAI(reserved); }
    std::vector<double> ReadScan(bool scaled) override
    {
        ++readScans;
        return card_.ReadScan(scaled);
    }
    void GetFirstRange(double& low, double& high, int32_t& code) override { card_.GetFirstRange(low, high, code); }
    void GetNextRange(double& low, double& high, int32_t& code) override { card_.GetNextRange(low, high, code); }
    void SetChannelRange(int32_t channel, double& low, double& high) override
    {
        card_.SetChannelRange(channel, low, high);
    }
    void GetChannelRange(int32_t channel, double& low, double& high, int32_t& code) override
    {
        card_.GetChannelRange(channel, low, high, code);
    }

private:
    IKroAI& card_;
};

} // namespace ondrel::testing
