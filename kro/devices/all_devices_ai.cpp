#include "kro/devices/all_devices_ai.h"
#include "kro/devices/device_error.h"

namespace kro {

AllDevicesAI::AllDevicesAI(DeviceRegistry& registry, ondrel::IDevicePrompts* chooser)
    : registry_(registry), chooser_(chooser)
{
    for (size_t i = 0; i < registry_.size(); ++i)
        slots_.push_back(registry_.backend(i).makeAI());
    registry_.describe(0, DeviceNumber(), DeviceName());
}

AllDevicesAI::~AllDevicesAI() = default;

void AllDevicesAI::setEvents(ondrel::IKroAIEvents* sink)
{
    sink_ = sink;
    for (auto& slot : slots_)
        if (slot->device() != nullptr)
            slot->device()->setEvents(sink);
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

// A device that cannot be opened leaves the one selected before where it was
// another back end's; otherwise nothing is selected.
void AllDevicesAI::SelectDeviceNumber(int32_t number)
{
    errorMessage_.clear();
    const auto owner = number < 0 ? std::optional<size_t>(0) : registry_.owner(number);
    if (!owner)
        fail("There is no analog input device number " + std::to_string(number));
    AiSlot& slot = *slots_[*owner];
    try {
        slot.select(number);
    } catch (const std::exception& error) {
        if (slots_[active_]->device() == nullptr)
            active_ = 0;
        fail(error.what());
    }
    slot.device()->setEvents(sink_);
    for (size_t i = 0; i < slots_.size(); ++i)
        if (i != *owner)
            slots_[i]->select(-1); // a run must not go on behind the device selected now
    active_ = *owner;
    registry_.describe(active_, number, DeviceName());
}

// Cancelling, or choosing the device already selected, keeps it and its
// settings as they are.
void AllDevicesAI::SelectDevice()
{
    if (chooser_ == nullptr)
        fail("SelectDevice: no device chooser is available");
    const auto chosen = registry_.choose(*chooser_, "Select AI Device", DeviceKind::AnalogInput, DeviceNumber());
    if (chosen && *chosen != DeviceNumber())
        SelectDeviceNumber(*chosen);
}

} // namespace kro
