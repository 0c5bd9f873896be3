#include "ondrel/session/device_family.h"

namespace ondrel {

namespace {

bool NameHas(std::string_view deviceName, std::string_view part)
{
    return deviceName.find(part) != std::string_view::npos;
}

} // namespace

bool ReportsOwnChannels(std::string_view deviceName)
{
    return NameHas(deviceName, "48");
}

bool DoublesDifferentialThermoChannel(std::string_view deviceName)
{
    return NameHas(deviceName, "5348");
}

bool HasTwelveBitRawCounts(std::string_view deviceName)
{
    return NameHas(deviceName, "5342");
}

bool NamesPlotsByScan(std::string_view deviceName)
{
    return NameHas(deviceName, "9948");
}

} // namespace ondrel
