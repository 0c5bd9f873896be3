#include "kro/devices/device_set.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/devices/sim_thermo.h"

// The device set of a build without libsigrok: the simulated cards alone.
namespace kro {

std::unique_ptr<ondrel::IKroAI> makeAnalogInput(ondrel::IPrompts& chooser)
{
    return std::make_unique<SimAI>(card::Differential16, &chooser);
}

std::unique_ptr<ondrel::IKroDIO> makeDigitalInput(ondrel::IPrompts& chooser)
{
    return std::make_unique<SimDIO>(card::Di3Ports, &chooser);
}

std::unique_ptr<ondrel::IKroThermo> makeThermocouple() { return std::make_unique<SimThermo>(); }

std::vector<std::string> listDevices() { return simulatedDeviceLines(); }

} // namespace kro
