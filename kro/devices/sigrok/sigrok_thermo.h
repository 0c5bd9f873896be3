#pragma once
#include "kro/devices/sigrok/sigrok_device.h"
#include "ondrel/components/thermo_device.h"
#include <vector>

namespace kro {

// The thermocouple component over an instrument's temperature channels (those
// whose quantity is temperature); thermocouple channel c is analog channel c.
// The instrument linearises and compensates itself, so the thermocouple type,
// expansion channel and range are kept but change nothing; the reading is the
// channel's newest value converted to the channel's scale.
class SigrokThermo final : public ondrel::IKroThermo {
public:
    SigrokThermo(SigrokDevice& device, int32_t number);
    ~SigrokThermo() override { device_.stopPolling(); }

    std::string ErrorMessage() const { return errorMessage_; }

    int32_t DeviceNumber() const override { return number_; }
    void setDeviceNumber(int32_t number) override;
    std::string DeviceName() const override { return device_.name(); }
    int32_t ThermoChannel() const override { return channel_; }
    void setThermoChannel(int32_t channel) override;
    ondrel::Connection SignalConnection() const override { return ondrel::Connection::SingleEnded; }
    void setSignalConnection(ondrel::Connection connection) override;
    void setTCType(ondrel::Thermocouple type) override;
    void setTempScale(ondrel::TemperatureScale scale) override;
    void setExpChan(int32_t channel) override;
    double Temperature() override;
    void SetThermoChannelRange(int32_t& channel, double low, double high) override;

private:
    SigrokDevice& device_;
    int32_t number_;
    int32_t channel_ = 0;
    std::vector<ondrel::TemperatureScale> scale_; // per channel
    std::string errorMessage_;
};

// Celsius from a value in libsigrok's temperature unit `unit`; false when the
// unit is no temperature.
bool toCelsius(double value, int32_t unit, double& celsius);

} // namespace kro
