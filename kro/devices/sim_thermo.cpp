#include "kro/devices/sim_thermo.h"
#include "kro/devices/device_error.h"
#include "kro/devices/sim_signal.h"
#include <cmath>

namespace kro {
namespace {

// Thermocouple inputs measure millivolts: these are the ranges they take.
constexpr double kThermoSpans[] = {0.005, 0.05};

} // namespace

void SimThermo::setDeviceNumber(int32_t number)
{
    const SimAiCard* c = findAiCard(number);
    card_ = c != nullptr && c->thermoChannels > 0 ? c : nullptr;
    const ondrel::Connection fixed = card_ && card_->connection == SimConnection::FixedDifferential
                                         ? ondrel::Connection::Differential
                                         : ondrel::Connection::SingleEnded;
    channels_.assign(static_cast<size_t>(card_ ? card_->thermoChannels : 0), ChannelState{fixed});
    channel_ = 0;
}

std::string SimThermo::DeviceName() const { return card_ ? card_->name : "No Device"; }

SimThermo::ChannelState* SimThermo::current()
{
    return channel_ < static_cast<int32_t>(channels_.size()) ? &channels_[static_cast<size_t>(channel_)] : nullptr;
}

const SimThermo::ChannelState* SimThermo::current() const { return const_cast<SimThermo*>(this)->current(); }

void SimThermo::requireDevice(const char* what)
{
    if (card_ == nullptr)
        failWith(errorMessage_, std::string(what) + ": No Device");
}

void SimThermo::requireChannel(int32_t channel, const char* what)
{
    if (channel < 0 || (card_ != nullptr && channel >= card_->thermoChannels))
        failWith(errorMessage_,
                 std::string(what) + ": thermocouple channel " + std::to_string(channel) + " does not exist");
}

void SimThermo::setThermoChannel(int32_t channel)
{
    requireChannel(channel, "ThermoChannel");
    channel_ = channel;
}

ondrel::Connection SimThermo::SignalConnection() const
{
    const ChannelState* s = current();
    return s ? s->connection : ondrel::Connection::SingleEnded;
}

void SimThermo::setSignalConnection(ondrel::Connection connection)
{
    requireSignalConnection(errorMessage_, connection);
    if (card_ == nullptr || card_->connection != SimConnection::Selectable)
        return; // nothing to wire, or a fixed connection that stays as it is
    const auto even = static_cast<size_t>(channel_ & ~1);
    channels_[even].connection = connection;
    if (even + 1 < channels_.size())
        channels_[even + 1].connection = connection;
}

void SimThermo::setTCType(ondrel::Thermocouple type)
{
    requireThermocouple(errorMessage_, type);
    if (ChannelState* s = current())
        s->tcType = type;
}

void SimThermo::setTempScale(ondrel::TemperatureScale scale)
{
    requireTemperatureScale(errorMessage_, scale);
    if (ChannelState* s = current())
        s->tempScale = scale;
}

void SimThermo::setExpChan(int32_t channel)
{
    if (channel < 0 || channel > 15)
        failWith(errorMessage_, "ExpChan: " + std::to_string(channel) + " is not an expansion channel (0 .. 15)");
    if (ChannelState* s = current())
        s->expChan = channel;
}

ondrel::Thermocouple SimThermo::TCType() const
{
    const ChannelState* s = current();
    return s ? s->tcType : ondrel::Thermocouple::J;
}

ondrel::TemperatureScale SimThermo::TempScale() const
{
    const ChannelState* s = current();
    return s ? s->tempScale : ondrel::TemperatureScale::Celsius;
}

int32_t SimThermo::ExpChan() const
{
    const ChannelState* s = current();
    return s ? s->expChan : 0;
}

double SimThermo::Temperature()
{
    requireDevice("Temperature");
    ChannelState& s = *current(); // channel_ was checked against this card when put
    const double c = SimSignal::celsius(*card_, channel_, s.expChan, s.reads++);
    return SimSignal::toScale(c, s.tempScale);
}

void SimThermo::SetThermoChannelRange(int32_t& channel, double low, double high)
{
    requireDevice("SetThermoChannelRange");
    requireChannel(channel, "SetThermoChannelRange");
    bool known = false;
    for (const double span : kThermoSpans)
        known = known || (std::fabs(low + span) < 1e-12 && std::fabs(high - span) < 1e-12);
    if (!known)
        failWith(errorMessage_, "SetThermoChannelRange: " + std::to_string(low) + " .. " + std::to_string(high)
                                    + " is not a thermocouple range");
    // The simulated junction reads the same in every range: nothing more to keep.
}

} // namespace kro
