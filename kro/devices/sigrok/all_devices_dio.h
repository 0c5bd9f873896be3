#pragma once
#include "kro/devices/sigrok/sigrok_catalogue.h"
#include "kro/devices/sigrok/sigrok_dio.h"
#include "kro/devices/sim_dio.h"
#include <memory>

namespace kro {

// The digital-input component the program gets: the simulated cards and, after
// them, every instrument with logic channels that libsigrok finds.
class AllDevicesDIO final : public ondrel::IKroDIO {
public:
    AllDevicesDIO(SigrokCatalogue& catalogue, ondrel::IPrompts* chooser);

    // Selects a device without the chooser; a number naming none throws.
    void SelectDeviceNumber(int32_t number);

    int32_t DeviceNumber() const override { return active().DeviceNumber(); }
    std::string DeviceName() const override { return active().DeviceName(); }
    int32_t PortCount() const override { return active().PortCount(); }
    void SelectDevice() override;
    bool ReadPorts(std::vector<uint8_t>& bytes, int32_t& firstPort, int32_t& portCount) override
    {
        errorMessage_.clear();
        return active().ReadPorts(bytes, firstPort, portCount);
    }
    std::string ErrorMessage() const override
    {
        return errorMessage_.empty() ? active().ErrorMessage() : errorMessage_;
    }

private:
    ondrel::IKroDIO& active() { return instrument_ ? static_cast<ondrel::IKroDIO&>(*instrument_) : sim_; }
    const ondrel::IKroDIO& active() const
    {
        return instrument_ ? static_cast<const ondrel::IKroDIO&>(*instrument_) : sim_;
    }

    SigrokCatalogue& catalogue_;
    ondrel::IPrompts* chooser_;
    SimDIO sim_;
    std::unique_ptr<SigrokDIO> instrument_;
    std::string errorMessage_; // the chooser's own last failure, until the next read
};

} // namespace kro
