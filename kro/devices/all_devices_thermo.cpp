#include "kro/devices/all_devices_thermo.h"

namespace kro {

AllDevicesThermo::AllDevicesThermo(DeviceRegistry& registry) : registry_(registry)
{
    for (size_t i = 0; i < registry_.size(); ++i)
        slots_.push_back(registry_.backend(i).makeThermo());
}

void AllDevicesThermo::setDeviceNumber(int32_t number)
{
    const size_t owner = number < 0 ? 0 : registry_.owner(number).value_or(0);
    const int32_t selected = number < 0 || registry_.owner(number) ? number : -1;
    slots_[owner]->select(selected);
    for (size_t i = 0; i < slots_.size(); ++i)
        if (i != owner)
            slots_[i]->select(-1);
    active_ = slots_[owner]->device() != nullptr ? owner : 0;
    if (active_ == owner)
        registry_.describe(owner, selected, DeviceName());
}

} // namespace kro
