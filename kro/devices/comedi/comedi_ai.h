#pragma once
#include "kro/devices/ai_settings.h"
#include "kro/devices/comedi/comedi_board.h"
#include "kro/devices/comedi/comedi_command.h"
#include "kro/devices/comedi/comedi_run.h"
#include "kro/devices/event_pump.h"
#include "kro/devices/range_walk.h"
#include <memory>
#include <vector>

namespace kro {

// A Comedi board's analog input. Polled, each scanned channel is read by a
// single conversion in the range and reference chosen for it; buffered, a
// Comedi command paces the scans with the board's timer or its external
// clock 0, starting at once or on its digital trigger input (Post, or Delay:
// the scans within TriggerDelayTime after the trigger are dropped). The
// command is tested before it runs, and the rate the board's timer can keep
// is what SampleRate reads back. Counts become volts (or mA) through the
// board's calibration where it has one (ComediConverter). Single-ended or
// differential per channel as the board's subdevice allows. Events reach the
// sink on the creating thread.
class ComediAI final : public AiSettings {
public:
    // `board` outlives the component; `number` is the device number it answers.
    ComediAI(ComediBoard& board, int32_t number);

    // The largest buffer a run takes, as on the larger cards.
    static constexpr int32_t kMaxBufferSamples = 1 << 24;

    bool bufferedRunActive() const override { return run_ != nullptr && running_; }

    int32_t DeviceNumber() const override { return number_; }
    std::string DeviceName() const override { return board_.name(); }
    void SelectDevice() override;
    int32_t Channel() const override { return channel_; }
    void setChannel(int32_t channel) override;
    int32_t AIResolution() const override { return board_.aiResolution(); }
    int32_t MaxChanCount() const override { return board_.aiChannels(); }
    ondrel::Connection SignalConnection() const override;
    void setSignalConnection(ondrel::Connection connection) override;
    int32_t ChanStart() const override { return chanStart_; }
    void setChanStart(int32_t start) override;
    int32_t ChanCount() const override { return chanCount_; }
    void setChanCount(int32_t count) override;
    // The board's timer, or its external clock 0 where its commands offer one;
    // a board without reads back Internal whatever is written.
    ondrel::Pacer PacerSource() const override { return pacerSource_; }
    void setPacerSource(ondrel::Pacer source) override;
    // None, Post or Delay where the board starts commands on an external
    // trigger; About needs data from before the trigger, which a command does
    // not keep, and is refused.
    ondrel::Trigger TriggerMode() const override { return triggerMode_; }
    void setTriggerMode(ondrel::Trigger mode) override;
    double SampleRate() const override { return sampleRate_; }
    void setSampleRate(double hz) override;

    // As on the cards: the count is adjusted to whole scans in each half
    // (SimAI::wholeScanBuffer) and written back.
    void StartFAI(int32_t& sampleCount, bool& cyclic) override;
    // Stops the board; before it returns, the halves still queued and the
    // whole scans it delivered since (a shorter last half) reach the sink as
    // buffer events. No Terminated follows.
    void StopFAI(int32_t reserved) override;
    std::vector<double> ReadScan(bool scaled) override;

    void GetFirstRange(double& low, double& high, int32_t& code) override;
    void GetNextRange(double& low, double& high, int32_t& code) override;
    void SetChannelRange(int32_t channel, double& low, double& high) override;
    void GetChannelRange(int32_t channel, double& low, double& high, int32_t& code) override;

private:
    void requireChannel(int32_t channel, const char* what);
    unsigned chanspec(int32_t channel) const;
    // The range `channel` is set to, as its place in the board's own table.
    unsigned boardRange(int32_t channel) const;
    ComediScan scan(bool cyclic, int64_t scans) const;
    void applySampleRate();
    ComediRunConfig runConfig(int32_t sampleCount, bool cyclic, int64_t skipScans) const;
    void runEnded() override { running_ = false; }
    void endRun();

    ComediBoard& board_;
    int32_t number_;
    EventPump pump_; // before run_: the run posts through it
    std::unique_ptr<ComediRun> run_;
    bool running_ = false;
    std::vector<ondrel::Connection> connection_; // per channel
    std::vector<size_t> rangeIndex_;             // per channel, into board_.aiRanges(channel)
    RangeWalk walk_;
    int32_t channel_ = 0;
    int32_t chanStart_ = 0;
    int32_t chanCount_ = 1;
    ondrel::Pacer pacerSource_ = ondrel::Pacer::Internal;
    ondrel::Trigger triggerMode_ = ondrel::Trigger::None;
    double requestedRate_ = 1000.0;
    double sampleRate_ = 1000.0; // as the board's timer keeps it
};

} // namespace kro
