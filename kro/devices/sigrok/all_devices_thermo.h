#pragma once
#include "kro/devices/sigrok/sigrok_catalogue.h"
#include "kro/devices/sigrok/sigrok_thermo.h"
#include "kro/devices/sim_thermo.h"
#include <memory>

namespace kro {

// The thermocouple component the program gets: a simulated thermocouple card's
// number binds it to that card, an instrument's number to the instrument's
// temperature channels; any other number leaves it without a device.
class AllDevicesThermo final : public ondrel::IKroThermo {
public:
    explicit AllDevicesThermo(SigrokCatalogue& catalogue) : catalogue_(catalogue) {}

    int32_t DeviceNumber() const override { return active().DeviceNumber(); }
    void setDeviceNumber(int32_t number) override;
    std::string DeviceName() const override { return active().DeviceName(); }
    int32_t ThermoChannel() const override { return active().ThermoChannel(); }
    void setThermoChannel(int32_t channel) override { active().setThermoChannel(channel); }
    int32_t SignalConnection() const override { return active().SignalConnection(); }
    void setSignalConnection(int32_t connection) override { active().setSignalConnection(connection); }
    void setTCType(int32_t type) override { active().setTCType(type); }
    void setTempScale(int32_t scale) override { active().setTempScale(scale); }
    void setExpChan(int32_t channel) override { active().setExpChan(channel); }
    double Temperature() override { return active().Temperature(); }
    void SetThermoChannelRange(int32_t& channel, double low, double high) override
    {
        active().SetThermoChannelRange(channel, low, high);
    }

private:
    ondrel::IKroThermo& active() { return instrument_ ? static_cast<ondrel::IKroThermo&>(*instrument_) : sim_; }
    const ondrel::IKroThermo& active() const
    {
        return instrument_ ? static_cast<const ondrel::IKroThermo&>(*instrument_) : sim_;
    }

    SigrokCatalogue& catalogue_;
    SimThermo sim_;
    std::unique_ptr<SigrokThermo> instrument_;
};

} // namespace kro
