#include "kro/devices/sim_ai.h"
#include "kro/devices/device_error.h"
#include "kro/devices/sim_signal.h"
#include <algorithm>
#include <cmath>

namespace kro {
namespace {

bool sameLimit(double a, double b) { return std::fabs(a - b) < 1e-9; }

} // namespace

SimAI::SimAI(int32_t deviceNumber, ondrel::IDevicePrompts* chooser) : chooser_(chooser)
{
    SelectDeviceNumber(deviceNumber);
}

SimAI::~SimAI()
{
    run_.reset(); // joins the worker before the pump goes
}

void SimAI::SelectDeviceNumber(int32_t number)
{
    const SimAiCard* next = nullptr;
    if (number >= 0) {
        next = findAiCard(number);
        if (next == nullptr)
            failWith(errorMessage_, "There is no analog input device number " + std::to_string(number));
    }
    run_.reset();
    card_ = next;
    const auto channels = static_cast<size_t>(card_ ? card_->channels : 0);
    const ondrel::Connection fixed = card_ && card_->connection == SimConnection::FixedDifferential
                                         ? ondrel::Connection::Differential
                                         : ondrel::Connection::SingleEnded;
    connection_.assign(channels, fixed);
    rangeIndex_.assign(channels, 0);
    walkPosition_ = 0;
    scansRead_ = 0;
    channel_ = 0;
    chanStart_ = 0;
    chanCount_ = card_ ? std::min(card_->channels, 4) : 0;
    pacerSource_ = ondrel::Pacer::Internal;
    triggerMode_ = ondrel::Trigger::None;
    sampleRate_ = card_ ? std::min(1000.0, card_->maxSampleRate) : 1000.0;
}

std::string SimAI::DeviceName() const { return card_ ? card_->name : "No Device"; }

// Cancelling, or choosing the card already selected, keeps the card and its
// settings as they are.
void SimAI::SelectDevice()
{
    if (chooser_ == nullptr)
        failWith(errorMessage_, "SelectDevice: no device chooser is available");
    std::vector<ondrel::DeviceEntry> devices;
    for (const auto& c : aiCatalogue())
        devices.push_back({c.number, c.name});
    const auto chosen = chooser_->ChooseDevice("Select AI Device", devices, DeviceNumber());
    if (chosen && *chosen != DeviceNumber())
        SelectDeviceNumber(*chosen);
}

const SimAiCard& SimAI::requireCard(const char* what)
{
    if (card_ == nullptr)
        failWith(errorMessage_, std::string(what) + ": no analog input device is selected");
    return *card_;
}

void SimAI::requireChannel(int32_t channel, const char* what)
{
    const SimAiCard& c = requireCard(what);
    if (channel < 0 || channel >= c.channels)
        failWith(errorMessage_, std::string(what) + ": channel " + std::to_string(channel) + " is beyond the device's "
                                    + std::to_string(c.channels) + " channels");
}

void SimAI::setChannel(int32_t channel)
{
    requireChannel(channel, "Channel");
    channel_ = channel;
}

int32_t SimAI::AIResolution() const { return card_ ? card_->resolutionBits : 0; }

int32_t SimAI::MaxChanCount() const { return card_ ? card_->channels : 0; }

ondrel::Connection SimAI::SignalConnection() const
{
    return card_ ? connection_[static_cast<size_t>(channel_)] : ondrel::Connection::SingleEnded;
}

void SimAI::setSignalConnection(ondrel::Connection connection)
{
    const SimAiCard& c = requireCard("SignalConnection");
    requireSignalConnection(errorMessage_, connection);
    // A card with a fixed connection keeps it; the caller sees that on reading back.
    if (c.connection != SimConnection::Selectable)
        return;
    const auto even = static_cast<size_t>(channel_ & ~1);
    const size_t odd = even + 1;
    connection_[even] = connection;
    if (odd < connection_.size()) {
        connection_[odd] = connection;
        if (connection == ondrel::Connection::Differential) // a differential pair measures in one range
            rangeIndex_[odd] = rangeIndex_[even];
    }
}

void SimAI::setChanStart(int32_t start)
{
    requireChannel(start, "ChanStart");
    chanStart_ = start;
}

void SimAI::setChanCount(int32_t count)
{
    const SimAiCard& c = requireCard("ChanCount");
    if (count < 1 || count > c.channels)
        failWith(errorMessage_,
                 "ChanCount: " + std::to_string(count) + " is not between 1 and " + std::to_string(c.channels));
    chanCount_ = count;
}

void SimAI::setPacerSource(ondrel::Pacer source)
{
    const SimAiCard& c = requireCard("PacerSource");
    if (!c.pacerChoice)
        return; // internal clock only: the value reads back unchanged
    if (source < ondrel::Pacer::Internal || source > ondrel::Pacer::Either)
        failWith(errorMessage_,
                 "PacerSource: " + std::to_string(ondrel::Code(source)) + " is not a pacer source of " + c.name);
    pacerSource_ = source;
}

void SimAI::setTriggerMode(ondrel::Trigger mode)
{
    const SimAiCard& c = requireCard("TriggerMode");
    if (!c.triggers)
        return; // no trigger circuit: the value reads back unchanged
    if (mode < ondrel::Trigger::None || mode > ondrel::Trigger::About)
        failWith(errorMessage_, "TriggerMode: " + std::to_string(ondrel::Code(mode)) + " is not a trigger mode");
    triggerMode_ = mode;
}

void SimAI::setSampleRate(double hz)
{
    const SimAiCard& c = requireCard("SampleRate");
    if (!std::isfinite(hz) || hz <= 0)
        failWith(errorMessage_, "SampleRate: " + messageNumber(hz) + " Hz is not a valid rate");
    if (hz > c.maxSampleRate)
        failWith(errorMessage_, "SampleRate: " + messageNumber(hz) + " Hz exceeds the maximum of "
                                    + messageNumber(c.maxSampleRate) + " Hz of " + c.name);
    sampleRate_ = hz;
}

std::vector<SimRange> SimAI::channelRanges() const
{
    std::vector<SimRange> ranges;
    for (const size_t i : rangeIndex_)
        ranges.push_back(card_->ranges[i]);
    return ranges;
}

int32_t SimAI::wholeScanBuffer(int32_t requested, int32_t chanCount, int32_t maxBufferSamples)
{
    const int64_t step = 2 * static_cast<int64_t>(chanCount); // one scan in each half
    const int64_t up = (static_cast<int64_t>(requested) + step - 1) / step * step;
    return static_cast<int32_t>(up <= maxBufferSamples ? up : maxBufferSamples / step * step);
}

void SimAI::StartFAI(int32_t& sampleCount, bool& cyclic)
{
    const SimAiCard& c = requireCard("StartFAI");
    requireIdle("StartFAI");
    if (sampleCount < 2 || sampleCount > c.maxBufferSamples)
        failWith(errorMessage_, "StartFAI: a buffer of " + std::to_string(sampleCount)
                                    + " samples is not between 2 and " + std::to_string(c.maxBufferSamples));
    const int32_t adjusted = wholeScanBuffer(sampleCount, chanCount_, c.maxBufferSamples);
    const std::vector<SimRange> ranges = channelRanges();

    FaiRunConfig config;
    config.kind =
        DataReturnType() == ondrel::SampleData::RawCounts ? SampleTable::Kind::Raw : SampleTable::Kind::Scaled;
    config.table = std::make_shared<SampleTable>(c, chanStart_, chanCount_, ranges, config.kind,
                                                 SimSignal::bufferedPeriod(sampleRate_, chanCount_));
    config.sampleCount = adjusted;
    config.cyclic = cyclic;
    config.scanSize = chanCount_;
    config.sampleRate = sampleRate_;
    config.failAfterHalves = failAfterHalves_;
    run_.reset();
    run_ = std::make_unique<FaiRun>(pump_, std::move(config), [this](const FaiDelivery& d) { deliver(d); });
    sampleCount = adjusted;
}

void SimAI::StopFAI(int32_t /*reserved*/)
{
    // Taken out first: a handler the last buffers reach may stop again.
    const std::unique_ptr<FaiRun> run = std::move(run_);
    if (run)
        run->finish();
}

std::vector<double> SimAI::ReadScan(bool scaled)
{
    const SimAiCard& c = requireCard("ReadScan");
    requireIdle("ReadScan");
    const std::vector<SimRange> ranges = channelRanges();
    std::vector<double> values;
    for (int32_t i = 0; i < chanCount_; ++i) {
        const SimSample s = SimSignal::runSample(c, chanStart_, chanCount_, ranges, scansRead_ * chanCount_ + i,
                                                 SimSignal::kPolledPeriod);
        values.push_back(scaled ? s.value : static_cast<double>(s.code));
    }
    ++scansRead_;
    return values;
}

void SimAI::GetFirstRange(double& low, double& high, int32_t& code)
{
    walkPosition_ = 0;
    GetNextRange(low, high, code);
}

void SimAI::GetNextRange(double& low, double& high, int32_t& code)
{
    if (card_ == nullptr || walkPosition_ >= card_->ranges.size()) {
        low = high = 0.0;
        code = -1;
        return;
    }
    const SimRange& r = card_->ranges[walkPosition_++];
    low = r.low;
    high = r.high;
    code = r.code;
}

void SimAI::SetChannelRange(int32_t channel, double& low, double& high)
{
    requireChannel(channel, "SetChannelRange");
    const auto& ranges = card_->ranges;
    const auto it = std::find_if(ranges.begin(), ranges.end(),
                                 [&](const SimRange& r) { return sameLimit(r.low, low) && sameLimit(r.high, high); });
    if (it == ranges.end())
        failWith(errorMessage_, "SetChannelRange: " + card_->name + " has no range " + messageNumber(low) + " .. "
                                    + messageNumber(high));
    const auto index = static_cast<size_t>(it - ranges.begin());
    const auto ch = static_cast<size_t>(channel);
    rangeIndex_[ch] = index;
    if (card_->connection == SimConnection::Selectable && connection_[ch] == ondrel::Connection::Differential) {
        const size_t partner = ch ^ 1u;
        if (partner < rangeIndex_.size())
            rangeIndex_[partner] = index;
    }
}

void SimAI::GetChannelRange(int32_t channel, double& low, double& high, int32_t& code)
{
    requireChannel(channel, "GetChannelRange");
    const SimRange& r = card_->ranges[rangeIndex_[static_cast<size_t>(channel)]];
    low = r.low;
    high = r.high;
    code = r.code;
}

} // namespace kro
