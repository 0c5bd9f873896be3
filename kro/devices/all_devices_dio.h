#pragma once
#include "kro/devices/device_registry.h"
#include <memory>
#include <vector>

namespace kro {

// The digital-input component the program gets: the devices of every back end
// of `registry`, the simulated cards first.
class AllDevicesDIO final : public ondrel::IKroDIO {
public:
    AllDevicesDIO(DeviceRegistry& registry, ondrel::IDevicePrompts* chooser);

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
    ondrel::IKroDIO& active() { return *slots_[active_]->device(); }
    const ondrel::IKroDIO& active() const { return *slots_[active_]->device(); }

    DeviceRegistry& registry_;
    ondrel::IDevicePrompts* chooser_;
    std::vector<std::unique_ptr<DioSlot>> slots_; // one per back end
    size_t active_ = 0;
    std::string errorMessage_; // the chooser's own last failure, until the next read
};

} // namespace kro
