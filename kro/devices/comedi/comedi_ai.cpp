#include "kro/devices/comedi/comedi_ai.h"
#include "kro/devices/comedi/comedi_converter.h"
#include "kro/devices/device_error.h"
#include "kro/devices/sim_ai.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace kro {
namespace {

// Samples a run may hold back while the program catches up (64 MB of floats).
constexpr int32_t kMaxBacklogSamples = 1 << 24;

// How long a polled reading waits after the multiplexer switched to its
// channel: enough for the inputs of common boards at their usual gains, and
// 160 us for a scan of 16 channels, well within a polling tick.
constexpr unsigned kSettlingNs = 10000;

} // namespace

ComediAI::ComediAI(ComediBoard& board, int32_t number)
    : board_(board), number_(number),
      connection_(static_cast<size_t>(board.aiChannels()), board.aiGround() || !board.aiDifferential()
                                                               ? ondrel::Connection::SingleEnded
                                                               : ondrel::Connection::Differential),
      rangeIndex_(static_cast<size_t>(board.aiChannels()), 0)
{
    applySampleRate();
}

void ComediAI::SelectDevice()
{
    failWith(errorMessage_, "SelectDevice: " + board_.name() + " is chosen from the device list");
}

void ComediAI::requireChannel(int32_t channel, const char* what)
{
    if (channel < 0 || channel >= board_.aiChannels())
        failWith(errorMessage_, std::string(what) + ": channel " + std::to_string(channel) + " is beyond the board's "
                                    + std::to_string(board_.aiChannels()) + " analog channels");
}

void ComediAI::setChannel(int32_t channel)
{
    requireChannel(channel, "Channel");
    channel_ = channel;
}

ondrel::Connection ComediAI::SignalConnection() const { return connection_[static_cast<size_t>(channel_)]; }

// The board's reference flags decide: a connection it cannot make is refused.
void ComediAI::setSignalConnection(ondrel::Connection connection)
{
    requireSignalConnection(errorMessage_, connection);
    if (connection == ondrel::Connection::Differential && !board_.aiDifferential())
        failWith(errorMessage_, "SignalConnection: " + board_.name() + " has no differential inputs");
    if (connection == ondrel::Connection::SingleEnded && !board_.aiGround())
        failWith(errorMessage_, "SignalConnection: " + board_.name() + " has no single-ended inputs");
    connection_[static_cast<size_t>(channel_)] = connection;
}

void ComediAI::setChanStart(int32_t start)
{
    requireChannel(start, "ChanStart");
    chanStart_ = start;
}

void ComediAI::setChanCount(int32_t count)
{
    requireIdle("ChanCount");
    if (count < 1 || count > board_.aiChannels())
        failWith(errorMessage_, "ChanCount: " + std::to_string(count) + " is not between 1 and "
                                    + std::to_string(board_.aiChannels()));
    chanCount_ = count;
    applySampleRate();
}

void ComediAI::setPacerSource(ondrel::Pacer source)
{
    if ((board_.aiScanSources() & TRIG_EXT) == 0)
        return; // the board's timer only: the value reads back unchanged
    requireIdle("PacerSource");
    if (source < ondrel::Pacer::Internal || source > ondrel::Pacer::Either)
        failWith(errorMessage_,
                 "PacerSource: " + std::to_string(ondrel::Code(source)) + " is not a pacer source of " + board_.name());
    pacerSource_ = source;
    applySampleRate();
}

void ComediAI::setTriggerMode(ondrel::Trigger mode)
{
    if ((board_.aiStartSources() & TRIG_EXT) == 0) {
        if (mode != ondrel::Trigger::None)
            failWith(errorMessage_, "TriggerMode: triggers are not offered on " + board_.name());
        return;
    }
    requireIdle("TriggerMode");
    if (mode < ondrel::Trigger::None || mode > ondrel::Trigger::About)
        failWith(errorMessage_, "TriggerMode: " + std::to_string(ondrel::Code(mode)) + " is not a trigger mode");
    if (mode == ondrel::Trigger::About)
        failWith(errorMessage_,
                 "TriggerMode: " + board_.name() + " keeps no data from before a trigger; choose Post or Delay");
    triggerMode_ = mode;
}

