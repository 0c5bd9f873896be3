#pragma once
#include <string_view>

namespace ondrel {

// Every rule that depends on the family of a card, recognised by its name, one
// function per rule. A device whose back end says it follows no card-family
// rule (DeviceDirectory) keeps none of them, whatever its model number holds.

// Cards whose name contains "48" report their usable channels themselves: every
// physical channel is its own logical channel, a scan of thermocouples only is
// read through the thermocouple device alone, and their thermocouple ranges are
// not set channel by channel at start.
bool ReportsOwnChannels(std::string_view deviceName);

// The "5348" reads a differential thermocouple pair on twice the channel number.
bool DoublesDifferentialThermoChannel(std::string_view deviceName);

// The "5342" delivers 12-bit counts in the low bits of its raw samples.
bool HasTwelveBitRawCounts(std::string_view deviceName);

// The "9948" names its plots after the scanned channels, not the mapped ones.
bool NamesPlotsByScan(std::string_view deviceName);

// The "5340QX", "5348QX" and "9948" carry thermocouple inputs that the
// thermocouple device reaches under the card's own device number; a
// device outside the family may too when its back end says so (an
// instrument's temperature channels), which the thermocouple device tells by
// answering to its number.
bool CarriesThermocouples(std::string_view deviceName);

// A "5340" thermocouple card shows the input kind of a channel again after its
// connection is made differential, since its pair then takes the even channel's kind.
bool RecheckKindAfterPairing(std::string_view thermoDeviceName);

} // namespace ondrel
