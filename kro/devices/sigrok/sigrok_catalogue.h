#pragma once
#include "ondrel/session/prompts.h"
#include <cstdint>
#include <vector>

namespace kro {

class SigrokHost;
class SigrokDevice;

enum class DeviceKind { AnalogInput, DigitalInput, Thermocouple };

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
    static bool offers(const SigrokDevice& device, DeviceKind kind);

private:
    SigrokHost& host_;
    int32_t firstNumber_;
};

} // namespace kro
