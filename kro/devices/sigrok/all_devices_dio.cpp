#include "kro/devices/sigrok/all_devices_dio.h"
#include "kro/devices/device_error.h"

namespace kro {

AllDevicesDIO::AllDevicesDIO(SigrokCatalogue& catalogue, ondrel::IPrompts* chooser)
    : catalogue_(catalogue), chooser_(chooser)
{}

void AllDevicesDIO::SelectDeviceNumber(int32_t number)
{
    errorMessage_.clear();
    if (number < 0 || findDioCard(number) != nullptr) {
        instrument_.reset();
        sim_.SelectDeviceNumber(number);
        return;
    }
    SigrokDevice* device = catalogue_.find(number);
    if (device == nullptr || !SigrokCatalogue::offers(*device, DeviceKind::DigitalInput))
        failWith(errorMessage_, "There is no digital input device number " + std::to_string(number));
    instrument_ = std::make_unique<SigrokDIO>(*device, number);
    sim_.SelectDeviceNumber(-1);
}

// Cancelling, or choosing the device already selected, keeps it as it is.
void AllDevicesDIO::SelectDevice()
{
    if (chooser_ == nullptr)
        failWith(errorMessage_, "SelectDevice: no device chooser is available");
    std::vector<ondrel::DeviceEntry> cards;
    for (const auto& c : dioCatalogue())
        cards.push_back({c.number, c.name});
    const auto chosen =
        catalogue_.choose(*chooser_, "Select DI Device", std::move(cards), DeviceKind::DigitalInput, DeviceNumber());
    if (chosen && *chosen != DeviceNumber())
        SelectDeviceNumber(*chosen);
}

} // namespace kro
