#include "ondrel/common/device_family.h"
#include "ondrel/components/device_capabilities.h"

namespace ondrel {

namespace {

DeviceCapabilities CapabilitiesOf(std::string_view deviceName)
{
    return DeviceDirectory::instance().capabilitiesOf(deviceName);
}

bool NameHas(std::string_view deviceName, std::string_view part)
{
    return CapabilitiesOf(deviceName).cardFamilyRules && deviceName.find(part) != std::string_view::npos;
}

} // namespace

bool ReportsOwnChannels(std::string_view deviceName) { return NameHas(deviceName, "48"); }

bool DoublesDifferentialThermoChannel(std::string_view deviceName) { return NameHas(deviceName, "5348"); }

bool HasTwelveBitRawCounts(std::string_view deviceName) { return NameHas(deviceName, "5342"); }

bool NamesPlotsByScan(std::string_view deviceName) { return NameHas(deviceName, "9948"); }

bool CarriesThermocouples(std::string_view deviceName)
{
    const DeviceCapabilities capabilities = CapabilitiesOf(deviceName);
    if (!capabilities.cardFamilyRules)
        return capabilities.thermocouples;
    return NameHas(deviceName, "5340QX") || NameHas(deviceName, "5348QX") || NameHas(deviceName, "9948");
}

bool RecheckKindAfterPairing(std::string_view thermoDeviceName) { return NameHas(thermoDeviceName, "5340"); }

} // namespace ondrel
