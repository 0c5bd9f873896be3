#include "kro/devices/sigrok/all_devices_ai.h"
#include "kro/devices/device_error.h"

namespace kro {

AllDevicesAI::AllDevicesAI(SigrokCatalogue& catalogue, ondrel::IPrompts* chooser)
    : catalogue_(catalogue), chooser_(chooser)
{}

AllDevicesAI::~AllDevicesAI() = default;

void AllDevicesAI::setEvents(ondrel::IKroAIEvents* sink)
{
    sink_ = sink;
    sim_.setEvents(sink);
    if (instrument_)
        instrument_->setEvents(sink);
}

// The newer of the chooser's own failure and the selected device's.
std::string AllDevicesAI::ErrorMessage() const
{
    const std::string device = active().ErrorMessage();
    return errorMessage_.empty() || device != deviceMessageThen_ ? device : errorMessage_;
}

void AllDevicesAI::fail(const std::string& text)
{
    deviceMessageThen_ = active().ErrorMessage();
    failWith(errorMessage_, text);
}

void AllDevicesAI::SelectDeviceNumber(int32_t number)
{
    errorMessage_.clear();
    if (number < 0 || findAiCard(number) != nullptr) {
        instrument_.reset();
        sim_.SelectDeviceNumber(number);
        return;
    }
    SigrokDevice* device = catalogue_.find(number);
    if (device == nullptr || !SigrokCatalogue::offers(*device, DeviceKind::AnalogInput))
        fail("There is no analog input device number " + std::to_string(number));
    instrument_.reset(); // the old instrument's session ends before the new one's starts
    try {
        instrument_ = std::make_unique<SigrokAI>(*device, number);
    } catch (const std::exception& error) { // it could not be opened: the card stays selected
        fail(error.what());
    }
    instrument_->setEvents(sink_);
    sim_.SelectDeviceNumber(-1); // a simulated run must not go on behind the instrument
}

// Cancelling, or choosing the device already selected, keeps it and its
// settings as they are.
void AllDevicesAI::SelectDevice()
{
    if (chooser_ == nullptr)
        fail("SelectDevice: no device chooser is available");
    std::vector<ondrel::DeviceEntry> cards;
    for (const auto& c : aiCatalogue())
        cards.push_back({c.number, c.name});
    const auto chosen =
        catalogue_.choose(*chooser_, "Select AI Device", std::move(cards), DeviceKind::AnalogInput, DeviceNumber());
    if (chosen && *chosen != DeviceNumber())
        SelectDeviceNumber(*chosen);
}

} // namespace kro
