#pragma once
#include "kro/devices/device_registry.h"
#include <memory>
#include <vector>

namespace kro {

// The thermocouple component the program gets: a device number binds it to
// that device's thermocouple inputs (a simulated thermocouple card's, an
// instrument's temperature channels) through the back end that numbered it;
// a number whose device has none leaves it without a device.
class AllDevicesThermo final : public ondrel::IKroThermo {
public:
    explicit AllDevicesThermo(DeviceRegistry& registry);

    int32_t DeviceNumber() const override { return active().DeviceNumber(); }
    void setDeviceNumber(int32_t number) override;
    std::string DeviceName() const override { return active().DeviceName(); }
    int32_t ThermoChannel() const override { return active().ThermoChannel(); }
    void setThermoChannel(int32_t channel) override { active().setThermoChannel(channel); }
    ondrel::Connection SignalConnection() const override { return active().SignalConnection(); }
    void setSignalConnection(ondrel::Connection connection) override { active().setSignalConnection(connection); }
    void setTCType(ondrel::Thermocouple type) override { active().setTCType(type); }
    void setTempScale(ondrel::TemperatureScale scale) override { active().setTempScale(scale); }
    void setExpChan(int32_t channel) override { active().setExpChan(channel); }
    double Temperature() override { return active().Temperature(); }
    void SetThermoChannelRange(int32_t& channel, double low, double high) override
    {
        active().SetThermoChannelRange(channel, low, high);
    }

private:
    ondrel::IKroThermo& active() { return *slots_[active_]->device(); }
    const ondrel::IKroThermo& active() const { return *slots_[active_]->device(); }

    DeviceRegistry& registry_;
    std::vector<std::unique_ptr<ThermoSlot>> slots_; // one per back end
    size_t active_ = 0;
};

} // namespace kro
