#pragma once
#include "kro/devices/comedi/comedi_board.h"
#include "kro/devices/device_backend.h"
#include <memory>
#include <string>
#include <vector>

namespace kro {

// The plug-in cards Comedi drives: every /dev/comediN that opens at start,
// one number per board in node order, offering what its subdevices offer. A
// node the user may not open is reported as unavailable with the reason.
// Comedi converts voltages, not temperatures: no thermocouples.
class ComediBackend final : public IDeviceBackend {
public:
    explicit ComediBackend(std::string nodePrefix = "/dev/comedi") : nodePrefix_(std::move(nodePrefix)) {}

    std::string name() const override { return "Comedi"; }
    void start(int32_t firstNumber) override;
    int32_t numberCount() const override { return static_cast<int32_t>(boards_.size()); }
    std::vector<ondrel::DeviceEntry> entries(DeviceKind kind) override;
    std::vector<std::string> unavailable() override { return refused_; }
    ondrel::DeviceCapabilities capabilities(int32_t) override
    {
        return {.cardFamilyRules = false, .thermocouples = false};
    }
    std::vector<ondrel::DeviceEntry> setUpRows(DeviceKind) override { return {}; }
    std::optional<int32_t> setUp(int32_t, DeviceKind, ondrel::IDevicePrompts&) override { return std::nullopt; }
    std::unique_ptr<AiSlot> makeAI() override;
    std::unique_ptr<DioSlot> makeDIO() override;
    std::unique_ptr<ThermoSlot> makeThermo() override;

    // The board numbered `number` offering `kind`; nullptr when none.
    ComediBoard* find(int32_t number, DeviceKind kind);

private:
    std::string nodePrefix_;
    int32_t firstNumber_ = 0;
    std::vector<std::unique_ptr<ComediBoard>> boards_;
    std::vector<std::string> refused_; // nodes the user may not open, with the reason
};

} // namespace kro
