#pragma once
#include "kro/devices/ai_settings.h"
#include "kro/devices/event_pump.h"
#include "kro/devices/fai_run.h"
#include "kro/devices/sim_catalogue.h"
#include "ondrel/components/ai_device.h"
#include "ondrel/components/device_prompts.h"
#include <memory>
#include <optional>

namespace kro {

// The simulated analog-input component. It starts with the catalogue's first
// card selected; SelectDevice asks `chooser` to pick from the catalogue. Events reach the sink on the thread that created the object.
// Do not destroy it from inside one of its own events.
class SimAI final : public AiSettings {
public:
    explicit SimAI(int32_t deviceNumber = card::Differential16, ondrel::IDevicePrompts* chooser = nullptr);
    ~SimAI() override;

    // Selects a catalogue card without the chooser; a negative number leaves
    // no device selected. Stops a running buffered run.
    void SelectDeviceNumber(int32_t number);
    const SimAiCard* card() const { return card_; }

    // The buffer StartFAI makes of `requested` samples (2 .. maxBufferSamples)
    // over `chanCount` channels: the smallest multiple of 2 x chanCount that holds
    // at least the requested samples, e.g. 4096 over 3 channels gives 4098 and
    // over 6 channels 4104. Where that would exceed the card's buffer, the
    // largest multiple of 2 x chanCount within it (slightly fewer samples than
    // asked for, e.g. 4194300 of a 4194304-sample buffer over 3 channels).
    static int32_t wholeScanBuffer(int32_t requested, int32_t chanCount, int32_t maxBufferSamples);

    // Test hooks.
    void setFailAfterHalves(int32_t halves) { failAfterHalves_ = halves; } // -1: never
    bool bufferedRunActive() const override { return run_ != nullptr && !run_->workerDone(); }
    int64_t samplesAcquired() const { return run_ ? run_->samplesAcquired() : 0; }
    // Reports a data type no card of this kind has, as a faulty driver would.
    void reportDataReturnType(ondrel::SampleData type) { faultyDataReturnType_ = type; }

    int32_t DeviceNumber() const override { return card_ ? card_->number : -1; }
    std::string DeviceName() const override;
    void SelectDevice() override;
    int32_t Channel() const override { return channel_; }
    void setChannel(int32_t channel) override;
    int32_t AIResolution() const override;
    int32_t MaxChanCount() const override;
    ondrel::Connection SignalConnection() const override;
    void setSignalConnection(ondrel::Connection connection) override;
    int32_t ChanStart() const override { return chanStart_; }
    void setChanStart(int32_t start) override;
    int32_t ChanCount() const override { return chanCount_; }
    void setChanCount(int32_t count) override;
    ondrel::Pacer PacerSource() const override { return pacerSource_; }
    void setPacerSource(ondrel::Pacer source) override;
    ondrel::Trigger TriggerMode() const override { return triggerMode_; }
    void setTriggerMode(ondrel::Trigger mode) override;
    double SampleRate() const override { return sampleRate_; }
    void setSampleRate(double hz) override;
    ondrel::SampleData DataReturnType() const override
    {
        return faultyDataReturnType_.value_or(AiSettings::DataReturnType());
    }

    // Starts a buffered run of the current ChanStart, ChanCount, ranges and
    // SampleRate, its signal being SimSignal::runSample with the period
    // SimSignal::bufferedPeriod(SampleRate, ChanCount). A requested count below 2
    // or above the card's maxBufferSamples is refused (nothing changes). Any
    // other count is adjusted so that each half buffer is whole scans, and
    // written back into `sampleCount`: see wholeScanBuffer. The halves carry
    // sampleCount / 2 samples each and the stream runs on across halves and
    // buffers, so every half starts at a scan boundary.
    void StartFAI(int32_t& sampleCount, bool& cyclic) override;
    // Ends the run; before it returns, the halves still queued and the whole
    // scans acquired since the last half (a shorter last buffer) reach the sink
    // as buffer events. No Terminated follows.
    void StopFAI(int32_t reserved) override;
    // Scan n of the signal with the period SimSignal::kPolledPeriod, n counting
    // the ReadScan calls since the card was selected.
    std::vector<double> ReadScan(bool scaled) override;

    void GetFirstRange(double& low, double& high, int32_t& code) override;
    void GetNextRange(double& low, double& high, int32_t& code) override;
    void SetChannelRange(int32_t channel, double& low, double& high) override;
    void GetChannelRange(int32_t channel, double& low, double& high, int32_t& code) override;

private:
    const SimAiCard& requireCard(const char* what);
    void requireChannel(int32_t channel, const char* what);
    std::vector<SimRange> channelRanges() const;

    ondrel::IDevicePrompts* chooser_ = nullptr;
    EventPump pump_; // before run_: the run posts through it
    std::unique_ptr<FaiRun> run_;
    const SimAiCard* card_ = nullptr;
    std::vector<ondrel::Connection> connection_; // per channel
    std::vector<size_t> rangeIndex_;             // per channel, into card_->ranges
    size_t walkPosition_ = 0;
    int64_t scansRead_ = 0; // ReadScan's position in the signal
    int32_t channel_ = 0;
    int32_t chanStart_ = 0;
    int32_t chanCount_ = 1;
    ondrel::Pacer pacerSource_ = ondrel::Pacer::Internal;
    ondrel::Trigger triggerMode_ = ondrel::Trigger::None;
    double sampleRate_ = 1000.0;
    std::optional<ondrel::SampleData> faultyDataReturnType_; // the test hook's
    int32_t failAfterHalves_ = -1;
};

} // namespace kro
