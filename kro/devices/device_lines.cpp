#include "kro/devices/device_set.h"
#include "kro/devices/sim_catalogue.h"

namespace kro {

std::string deviceLine(int32_t number, const std::string& kind, const std::string& name)
{
    return std::to_string(number) + '\t' + kind + '\t' + name;
}

std::vector<std::string> simulatedDeviceLines()
{
    std::vector<std::string> lines;
    for (const auto& c : aiCatalogue())
        lines.push_back(deviceLine(c.number, "AI", c.name));
    for (const auto& c : dioCatalogue())
        lines.push_back(deviceLine(c.number, "DI", c.name));
    for (const auto& c : aiCatalogue())
        if (c.thermoChannels > 0)
            lines.push_back(deviceLine(c.number, "thermocouple", c.name));
    return lines;
}

} // namespace kro
