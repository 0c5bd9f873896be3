#include "kro/devices/all_devices_dio.h"
#include "kro/devices/device_error.h"

namespace kro {

AllDevicesDIO::AllDevicesDIO(DeviceRegistry& registry, ondrel::IDevicePrompts* chooser)
    : registry_(registry), chooser_(chooser)
{
    for (size_t i = 0; i < registry_.size(); ++i)
        slots_.push_back(registry_.backend(i).makeDIO());
    registry_.describe(0, DeviceNumber(), DeviceName());
}

void AllDevicesDIO::SelectDeviceNumber(int32_t number)
{
    errorMessage_.clear();
    const auto owner = number < 0 ? std::optional<size_t>(0) : registry_.owner(number);
    if (!owner)
        failWith(errorMessage_, "There is no digital input device number " + std::to_string(number));
    try {
        slots_[*owner]->select(number);
    } catch (const std::exception& error) {
        if (slots_[active_]->device() == nullptr)
            active_ = 0;
        failWith(errorMessage_, error.what());
    }
    for (size_t i = 0; i < slots_.size(); ++i)
        if (i != *owner)
            slots_[i]->select(-1);
    active_ = *owner;
    registry_.describe(active_, number, DeviceName());
}

// Cancelling, or choosing the device already selected, keeps it as it is.
void AllDevicesDIO::SelectDevice()
{
    if (chooser_ == nullptr)
        failWith(errorMessage_, "SelectDevice: no device chooser is available");
    const auto chosen = registry_.choose(*chooser_, "Select DI Device", DeviceKind::DigitalInput, DeviceNumber());
    if (chosen && *chosen != DeviceNumber())
        SelectDeviceNumber(*chosen);
}

} // namespace kro
