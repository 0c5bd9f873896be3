#include "kro/devices/sigrok/sigrok_ai.h"
#include "kro/devices/device_error.h"
#include "kro/devices/range_walk.h"
#include "kro/devices/sim_ai.h"
#include <algorithm>
#include <cmath>

namespace kro {
namespace {

// A device that paces itself and tells no rate is taken to send once a second.
constexpr double kUnknownRate = 1.0;
// Samples a run may hold back while the program catches up (64 MB of floats).
constexpr int32_t kMaxBacklogSamples = 1 << 24;

} // namespace

SigrokAI::SigrokAI(SigrokDevice& device, int32_t number)
    : device_(device), number_(number), rangeIndex_(static_cast<size_t>(device.analogCount()), 0),
      chanCount_(std::min(device.analogCount(), 4))
{
    applySampleRate();
}

SigrokAI::~SigrokAI()
{
    endRun();
    device_.stopPolling();
}

void SigrokAI::SelectDevice()
{
    failWith(errorMessage_, "SelectDevice: " + device_.name() + " is chosen from the device list");
}

void SigrokAI::requireChannel(int32_t channel, const char* what)
{
    if (channel < 0 || channel >= device_.analogCount())
        failWith(errorMessage_, std::string(what) + ": channel " + std::to_string(channel) + " is beyond the device's "
                                    + std::to_string(device_.analogCount()) + " analog channels");
}

void SigrokAI::setChannel(int32_t channel)
{
    requireChannel(channel, "Channel");
    channel_ = channel;
}

void SigrokAI::setSignalConnection(ondrel::Connection connection)
{
    requireSignalConnection(errorMessage_, connection);
    // Instruments are wired single-ended here: the value reads back unchanged.
}

void SigrokAI::setChanStart(int32_t start)
{
    requireChannel(start, "ChanStart");
    chanStart_ = start;
}

void SigrokAI::setChanCount(int32_t count)
{
    requireIdle("ChanCount");
    if (count < 1 || count > device_.analogCount())
        failWith(errorMessage_, "ChanCount: " + std::to_string(count) + " is not between 1 and "
                                    + std::to_string(device_.analogCount()));
    chanCount_ = count;
    applySampleRate();
}

void SigrokAI::setPacerSource(ondrel::Pacer /*source*/)
{
    // The instrument's own clock only: the value reads back unchanged.
}

void SigrokAI::setTriggerMode(ondrel::Trigger mode)
{
    if (mode != ondrel::Trigger::None)
        failWith(errorMessage_, "TriggerMode: " + device_.name() + " cannot trigger on its analog channels");
}

double SigrokAI::SampleRate() const
{
    const double perChannel = perChannelRate_ > 0.0 ? perChannelRate_ : kUnknownRate;
    return perChannel * std::max(chanCount_, 1);
}

void SigrokAI::setSampleRate(double hz)
{
    requireIdle("SampleRate");
    if (!std::isfinite(hz) || hz <= 0)
        failWith(errorMessage_, "SampleRate: " + messageNumber(hz) + " Hz is not a valid rate");
    requestedRate_ = hz;
    applySampleRate();
}

// The instrument is asked for the per-channel share and read back, so a rate
// it refused or rounded shows as it really is.
void SigrokAI::applySampleRate()
{
    const double perChannel = std::max(1.0, std::round(requestedRate_ / std::max(chanCount_, 1)));
    device_.setSamplerate(static_cast<uint64_t>(std::min(perChannel, 1e12)));
    perChannelRate_ = static_cast<double>(device_.samplerate());
}

void SigrokAI::StartFAI(int32_t& sampleCount, bool& cyclic)
{
    requireIdle("StartFAI");
    if (chanCount_ < 1)
        failWith(errorMessage_, "StartFAI: " + device_.name() + " has no analog channel");
    if (sampleCount < 2 || sampleCount > kMaxBufferSamples)
        failWith(errorMessage_, "StartFAI: a buffer of " + std::to_string(sampleCount)
                                    + " samples is not between 2 and " + std::to_string(kMaxBufferSamples));
    const int32_t adjusted = SimAI::wholeScanBuffer(sampleCount, chanCount_, kMaxBufferSamples);

    StreamHalvesConfig config;
    config.chanCount = chanCount_;
    config.sampleCount = adjusted;
    config.cyclic = cyclic;
    config.raw = DataReturnType() == ondrel::SampleData::RawCounts;
    // A second of the stream may wait for the program, within a bound on memory.
    config.backlogScans = static_cast<int64_t>(
        std::min(std::max(perChannelRate_, 1.0), static_cast<double>(kMaxBacklogSamples) / chanCount_));
    config.halfReleased = [&device = device_] { device.resumeRunLater(); };
    std::vector<int32_t> scan;
    for (int32_t i = 0; i < chanCount_; ++i) {
        const int32_t ch = (chanStart_ + i) % device_.analogCount();
        scan.push_back(ch);
        const SigrokRange& r = device_.ranges()[rangeIndex_[static_cast<size_t>(ch)]];
        config.rawScales.push_back({r.low, r.high, kResolution});
    }
    endRun();
    run_ = std::make_shared<StreamHalves>(pump_, std::move(config), [this](const FaiDelivery& d) { deliver(d); });
    running_ = true;
    try {
        device_.startRun(scan, run_);
    } catch (const std::exception& error) {
        run_->stop();
        run_.reset();
        running_ = false;
        failWith(errorMessage_, std::string("StartFAI: ") + error.what());
    }
    sampleCount = adjusted;
}

// The instrument stops first: the scans it delivered until then are the
// run's, and reach the sink before StopFAI returns.
void SigrokAI::StopFAI(int32_t /*reserved*/)
{
    if (run_ == nullptr)
        return;
    // Taken out first: a handler the last buffers reach may stop again.
    const std::shared_ptr<StreamHalves> run = std::move(run_);
    running_ = false;
    device_.stop();
    run->handOverRest();
}

void SigrokAI::endRun()
{
    if (run_ == nullptr)
        return;
    run_->stop();
    device_.stop();
    run_.reset();
    running_ = false;
}

std::vector<double> SigrokAI::ReadScan(bool scaled)
{
    requireIdle("ReadScan");
    if (chanCount_ < 1)
        failWith(errorMessage_, "ReadScan: " + device_.name() + " has no analog channel");
    std::vector<int32_t> scan;
    scan.reserve(static_cast<size_t>(chanCount_));
    for (int32_t i = 0; i < chanCount_; ++i)
        scan.push_back((chanStart_ + i) % device_.analogCount());
    LatestValues latest;
    std::string message;
    if (!device_.readLatest(scan, false, latest, message))
        failWith(errorMessage_, "ReadScan: " + message);
    std::vector<double> values;
    for (const int32_t ch : scan) {
        const double v = latest.analog[static_cast<size_t>(ch)];
        const SigrokRange& r = device_.ranges()[rangeIndex_[static_cast<size_t>(ch)]];
        values.push_back(scaled ? v : static_cast<double>(countsOf(v, {r.low, r.high, kResolution})));
    }
    return values;
}

void SigrokAI::GetFirstRange(double& low, double& high, int32_t& code)
{
    walk_.first(device_.ranges(), low, high, code);
}

void SigrokAI::GetNextRange(double& low, double& high, int32_t& code) { walk_.next(device_.ranges(), low, high, code); }

void SigrokAI::SetChannelRange(int32_t channel, double& low, double& high)
{
    requireChannel(channel, "SetChannelRange");
    const auto index = findRange(device_.ranges(), low, high);
    if (!index)
        failWith(errorMessage_, "SetChannelRange: " + device_.name() + " has no range " + messageNumber(low) + " .. "
                                    + messageNumber(high));
    // A range the instrument refuses leaves the one it has, which reads back.
    if (device_.setRange(channel, *index))
        rangeIndex_[static_cast<size_t>(channel)] = *index;
}

void SigrokAI::GetChannelRange(int32_t channel, double& low, double& high, int32_t& code)
{
    requireChannel(channel, "GetChannelRange");
    const size_t index = rangeIndex_[static_cast<size_t>(channel)];
    const SigrokRange& r = device_.ranges()[index];
    low = r.low;
    high = r.high;
    code = static_cast<int32_t>(index);
}

} // namespace kro
