#pragma once
#include "kro/devices/ai_settings.h"
#include "kro/devices/comedi/comedi_board.h"
#include <vector>

namespace kro {

// A Comedi board's analog input, read one scan at a time: each scanned
// channel by a single conversion in the range and reference chosen for it,
// converted to volts (or mA) by the range table. Single-ended or
// differential per channel as the board's subdevice allows. Buffered runs
// are refused for now; the board's internal pacer only, no triggers.
class ComediAI final : public AiSettings {
public:
    // `board` outlives the component; `number` is the device number it answers.
    ComediAI(ComediBoard& board, int32_t number);

    void setEvents(ondrel::IKroAIEvents*) override {}
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
    ondrel::Pacer PacerSource() const override { return ondrel::Pacer::Internal; }
    void setPacerSource(ondrel::Pacer source) override;
    ondrel::Trigger TriggerMode() const override { return ondrel::Trigger::None; }
    void setTriggerMode(ondrel::Trigger mode) override;
    double SampleRate() const override { return sampleRate_; }
    void setSampleRate(double hz) override;

    void StartFAI(int32_t& sampleCount, bool& cyclic) override;
    void StopFAI(int32_t) override {}
    std::vector<double> ReadScan(bool scaled) override;

    void GetFirstRange(double& low, double& high, int32_t& code) override;
    void GetNextRange(double& low, double& high, int32_t& code) override;
    void SetChannelRange(int32_t channel, double& low, double& high) override;
    void GetChannelRange(int32_t channel, double& low, double& high, int32_t& code) override;

private:
    void requireChannel(int32_t channel, const char* what);

    ComediBoard& board_;
    int32_t number_;
    std::vector<ondrel::Connection> connection_; // per channel
    std::vector<size_t> rangeIndex_;             // per channel, into board_.aiRanges()
    size_t walkPosition_ = 0;
    int32_t channel_ = 0;
    int32_t chanStart_ = 0;
    int32_t chanCount_ = 1;
    double sampleRate_ = 1000.0;
};

} // namespace kro
