#pragma once
#include "kro/devices/ai_settings.h"
#include "kro/devices/event_pump.h"
#include "kro/devices/range_walk.h"
#include "kro/devices/sigrok/sigrok_device.h"
#include "kro/devices/stream_halves.h"
#include "ondrel/components/ai_device.h"
#include <memory>

namespace kro {

// The analog-input component over one libsigrok instrument's analog channels.
// Settings the instrument has no notion of read back as a plain card's would:
// 16-bit resolution, single-ended, internal pacer, no triggers (a trigger mode
// is refused rather than imitated). SampleRate is the aggregate over the
// scanned channels, as for the cards; the instrument samples every channel at
// SampleRate / ChanCount. Events reach the sink on the creating thread.
class SigrokAI final : public AiSettings {
public:
    // `device` outlives the component; `number` is the device number it answers.
    SigrokAI(SigrokDevice& device, int32_t number);
    ~SigrokAI() override;

    static constexpr int32_t kResolution = 16;
    // The largest buffer a run takes, as on the larger cards.
    static constexpr int32_t kMaxBufferSamples = 1 << 24;

    bool bufferedRunActive() const override { return run_ != nullptr && running_; }
    // Test hook: whole scans the running run has taken from the instrument.
    int64_t scansReceived() const { return run_ ? run_->scansReceived() : 0; }

    int32_t DeviceNumber() const override { return number_; }
    std::string DeviceName() const override { return device_.name(); }
    void SelectDevice() override;
    int32_t Channel() const override { return channel_; }
    void setChannel(int32_t channel) override;
    int32_t AIResolution() const override { return kResolution; }
    int32_t MaxChanCount() const override { return device_.analogCount(); }
    ondrel::Connection SignalConnection() const override { return ondrel::Connection::SingleEnded; }
    void setSignalConnection(ondrel::Connection connection) override;
    int32_t ChanStart() const override { return chanStart_; }
    void setChanStart(int32_t start) override;
    int32_t ChanCount() const override { return chanCount_; }
    void setChanCount(int32_t count) override;
    ondrel::Pacer PacerSource() const override { return ondrel::Pacer::Internal; }
    void setPacerSource(ondrel::Pacer source) override;
    ondrel::Trigger TriggerMode() const override { return ondrel::Trigger::None; }
    void setTriggerMode(ondrel::Trigger mode) override;
    double SampleRate() const override;
    void setSampleRate(double hz) override;

    // As on the cards: the count is adjusted to whole scans in each half
    // (SimAI::wholeScanBuffer) and written back.
    void StartFAI(int32_t& sampleCount, bool& cyclic) override;
    // Stops the instrument; before it returns, the halves still queued and the
    // whole scans it delivered since (a shorter last half) reach the sink as
    // buffer events. No Terminated follows.
    void StopFAI(int32_t reserved) override;
    // The newest value of each scanned channel from a continuous session.
    std::vector<double> ReadScan(bool scaled) override;

    void GetFirstRange(double& low, double& high, int32_t& code) override;
    void GetNextRange(double& low, double& high, int32_t& code) override;
    void SetChannelRange(int32_t channel, double& low, double& high) override;
    void GetChannelRange(int32_t channel, double& low, double& high, int32_t& code) override;

private:
    void requireChannel(int32_t channel, const char* what);
    void applySampleRate();
    void runEnded() override { running_ = false; }
    void endRun();

    SigrokDevice& device_;
    int32_t number_;
    EventPump pump_; // before run_: the run posts through it
    std::shared_ptr<StreamHalves> run_;
    bool running_ = false;
    std::vector<size_t> rangeIndex_; // per channel, into device_.ranges()
    RangeWalk walk_;
    double perChannelRate_ = 0.0;   // as the device reads back
    double requestedRate_ = 1000.0; // aggregate, kept across channel count changes
    int32_t channel_ = 0;
    int32_t chanStart_ = 0;
    int32_t chanCount_ = 1;
};

} // namespace kro
