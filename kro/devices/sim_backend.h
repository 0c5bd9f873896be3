#pragma once
#include "kro/devices/device_backend.h"

namespace kro {

// The simulated cards as a back end: the first in every chooser, numbered from
// 0 as their catalogue says, their components kept with no card selected.
class SimBackend final : public IDeviceBackend {
public:
    std::string name() const override { return "The simulated cards"; }
    void start(int32_t firstNumber) override;
    int32_t numberCount() const override;
    std::vector<ondrel::DeviceEntry> entries(DeviceKind kind) override;
    ondrel::DeviceCapabilities capabilities(int32_t) override { return {}; }
    std::vector<ondrel::DeviceEntry> setUpRows(DeviceKind) override { return {}; }
    std::optional<int32_t> setUp(int32_t, DeviceKind, ondrel::IDevicePrompts&) override { return std::nullopt; }
    std::unique_ptr<AiSlot> makeAI() override;
    std::unique_ptr<DioSlot> makeDIO() override;
    std::unique_ptr<ThermoSlot> makeThermo() override;
};

} // namespace kro
