#pragma once
#include "kro/devices/sim_catalogue.h"
#include "ondrel/components/thermo_device.h"
#include <vector>

namespace kro {

// The simulated thermocouple component. It answers "No Device" until the number
// of a thermocouple-capable analog card is put in DeviceNumber; any other number
// leaves it without a device. Without a device it still takes channel and
// setting puts (the settings dialogs write them for every channel), but has no
// temperature to read.
class SimThermo final : public ondrel::IKroThermo {
public:
    SimThermo() = default;

    std::string ErrorMessage() const { return errorMessage_; }
    // Settings of ThermoChannel as last put, for inspection.
    ondrel::Thermocouple TCType() const;
    ondrel::TemperatureScale TempScale() const;
    int32_t ExpChan() const;

    int32_t DeviceNumber() const override { return card_ ? card_->number : -1; }
    void setDeviceNumber(int32_t number) override;
    std::string DeviceName() const override;
    int32_t ThermoChannel() const override { return channel_; }
    void setThermoChannel(int32_t channel) override;
    ondrel::Connection SignalConnection() const override;
    void setSignalConnection(ondrel::Connection connection) override;
    void setTCType(ondrel::Thermocouple type) override;
    void setTempScale(ondrel::TemperatureScale scale) override;
    void setExpChan(int32_t channel) override;
    double Temperature() override;
    void SetThermoChannelRange(int32_t& channel, double low, double high) override;

private:
    struct ChannelState {
        ondrel::Connection connection = ondrel::Connection::SingleEnded;
        ondrel::Thermocouple tcType = ondrel::Thermocouple::J;
        ondrel::TemperatureScale tempScale = ondrel::TemperatureScale::Celsius;
        int32_t expChan = 0;
        int64_t reads = 0;
    };
    ChannelState* current();
    const ChannelState* current() const;
    void requireDevice(const char* what);
    void requireChannel(int32_t channel, const char* what);

    const SimAiCard* card_ = nullptr;
    std::vector<ChannelState> channels_;
    int32_t channel_ = 0;
    std::string errorMessage_;
};

} // namespace kro
