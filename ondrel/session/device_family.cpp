#include "ondrel/session/device_family.h"

namespace ondrel {

namespace {

bool NameHas(std::string_view deviceName, std::string_view part)
{
    return !IsInstrument(deviceName) && deviceName.find(part) != std::string_view::npos;
}

} // namespace

bool IsInstrument(std::string_view deviceName) { return deviceName.starts_with("sigrok: "); }

bool ReportsOwnChannels(std::string_view deviceName) { return NameHas(deviceName, "48"); }

bool DoublesDifferentialThermoChannel(std::string_view deviceName) { return NameHas(deviceName, "5348"); }

bool HasTwelveBitRawCounts(std::string_view deviceName) { return NameHas(deviceName, "5342"); }

bool NamesPlotsByScan(std::string_view deviceName) { return NameHas(deviceName, "9948"); }

bool CarriesThermocouples(std::string_view deviceName)
{
    return IsInstrument(deviceName) || NameHas(deviceName, "5340QX") || NameHas(deviceName, "5348QX")
           || NameHas(deviceName, "9948");
}

bool RecheckKindAfterPairing(std::string_view thermoDeviceName) { return NameHas(thermoDeviceName, "5340"); }

} // namespace ondrel
