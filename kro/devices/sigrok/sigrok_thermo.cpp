#include "kro/devices/sigrok/sigrok_thermo.h"
#include "kro/devices/device_error.h"
#include "kro/devices/sim_signal.h"
#include <libsigrok/libsigrok.h>

namespace kro {

bool toCelsius(double value, int32_t unit, double& celsius)
{
    switch (unit) {
    case SR_UNIT_CELSIUS:
        celsius = value;
        return true;
    case SR_UNIT_FAHRENHEIT:
        celsius = (value - 32.0) * 5.0 / 9.0;
        return true;
    case SR_UNIT_KELVIN:
        celsius = value - 273.15;
        return true;
    default:
        return false;
    }
}

SigrokThermo::SigrokThermo(SigrokDevice& device, int32_t number)
    : device_(device), number_(number),
      scale_(static_cast<size_t>(device.analogCount()), ondrel::TemperatureScale::Celsius)
{}

void SigrokThermo::setDeviceNumber(int32_t number)
{
    failWith(errorMessage_, "DeviceNumber: " + std::to_string(number) + " is chosen from the device list");
}

void SigrokThermo::setThermoChannel(int32_t channel)
{
    if (channel < 0 || channel >= device_.analogCount())
        failWith(errorMessage_, "ThermoChannel: thermocouple channel " + std::to_string(channel) + " does not exist");
    channel_ = channel;
}

void SigrokThermo::setSignalConnection(ondrel::Connection connection)
{
    requireSignalConnection(errorMessage_, connection);
}

void SigrokThermo::setTCType(ondrel::Thermocouple type) { requireThermocouple(errorMessage_, type); }

void SigrokThermo::setTempScale(ondrel::TemperatureScale scale)
{
    requireTemperatureScale(errorMessage_, scale);
    scale_[static_cast<size_t>(channel_)] = scale;
}

void SigrokThermo::setExpChan(int32_t channel)
{
    if (channel < 0 || channel > 15)
        failWith(errorMessage_, "ExpChan: " + std::to_string(channel) + " is not an expansion channel (0 .. 15)");
}

double SigrokThermo::Temperature()
{
    LatestValues latest;
    std::string message;
    if (!device_.readLatest({channel_}, false, latest, message))
        failWith(errorMessage_, "Temperature: " + message);
    const auto ch = static_cast<size_t>(channel_);
    double celsius = 0.0;
    if (!toCelsius(latest.analog[ch], latest.unit[ch], celsius))
        failWith(errorMessage_, "Temperature: channel " + device_.analogNames()[ch] + " of " + device_.name()
                                    + " measures no temperature");
    return SimSignal::toScale(celsius, scale_[ch]);
}

void SigrokThermo::SetThermoChannelRange(int32_t& channel, double /*low*/, double /*high*/)
{
    if (channel < 0 || channel >= device_.analogCount())
        failWith(errorMessage_,
                 "SetThermoChannelRange: thermocouple channel " + std::to_string(channel) + " does not exist");
}

} // namespace kro
