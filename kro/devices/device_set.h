#pragma once
#include "ondrel/components/ai_device.h"
#include "ondrel/components/dio_device.h"
#include "ondrel/components/thermo_device.h"
#include "ondrel/session/prompts.h"
#include <memory>
#include <string>
#include <vector>

namespace kro {

// The device components the program runs on: the simulated cards and, in a
// build with libsigrok, the instruments it finds, numbered after the cards.
// The first call starts looking for instruments in the background. The AI
// and DI components start with a simulated card selected.
std::unique_ptr<ondrel::IKroAI> makeAnalogInput(ondrel::IPrompts& chooser);
std::unique_ptr<ondrel::IKroDIO> makeDigitalInput(ondrel::IPrompts& chooser);
std::unique_ptr<ondrel::IKroThermo> makeThermocouple();

// What the device choosers offer, one line per device and kind:
// "number<TAB>AI|DI|thermocouple<TAB>name", simulated cards first.
std::vector<std::string> listDevices();

// The lines of the simulated cards, and the line of one device.
std::vector<std::string> simulatedDeviceLines();
std::string deviceLine(int32_t number, const std::string& kind, const std::string& name);

} // namespace kro
