#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace ondrel {

// What the program asks about a device beyond its settings.
struct DeviceCapabilities {
    // The card-family rules apply: the device is one of the cards whose model
    // number in its name decides them.
    bool cardFamilyRules = true;
    // Outside the card family: whether the thermocouple device may reach
    // inputs under this device's number (it then tells by answering to it).
    bool thermocouples = false;
};

// The capabilities of the devices the back ends have handed out, by the name
// each device reports (the name is all a set-up row carries). A name no back
// end described is a card of the family, which keeps the rules for recordings
// and fakes alike. Read on the polling thread while the program thread
// selects devices, hence the lock.
class DeviceDirectory {
public:
    static DeviceDirectory& instance()
    {
        static DeviceDirectory directory;
        return directory;
    }

    void describe(const std::string& deviceName, DeviceCapabilities capabilities)
    {
        const std::lock_guard lock(mutex_);
        byName_[deviceName] = capabilities;
    }

    DeviceCapabilities capabilitiesOf(std::string_view deviceName) const
    {
        const std::lock_guard lock(mutex_);
        const auto it = byName_.find(deviceName);
        return it == byName_.end() ? DeviceCapabilities{} : it->second;
    }

private:
    mutable std::mutex mutex_;
    std::map<std::string, DeviceCapabilities, std::less<>> byName_;
};

} // namespace ondrel
