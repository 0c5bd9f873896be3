#include "kro/devices/sigrok/sigrok_backend.h"
#include "kro/devices/device_error.h"
#include "kro/devices/sigrok/sigrok_ai.h"
#include "kro/devices/sigrok/sigrok_device.h"
#include "kro/devices/sigrok/sigrok_dio.h"
#include "kro/devices/sigrok/sigrok_host.h"
#include "kro/devices/sigrok/sigrok_thermo.h"
#include <algorithm>

namespace kro {
namespace {

// An instrument's component is made when it is selected and closed when
// another is: one libsigrok session per instrument and kind.
template <class Component, class Made, DeviceKind Kind>
class InstrumentSlot final : public IDeviceSlot<Component> {
public:
    InstrumentSlot(SigrokBackend& backend, const char* noSuchDevice) : backend_(backend), noSuchDevice_(noSuchDevice) {}
    Component* device() override { return made_.get(); }
    void select(int32_t number) override
    {
        SigrokDevice* device = number < 0 ? nullptr : backend_.find(number);
        if (number >= 0 && (device == nullptr || !SigrokBackend::offers(*device, Kind))) {
            if constexpr (Kind == DeviceKind::Thermocouple) {
                made_.reset();
                return;
            } else {
                throw ondrel::ComponentError(noSuchDevice_ + std::to_string(number));
            }
        }
        made_.reset(); // the old instrument's session ends before the new one's starts
        if (device != nullptr)
            made_ = std::make_unique<Made>(*device, number);
    }

private:
    SigrokBackend& backend_;
    std::string noSuchDevice_;
    std::unique_ptr<Made> made_;
};

} // namespace

std::unique_ptr<IDeviceBackend> make_sigrok_backend()
{
    return std::make_unique<SigrokBackend>(SigrokHost::instance());
}

bool SigrokBackend::offers(SigrokDevice& device, DeviceKind kind)
{
    switch (kind) {
    case DeviceKind::AnalogInput:
        return device.analogCount() > 0;
    case DeviceKind::DigitalInput:
        return device.logicCount() > 0;
    case DeviceKind::Thermocouple:
        return device.hasTemperature();
    }
    return false;
}

std::vector<ondrel::DeviceEntry> SigrokBackend::entries(DeviceKind kind)
{
    std::vector<ondrel::DeviceEntry> list;
    const auto devices = host_.devices();
    for (size_t i = 0; i < devices.size(); ++i)
        if (offers(*devices[i], kind))
            list.push_back({firstNumber_ + static_cast<int32_t>(i), devices[i]->name()});
    return list;
}

// The row's number follows the instruments found so far.
std::vector<ondrel::DeviceEntry> SigrokBackend::setUpRows(DeviceKind kind)
{
    if (kind == DeviceKind::Thermocouple)
        return {};
    return {{firstNumber_ + static_cast<int32_t>(host_.devices().size()), kAddSerialDevice, true}};
}

std::optional<int32_t> SigrokBackend::setUp(int32_t, DeviceKind kind, ondrel::IDevicePrompts& prompts)
{
    const auto serial = prompts.AskSerialDevice(host_.serialDrivers());
    if (!serial)
        return std::nullopt;
    std::string message;
    for (SigrokDevice* added : host_.addSerial(serial->driver, serial->port, message)) {
        if (offers(*added, kind))
            return numberOf(added);
        message = added->name() + " on " + serial->port + " has no channels of this kind";
    }
    prompts.MsgBox(message, "Add Serial Device");
    return std::nullopt;
}

int32_t SigrokBackend::numberOf(const SigrokDevice* device)
{
    const auto devices = host_.devices();
    const auto it = std::find(devices.begin(), devices.end(), device);
    return firstNumber_ + static_cast<int32_t>(it - devices.begin());
}

SigrokDevice* SigrokBackend::find(int32_t number)
{
    const auto devices = host_.devices();
    const int64_t index = static_cast<int64_t>(number) - firstNumber_;
    if (index < 0 || index >= static_cast<int64_t>(devices.size()))
        return nullptr;
    return devices[static_cast<size_t>(index)];
}

std::unique_ptr<AiSlot> SigrokBackend::makeAI()
{
    return std::make_unique<InstrumentSlot<ondrel::IKroAI, SigrokAI, DeviceKind::AnalogInput>>(
        *this, "There is no analog input device number ");
}

std::unique_ptr<DioSlot> SigrokBackend::makeDIO()
{
    return std::make_unique<InstrumentSlot<ondrel::IKroDIO, SigrokDIO, DeviceKind::DigitalInput>>(
        *this, "There is no digital input device number ");
}

std::unique_ptr<ThermoSlot> SigrokBackend::makeThermo()
{
    return std::make_unique<InstrumentSlot<ondrel::IKroThermo, SigrokThermo, DeviceKind::Thermocouple>>(*this, "");
}

} // namespace kro
