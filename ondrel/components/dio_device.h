#pragma once
#include "ondrel/components/component_error.h"
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel {

// The digital-input component as the program calls it.
class IKroDIO {
public:
    virtual ~IKroDIO() = default;
    virtual int32_t DeviceNumber() const = 0; // negative: no device selected
    virtual std::string DeviceName() const = 0;
    virtual int32_t PortCount() const = 0; // 8-bit input ports
    virtual void SelectDevice() = 0;
    // Fills one byte per port from firstPort (the vector is resized to portCount);
    // false on failure, with ErrorMessage set.
    virtual bool ReadPorts(std::vector<uint8_t>& bytes, int32_t& firstPort, int32_t& portCount) = 0;
    virtual std::string ErrorMessage() const = 0;
};

} // namespace ondrel
