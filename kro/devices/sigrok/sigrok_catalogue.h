#pragma once
#include "ondrel/session/prompts.h"
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kro {

class SigrokHost;
class SigrokDevice;

enum class DeviceKind { AnalogInput, DigitalInput, Thermocouple };

// The chooser entry that asks for a serial instrument's driver and port.
inline constexpr const char* kAddSerialDevice = "Add serial device...";

// Device numbers of the instruments libsigrok finds: they follow the simulated
// cards, in the order found, one number per instrument whatever it offers.
class SigrokCatalogue {
public:
    SigrokCatalogue(SigrokHost& host, int32_t firstNumber) : host_(host), firstNumber_(firstNumber) {}
    // The process's instruments, numbered after every simulated card.
    static SigrokCatalogue& standard();

    // The instruments offering `kind`, waiting for the start-up scan.
    std::vector<ondrel::DeviceEntry> entries(DeviceKind kind);
    // nullptr when no instrument has that number.
    SigrokDevice* find(int32_t number);
    int32_t find(const SigrokDevice* device);
    static bool offers(SigrokDevice& device, DeviceKind kind);

    // A device chooser: `cards`, then the instruments offering `kind`, then
    // kAddSerialDevice, which asks for a driver and port and adds what answers
    // there for the rest of the session. The number chosen; nothing when
    // cancelled or when no such instrument answered (the reason is shown).
    std::optional<int32_t> choose(ondrel::IPrompts& prompts, const std::string& title,
                                  std::vector<ondrel::DeviceEntry> cards, DeviceKind kind, int32_t current);

private:
    SigrokHost& host_;
    int32_t firstNumber_;
};

} // namespace kro
