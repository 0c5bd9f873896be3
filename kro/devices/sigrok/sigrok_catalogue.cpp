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

bool SigrokCatalogue::offers(SigrokDevice& device, DeviceKind kind)
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

std::optional<int32_t> SigrokCatalogue::choose(ondrel::IPrompts& prompts, const std::string& title,
                                               std::vector<ondrel::DeviceEntry> cards, DeviceKind kind, int32_t current)
{
    for (auto& e : entries(kind))
        cards.push_back(std::move(e));
    const auto addSerial = firstNumber_ + static_cast<int32_t>(host_.devices().size());
    cards.push_back({addSerial, kAddSerialDevice, true});
    const auto chosen = prompts.ChooseDevice(title, cards, current);
    if (!chosen || *chosen != addSerial)
        return chosen;

    const auto serial = prompts.AskSerialDevice(host_.serialDrivers());
    if (!serial)
        return std::nullopt;
    std::string message;
    for (SigrokDevice* added : host_.addSerial(serial->driver, serial->port, message)) {
        if (offers(*added, kind))
            return find(added);
        message = added->name() + " on " + serial->port + " has no channels of this kind";
    }
    prompts.MsgBox(message, "Add Serial Device");
    return std::nullopt;
}

int32_t SigrokCatalogue::find(const SigrokDevice* device)
{
    const auto devices = host_.devices();
    const auto it = std::find(devices.begin(), devices.end(), device);
    return firstNumber_ + static_cast<int32_t>(it - devices.begin());
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
