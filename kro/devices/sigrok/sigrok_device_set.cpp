#include "kro/devices/device_set.h"
#include "kro/devices/sigrok/all_devices_ai.h"
#include "kro/devices/sigrok/all_devices_dio.h"
#include "kro/devices/sigrok/all_devices_thermo.h"

// The device set of a build with libsigrok: the simulated cards, then the
// instruments it finds.
namespace kro {

std::unique_ptr<ondrel::IKroAI> makeAnalogInput(ondrel::IPrompts& chooser)
{
    return std::make_unique<AllDevicesAI>(SigrokCatalogue::standard(), &chooser);
}

std::unique_ptr<ondrel::IKroDIO> makeDigitalInput(ondrel::IPrompts& chooser)
{
    return std::make_unique<AllDevicesDIO>(SigrokCatalogue::standard(), &chooser);
}

std::unique_ptr<ondrel::IKroThermo> makeThermocouple()
{
    return std::make_unique<AllDevicesThermo>(SigrokCatalogue::standard());
}

std::vector<std::string> listDevices()
{
    std::vector<std::string> lines = simulatedDeviceLines();
    const std::pair<DeviceKind, const char*> kinds[] = {
        {DeviceKind::AnalogInput, "AI"}, {DeviceKind::DigitalInput, "DI"}, {DeviceKind::Thermocouple, "thermocouple"}};
    for (const auto& [kind, label] : kinds)
        for (const auto& e : SigrokCatalogue::standard().entries(kind))
            lines.push_back(deviceLine(e.number, label, e.name));
    return lines;
}

} // namespace kro
