#include "kro/devices/comedi/comedi_ai.h"
#include "kro/devices/device_error.h"
#include <cmath>
#include <comedilib.h>

namespace kro {
namespace {

bool sameLimit(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b)); }

} // namespace

ComediAI::ComediAI(ComediBoard& board, int32_t number)
    : board_(board), number_(number),
      connection_(static_cast<size_t>(board.aiChannels()), board.aiGround() || !board.aiDifferential()
                                                               ? ondrel::Connection::SingleEnded
                                                               : ondrel::Connection::Differential),
      rangeIndex_(static_cast<size_t>(board.aiChannels()), 0)
{}

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
    if (count < 1 || count > board_.aiChannels())
        failWith(errorMessage_, "ChanCount: " + std::to_string(count) + " is not between 1 and "
                                    + std::to_string(board_.aiChannels()));
    chanCount_ = count;
}

void ComediAI::setPacerSource(ondrel::Pacer /*source*/)
{
    // The board's internal pacer only: the value reads back unchanged.
}

void ComediAI::setTriggerMode(ondrel::Trigger mode)
{
    if (mode != ondrel::Trigger::None)
        failWith(errorMessage_, "TriggerMode: triggers are not offered on " + board_.name());
}

void ComediAI::setSampleRate(double hz)
{
    if (!std::isfinite(hz) || hz <= 0)
        failWith(errorMessage_, "SampleRate: " + messageNumber(hz) + " Hz is not a valid rate");
    sampleRate_ = hz;
}

void ComediAI::StartFAI(int32_t& /*sampleCount*/, bool& /*cyclic*/)
{
    failWith(errorMessage_,
             "StartFAI: buffered acquisition is not offered on " + board_.name() + " yet; use software polling");
}

std::vector<double> ComediAI::ReadScan(bool scaled)
{
    std::vector<double> values;
    const auto subd = static_cast<unsigned>(board_.aiSubdevice());
    for (int32_t i = 0; i < chanCount_; ++i) {
        const int32_t ch = (chanStart_ + i) % board_.aiChannels();
        const size_t index = rangeIndex_[static_cast<size_t>(ch)];
        const int aref =
            connection_[static_cast<size_t>(ch)] == ondrel::Connection::Differential ? AREF_DIFF : AREF_GROUND;
        lsampl_t data = 0;
        if (comedi_data_read(board_.device(), subd, static_cast<unsigned>(ch), static_cast<unsigned>(index),
                             static_cast<unsigned>(aref), &data)
            < 0)
            failWith(errorMessage_,
                     "ReadScan: " + board_.name() + ", channel " + std::to_string(ch) + ": " + comediError());
        if (!scaled) {
            values.push_back(static_cast<double>(data));
            continue;
        }
        comedi_range* range =
            comedi_get_range(board_.device(), subd, static_cast<unsigned>(ch), static_cast<unsigned>(index));
        values.push_back(range != nullptr ? comedi_to_phys(data, range, board_.aiMaxData()) : 0.0);
    }
    return values;
}

void ComediAI::GetFirstRange(double& low, double& high, int32_t& code)
{
    walkPosition_ = 0;
    GetNextRange(low, high, code);
}

void ComediAI::GetNextRange(double& low, double& high, int32_t& code)
{
    const auto& ranges = board_.aiRanges();
    if (walkPosition_ >= ranges.size()) {
        low = high = 0.0;
        code = -1;
        return;
    }
    code = static_cast<int32_t>(walkPosition_);
    low = ranges[walkPosition_].low;
    high = ranges[walkPosition_].high;
    ++walkPosition_;
}

void ComediAI::SetChannelRange(int32_t channel, double& low, double& high)
{
    requireChannel(channel, "SetChannelRange");
    const auto& ranges = board_.aiRanges();
    for (size_t i = 0; i < ranges.size(); ++i)
        if (sameLimit(ranges[i].low, low) && sameLimit(ranges[i].high, high)) {
            rangeIndex_[static_cast<size_t>(channel)] = i;
            return;
        }
    failWith(errorMessage_, "SetChannelRange: " + board_.name() + " has no range " + messageNumber(low) + " .. "
                                + messageNumber(high));
}

void ComediAI::GetChannelRange(int32_t channel, double& low, double& high, int32_t& code)
{
    requireChannel(channel, "GetChannelRange");
    const size_t index = rangeIndex_[static_cast<size_t>(channel)];
    low = board_.aiRanges()[index].low;
    high = board_.aiRanges()[index].high;
    code = static_cast<int32_t>(index);
}

} // namespace kro
