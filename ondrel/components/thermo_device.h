#pragma once
#include "ondrel/components/component_error.h"
#include "ondrel/components/device_codes.h"
#include <cstdint>
#include <string>

namespace ondrel {

// The thermocouple component as the program calls it. Settings apply to the
// channel last put in ThermoChannel.
class IKroThermo {
public:
    virtual ~IKroThermo() = default;
    virtual int32_t DeviceNumber() const = 0; // negative: no device
    virtual void setDeviceNumber(int32_t number) = 0;
    virtual std::string DeviceName() const = 0; // "No Device" when none
    virtual int32_t ThermoChannel() const = 0;
    virtual void setThermoChannel(int32_t channel) = 0;
    virtual Connection SignalConnection() const = 0;
    virtual void setSignalConnection(Connection connection) = 0;
    virtual void setTCType(Thermocouple type) = 0;
    virtual void setTempScale(TemperatureScale scale) = 0;
    virtual void setExpChan(int32_t channel) = 0;
    virtual double Temperature() = 0; // of ThermoChannel, in TempScale
    virtual void SetThermoChannelRange(int32_t& channel, double low, double high) = 0;
};

} // namespace ondrel
