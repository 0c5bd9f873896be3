#pragma once
#include "kro/devices/device_backend.h"
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kro {

// The back ends the program runs on, in device-number order: the simulated
// cards first, then those this build registered. Each is started once; one
// that cannot start is reported in one message and left out, the others work.
class DeviceRegistry {
public:
    using Report = std::function<void(const std::string& message)>;

    // `backends[0]` must keep a component of each kind even with no device
    // selected (the simulated cards do): the all-devices components fall back
    // to it when nothing else is selected.
    DeviceRegistry(std::vector<std::unique_ptr<IDeviceBackend>> backends, const Report& report);

    // The process's registry: the simulated cards, then the registered back
    // ends, reporting on standard error. Made on first use, which starts
    // looking for instruments in the background. Defined beside the generated
    // list of back ends (kro_device_set).
    static DeviceRegistry& standard();

    size_t size() const { return backends_.size(); }
    IDeviceBackend& backend(size_t index) { return *backends_[index]; }
    // The back end whose numbers hold `number`; nothing when none does.
    std::optional<size_t> owner(int32_t number) const;

    // Every device offering `kind`, back end after back end.
    std::vector<ondrel::DeviceEntry> entries(DeviceKind kind);
    // A device chooser: every back end's devices offering `kind`, then their
    // set-up rows. The number chosen, or the device a set-up row set up;
    // nothing when cancelled.
    std::optional<int32_t> choose(ondrel::IDevicePrompts& prompts, const std::string& title, DeviceKind kind,
                                  int32_t current);
    // Tells the program what the device now selected as `deviceName` can do.
    void describe(size_t backendIndex, int32_t number, const std::string& deviceName);

private:
    std::vector<std::unique_ptr<IDeviceBackend>> backends_;
    std::vector<int32_t> firstNumbers_;
};

// What the device choosers offer, one line per device and kind:
// "number<TAB>AI|DI|thermocouple<TAB>name", back end after back end; after
// each back end's, a line "-<TAB>unavailable<TAB>reason" per device it found
// but cannot use.
std::vector<std::string> deviceLines(DeviceRegistry& registry);
// The lines of one back end.
std::vector<std::string> deviceLines(IDeviceBackend& backend);

} // namespace kro
