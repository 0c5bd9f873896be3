#pragma once
#include "ondrel/components/ai_device.h"
#include "ondrel/components/device_capabilities.h"
#include "ondrel/components/device_prompts.h"
#include "ondrel/components/dio_device.h"
#include "ondrel/components/thermo_device.h"
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kro {

enum class DeviceKind { AnalogInput, DigitalInput, Thermocouple };

// A back end's component of one kind. The all-devices component keeps one per
// back end for the session and switches to it when one of the back end's
// devices is selected, so a back end keeps its settings between selections as
// a card does.
template <class Component>
class IDeviceSlot {
public:
    virtual ~IDeviceSlot() = default;
    // The component of the device selected here; nullptr when none is.
    virtual Component* device() = 0;
    // Selects the device `number` of this back end, a negative number none.
    // A number that names none of its devices of this kind throws
    // ComponentError and keeps the selection; a device that cannot be opened
    // throws and leaves none selected here. A thermocouple slot never throws:
    // a device without thermocouple inputs leaves it without a device.
    virtual void select(int32_t number) = 0;
};

using AiSlot = IDeviceSlot<ondrel::IKroAI>;
using DioSlot = IDeviceSlot<ondrel::IKroDIO>;
using ThermoSlot = IDeviceSlot<ondrel::IKroThermo>;

// One source of devices: the simulated cards, an instrument library, a card
// driver. A back end lives in a folder of its own under kro/devices/ and is
// listed by one line in kro/devices/CMakeLists.txt.
class IDeviceBackend {
public:
    virtual ~IDeviceBackend() = default;

    // How the message that it could not start names it.
    virtual std::string name() const = 0;
    // Makes the back end ready, its devices numbered from `firstNumber`;
    // throws std::exception when it cannot run here (a library missing at run
    // time), and is then left out.
    virtual void start(int32_t firstNumber) = 0;
    // How many numbers from `firstNumber` it keeps for its devices and set-up
    // rows; the next back end's devices are numbered after them.
    virtual int32_t numberCount() const = 0;

    // The devices offering `kind`, in number order.
    virtual std::vector<ondrel::DeviceEntry> entries(DeviceKind kind) = 0;
    // Devices found that cannot be used here, each named with the reason
    // ("/dev/comedi1: Permission denied; ..."). Listed, never offered.
    virtual std::vector<std::string> unavailable() { return {}; }
    // What the program asks of device `number` beyond its settings.
    virtual ondrel::DeviceCapabilities capabilities(int32_t number) = 0;
    // The chooser rows that set up devices of `kind` no search finds ("Add
    // serial device..."), shown after every back end's devices.
    virtual std::vector<ondrel::DeviceEntry> setUpRows(DeviceKind kind) = 0;
    // Runs set-up row `row`: the number of the device it set up, or nothing
    // when cancelled or when none answered (the reason already shown).
    virtual std::optional<int32_t> setUp(int32_t row, DeviceKind kind, ondrel::IDevicePrompts& prompts) = 0;

    virtual std::unique_ptr<AiSlot> makeAI() = 0;
    virtual std::unique_ptr<DioSlot> makeDIO() = 0;
    virtual std::unique_ptr<ThermoSlot> makeThermo() = 0;
};

} // namespace kro
