#pragma once
#include "kro/devices/sim_catalogue.h"
#include "ondrel/components/dio_device.h"
#include "ondrel/components/device_prompts.h"

namespace kro {

// The simulated digital-input component; starts with the 3-port card selected.
// SelectDevice asks `chooser` to pick from the catalogue.
class SimDIO final : public ondrel::IKroDIO {
public:
    explicit SimDIO(int32_t deviceNumber = card::Di3Ports, ondrel::IDevicePrompts* chooser = nullptr);

    // Selects a catalogue card without the chooser; negative: no device.
    void SelectDeviceNumber(int32_t number);

    int32_t DeviceNumber() const override { return card_ ? card_->number : -1; }
    std::string DeviceName() const override;
    int32_t PortCount() const override { return card_ ? card_->ports : 0; }
    void SelectDevice() override;
    bool ReadPorts(std::vector<uint8_t>& bytes, int32_t& firstPort, int32_t& portCount) override;
    std::string ErrorMessage() const override { return errorMessage_; }

private:
    ondrel::IDevicePrompts* chooser_ = nullptr;
    const SimDioCard* card_ = nullptr;
    int64_t reads_ = 0;
    std::string errorMessage_;
};

} // namespace kro
