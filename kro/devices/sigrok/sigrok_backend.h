#pragma once
#include "kro/devices/device_backend.h"
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kro {

class SigrokHost;
class SigrokDevice;

// The chooser row that asks for a serial instrument's driver and port.
inline constexpr const char* kAddSerialDevice = "Add serial device...";

// The instruments libsigrok finds, in the order found, one number per
// instrument whatever it offers; serial instruments added during the session
// take the next numbers.
class SigrokBackend final : public IDeviceBackend {
public:
    explicit SigrokBackend(SigrokHost& host) : host_(host) {}

    // nullptr when no instrument has that number.
    SigrokDevice* find(int32_t number);
    static bool offers(SigrokDevice& device, DeviceKind kind);

    std::string name() const override { return "libsigrok"; }
    void start(int32_t firstNumber) override { firstNumber_ = firstNumber; }
    int32_t numberCount() const override { return kNumberCount; }
    // The instruments offering `kind`, waiting for the start-up scan.
    std::vector<ondrel::DeviceEntry> entries(DeviceKind kind) override;
    ondrel::DeviceCapabilities capabilities(int32_t) override
    {
        return {.cardFamilyRules = false, .thermocouples = true};
    }
    // kAddSerialDevice, which asks for a driver and port and adds what answers
    // there for the rest of the session.
    std::vector<ondrel::DeviceEntry> setUpRows(DeviceKind kind) override;
    std::optional<int32_t> setUp(int32_t row, DeviceKind kind, ondrel::IDevicePrompts& prompts) override;
    std::unique_ptr<AiSlot> makeAI() override;
    std::unique_ptr<DioSlot> makeDIO() override;
    std::unique_ptr<ThermoSlot> makeThermo() override;

private:
    // Room for every instrument a session finds or adds.
    static constexpr int32_t kNumberCount = 1 << 16;
    int32_t numberOf(const SigrokDevice* device);

    SigrokHost& host_;
    int32_t firstNumber_ = 0;
};

} // namespace kro