void ComediAI::setSampleRate(double hz)
{
    requireIdle("SampleRate");
    if (!std::isfinite(hz) || hz <= 0)
        failWith(errorMessage_, "SampleRate: " + messageNumber(hz) + " Hz is not a valid rate");
    requestedRate_ = hz;
    applySampleRate();
}

// The rate asked for is tested as a command would run it, so the rate the
// board's timer really keeps is what reads back. An external clock paces as
// it is; a board without commands is polled, where the rate is the caller's.
void ComediAI::applySampleRate()
{
    sampleRate_ = requestedRate_;
    if (!board_.aiCommands() || pacerSource_ != ondrel::Pacer::Internal)
        return;
    try {
        sampleRate_ = ComediCommand(board_, scan(true, 0)).rate();
    } catch (const std::runtime_error&) {
        // What the board refuses here is refused with its reason at StartFAI.
    }
}

unsigned ComediAI::chanspec(int32_t channel) const
{
    const auto ch = static_cast<size_t>(channel);
    const unsigned aref = connection_[ch] == ondrel::Connection::Differential ? AREF_DIFF : AREF_GROUND;
    return CR_PACK(static_cast<unsigned>(channel), boardRange(channel), aref);
}

unsigned ComediAI::boardRange(int32_t channel) const
{
    return board_.aiRanges(channel)[rangeIndex_[static_cast<size_t>(channel)]].index;
}

ComediScan ComediAI::scan(bool cyclic, int64_t scans) const
{
    ComediScan s;
    for (int32_t i = 0; i < chanCount_; ++i)
        s.chanlist.push_back(chanspec((chanStart_ + i) % board_.aiChannels()));
    s.rate = requestedRate_;
    s.externalPacer = pacerSource_ != ondrel::Pacer::Internal;
    s.externalStart = triggerMode_ != ondrel::Trigger::None;
    s.fallingEdge = TriggerEdge() == ondrel::Edge::Falling;
    s.cyclic = cyclic;
    s.scans = static_cast<uint32_t>(std::clamp<int64_t>(scans, 0, UINT32_MAX));
    return s;
}

ComediRunConfig ComediAI::runConfig(int32_t sampleCount, bool cyclic, int64_t skipScans) const
{
    ComediRunConfig config;
    config.skipScans = skipScans;
    config.halves.chanCount = chanCount_;
    config.halves.sampleCount = sampleCount;
    config.halves.cyclic = cyclic;
    config.halves.raw = DataReturnType() == ondrel::SampleData::RawCounts;
    // A second of scans may wait for the program, within a bound on memory.
    const double scanRate = sampleRate_ / chanCount_;
    config.halves.backlogScans =
        static_cast<int64_t>(std::min(std::max(scanRate, 1.0), static_cast<double>(kMaxBacklogSamples) / chanCount_));
    for (int32_t i = 0; i < chanCount_; ++i) {
        const int32_t ch = (chanStart_ + i) % board_.aiChannels();
        config.converters.emplace_back(board_, static_cast<unsigned>(ch), boardRange(ch));
        // Raw runs carry the board's own counts.
        config.halves.rawScales.push_back(
            {0.0, static_cast<double>(board_.aiMaxData()), std::min(board_.aiResolution(), 16)});
    }
    return config;
}

