#pragma once
#include "kro/devices/sigrok/sigrok_device.h"
#include "ondrel/components/dio_device.h"

namespace kro {

// The digital-input component over one libsigrok instrument's logic channels,
// 8 to a port (channel 8p + k is bit k of port p). A read gives the newest
// logic sample of a continuous session.
class SigrokDIO final : public ondrel::IKroDIO {
public:
    // `device` outlives the component; `number` is the device number it answers.
    SigrokDIO(SigrokDevice& device, int32_t number) : device_(device), number_(number) {}
    ~SigrokDIO() override { device_.stopPolling(); }

    int32_t DeviceNumber() const override { return number_; }
    std::string DeviceName() const override { return device_.name(); }
    int32_t PortCount() const override { return device_.portCount(); }
    void SelectDevice() override;
    bool ReadPorts(std::vector<uint8_t>& bytes, int32_t& firstPort, int32_t& portCount) override;
    std::string ErrorMessage() const override { return errorMessage_; }

private:
    SigrokDevice& device_;
    int32_t number_;
    std::string errorMessage_;
};

} // namespace kro
