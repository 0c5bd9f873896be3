#pragma once
#include "ondrel/common/acquisition_setup.h"
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ondrel {

// "Chan" and the number with at least two digits: Chan00, Chan15, Chan100.
std::string ChannelLabel(int32_t number);

// The logical number each channel shows in the range list, from each
// channel's signal connection (1 = differential). The odd half of a
// differential pair shares its even partner's number; cards that report their
// own channels (`ownChannels`) number every channel.
std::vector<int32_t> GainListLogicalNumbers(std::span<const int32_t> connections, bool ownChannels);

// The other half of a differential pair: the odd channel after an even one,
// the even one before an odd one.
int32_t PairPartner(int32_t channel);

// A differential pair measures with the even channel's thermocouple settings:
// the odd channel of `channel`'s pair gets the even one's kind, type and
// expansion channel. Rows missing from the table are left alone.
void CopyPairSettings(AcquisitionSetup& setup, int32_t channel);

} // namespace ondrel
