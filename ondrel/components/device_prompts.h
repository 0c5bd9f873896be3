#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ondrel {

// One row of a device chooser: the device number and the name shown beside it.
struct DeviceEntry {
    int32_t number = -1;
    std::string name;
    bool action = false; // a row that does something ("Add serial device...") rather than name a device
};

// A serial instrument to look for: the libsigrok driver that speaks to it and
// the port it is on (e.g. "/dev/ttyUSB0").
struct SerialDeviceChoice {
    std::string driver;
    std::string port;
};

// What a device component may ask the user while a device is chosen or set
// up; the program's prompts answer it, and tests answer programmatically.
class IDevicePrompts {
public:
    virtual ~IDevicePrompts() = default;
    // A message box with an OK button; an empty title means the program's name.
    virtual void MsgBox(const std::string& text, const std::string& title) = 0;
    // A device component's chooser: the devices it offers, `current` selected at
    // opening; the chosen device's number, nothing when cancelled.
    virtual std::optional<int32_t> ChooseDevice(const std::string& title, const std::vector<DeviceEntry>& devices,
                                                int32_t current) = 0;
    // Asks which of `drivers` speaks to a serial instrument and on which port;
    // nothing when cancelled.
    virtual std::optional<SerialDeviceChoice> AskSerialDevice(const std::vector<std::string>& drivers) = 0;
};

} // namespace ondrel
