#include "kro/devices/sigrok/sigrok_catalogue.h"
#include "kro/devices/sigrok/sigrok_device.h"
#include "kro/devices/sigrok/sigrok_host.h"
#include "kro/devices/sim_catalogue.h"
#include <algorithm>

namespace kro {

SigrokCatalogue& SigrokCatalogue::standard()
{
    static SigrokCatalogue catalogue(SigrokHost::instance(),
                                     static_cast<int32_t>(std::max(aiCatalogue().size(), dioCatalogue().size())));
    return catalogue;
}

bool SigrokCatalogue::offers(const SigrokDevice& device, DeviceKind kind)
{
    switch (kind) {
    case DeviceKind::AnalogInput:
        return device.analogCount() > 0;
    case DeviceKind::DigitalInput:
        return device.logicCount() > 0;
    case DeviceKind::Thermocouple:
        return device.hasTemperature();
    }
    return false;
}

std::vector<ondrel::DeviceEntry> SigrokCatalogue::entries(DeviceKind kind)
{
    std::vector<ondrel::DeviceEntry> list;
    const auto devices = host_.devices();
    for (size_t i = 0; i < devices.size(); ++i)
        if (offers(*devices[i], kind))
            list.push_back({firstNumber_ + static_cast<int32_t>(i), devices[i]->name()});
    return list;
}

SigrokDevice* SigrokCatalogue::find(int32_t number)
{
    const auto devices = host_.devices();
    const int64_t index = static_cast<int64_t>(number) - firstNumber_;
    if (index < 0 || index >= static_cast<int64_t>(devices.size()))
        return nullptr;
    return devices[static_cast<size_t>(index)];
}

} // namespace kro