void ComediAI::StartFAI(int32_t& sampleCount, bool& cyclic)
{
    requireIdle("StartFAI");
    if (sampleCount < 2 || sampleCount > kMaxBufferSamples)
        failWith(errorMessage_, "StartFAI: a buffer of " + std::to_string(sampleCount)
                                    + " samples is not between 2 and " + std::to_string(kMaxBufferSamples));
    if (triggerMode_ != ondrel::Trigger::None && TriggerSource() != ondrel::TriggerInput::Digital)
        failWith(errorMessage_, "StartFAI: " + board_.name()
                                    + " starts on its digital trigger input only; choose the trigger source Digital");
    const int32_t adjusted = SimAI::wholeScanBuffer(sampleCount, chanCount_, kMaxBufferSamples);
    endRun();
    const double scanRate = sampleRate_ / chanCount_;
    // A delay longer than a command can count is as long as it can count.
    const int64_t skipScans = triggerMode_ == ondrel::Trigger::Delay
                                  ? std::llround(std::min(TriggerDelayTime() / 1000.0 * scanRate, double{UINT32_MAX}))
                                  : 0;
    ComediRunConfig config = runConfig(adjusted, cyclic, skipScans);
    try {
        ComediCommand command(board_, scan(cyclic, adjusted / chanCount_ + skipScans));
        command.start();
    } catch (const std::runtime_error& error) {
        failWith(errorMessage_, std::string("StartFAI: ") + error.what());
    }
    try {
        run_ =
            std::make_unique<ComediRun>(pump_, board_, std::move(config), [this](const FaiDelivery& d) { deliver(d); });
    } catch (const std::exception& error) {
        // No reader, no run: the board must not go on acquiring into its buffer.
        comedi_cancel(board_.device(), static_cast<unsigned>(board_.aiSubdevice()));
        failWith(errorMessage_, std::string("StartFAI: ") + error.what());
    }
    running_ = true;
    sampleCount = adjusted;
}

// The board stops first: the scans it delivered until then are the run's,
// and reach the sink before StopFAI returns.
void ComediAI::StopFAI(int32_t /*reserved*/)
{
    if (run_ == nullptr)
        return;
    // Taken out first: a handler the last buffers reach may stop again.
    const std::unique_ptr<ComediRun> run = std::move(run_);
    running_ = false;
    run->finish();
}

// A run that ended by itself still holds the subdevice until it is cancelled.
void ComediAI::endRun()
{
    run_.reset();
    running_ = false;
}

std::vector<double> ComediAI::ReadScan(bool scaled)
{
    requireIdle("ReadScan");
    endRun();
    std::vector<double> values;
    const auto subd = static_cast<unsigned>(board_.aiSubdevice());
    for (int32_t i = 0; i < chanCount_; ++i) {
        const int32_t ch = (chanStart_ + i) % board_.aiChannels();
        const unsigned range = boardRange(ch);
        const unsigned aref = CR_AREF(chanspec(ch));
        lsampl_t data = 0;
        // One converter is switched from channel to channel: each reading
        // waits for the input to settle after a switch, or it is inaccurate.
        const unsigned settle = chanCount_ > 1 ? kSettlingNs : 0;
        if (comedi_data_read_delayed(board_.device(), subd, static_cast<unsigned>(ch), range, aref, &data, settle) < 0)
            failWith(errorMessage_,
                     "ReadScan: " + board_.name() + ", channel " + std::to_string(ch) + ": " + comediError());
        values.push_back(scaled ? ComediConverter(board_, static_cast<unsigned>(ch), range)(data)
                                : static_cast<double>(data));
    }
    return values;
}

void ComediAI::GetFirstRange(double& low, double& high, int32_t& code)
{
    walk_.first(board_.aiRanges(), low, high, code);
}

void ComediAI::GetNextRange(double& low, double& high, int32_t& code)
{
    walk_.next(board_.aiRanges(), low, high, code);
}

void ComediAI::SetChannelRange(int32_t channel, double& low, double& high)
{
    requireChannel(channel, "SetChannelRange");
    const auto index = findRange(board_.aiRanges(channel), low, high);
    if (!index)
        failWith(errorMessage_, "SetChannelRange: " + board_.name() + " has no range " + messageNumber(low) + " .. "
                                    + messageNumber(high)
                                    + (board_.aiRangesPerChannel() ? " on channel " + std::to_string(channel) : ""));
    rangeIndex_[static_cast<size_t>(channel)] = *index;
}

void ComediAI::GetChannelRange(int32_t channel, double& low, double& high, int32_t& code)
{
    requireChannel(channel, "GetChannelRange");
    const size_t index = rangeIndex_[static_cast<size_t>(channel)];
    low = board_.aiRanges(channel)[index].low;
    high = board_.aiRanges(channel)[index].high;
    code = static_cast<int32_t>(index);
}

} // namespace kro
