#include "kro/devices/sigrok/all_devices_thermo.h"
#include "kro/devices/sim_catalogue.h"

namespace kro {

void AllDevicesThermo::setDeviceNumber(int32_t number)
{
    if (number < 0 || findAiCard(number) != nullptr) {
        instrument_.reset();
        sim_.setDeviceNumber(number);
        return;
    }
    SigrokDevice* device = catalogue_.find(number);
    if (device != nullptr && SigrokCatalogue::offers(*device, DeviceKind::Thermocouple)) {
        instrument_ = std::make_unique<SigrokThermo>(*device, number);
        return;
    }
    instrument_.reset();
    sim_.setDeviceNumber(-1);
}

} // namespace kro
