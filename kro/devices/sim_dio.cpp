#include "kro/devices/sim_dio.h"
#include "kro/devices/device_error.h"
#include "kro/devices/sim_signal.h"

namespace kro {

SimDIO::SimDIO(int32_t deviceNumber, ondrel::IDevicePrompts* chooser) : chooser_(chooser)
{
    SelectDeviceNumber(deviceNumber);
}

void SimDIO::SelectDeviceNumber(int32_t number)
{
    const SimDioCard* next = nullptr;
    if (number >= 0) {
        next = findDioCard(number);
        if (next == nullptr)
            failWith(errorMessage_, "There is no digital input device number " + std::to_string(number));
    }
    card_ = next;
    reads_ = 0;
}

std::string SimDIO::DeviceName() const { return card_ ? card_->name : "No Device"; }

// Cancelling, or choosing the card already selected, keeps the card as it is.
void SimDIO::SelectDevice()
{
    if (chooser_ == nullptr)
        failWith(errorMessage_, "SelectDevice: no device chooser is available");
    std::vector<ondrel::DeviceEntry> devices;
    for (const auto& c : dioCatalogue())
        devices.push_back({c.number, c.name});
    const auto chosen = chooser_->ChooseDevice("Select DI Device", devices, DeviceNumber());
    if (chosen && *chosen != DeviceNumber())
        SelectDeviceNumber(*chosen);
}

bool SimDIO::ReadPorts(std::vector<uint8_t>& bytes, int32_t& firstPort, int32_t& portCount)
{
    if (card_ == nullptr) {
        errorMessage_ = "ReadPorts: no digital input device is selected";
        return false;
    }
    // Checked without adding, so no caller's numbers can overflow.
    if (firstPort < 0 || portCount < 0 || firstPort > card_->ports || portCount > card_->ports - firstPort) {
        errorMessage_ = "ReadPorts: ports " + std::to_string(firstPort) + " .. +" + std::to_string(portCount)
                        + " are beyond the " + std::to_string(card_->ports) + " ports of " + card_->name;
        return false;
    }
    bytes.resize(static_cast<size_t>(portCount));
    for (int32_t i = 0; i < portCount; ++i)
        bytes[static_cast<size_t>(i)] = SimSignal::diPort(firstPort + i, reads_);
    ++reads_;
    return true;
}

} // namespace kro
