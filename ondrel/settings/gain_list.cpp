#include "ondrel/settings/gain_list.h"
#include <cstdio>

namespace ondrel {

std::string ChannelLabel(int32_t number)
{
    char text[24];
    std::snprintf(text, sizeof text, "Chan%02d", static_cast<int>(number));
    return text;
}

std::vector<int32_t> GainListLogicalNumbers(std::span<const int32_t> connections, bool ownChannels)
{
    std::vector<int32_t> numbers;
    int32_t counter = -1;
    for (size_t ch = 0; ch < connections.size(); ++ch) {
        if (connections[ch] == 0 || ch % 2 == 0 || ownChannels)
            ++counter;
        numbers.push_back(counter);
    }
    return numbers;
}

int32_t PairPartner(int32_t channel) { return channel % 2 == 0 ? channel + 1 : channel - 1; }

void CopyPairSettings(AcquisitionSetup& setup, int32_t channel)
{
    const int32_t even = channel - channel % 2;
    const auto size = static_cast<int32_t>(setup.aiChannels.size());
    if (channel < 0 || even + 1 >= size)
        return;
    const AIChannelSetting& from = setup.aiChannels[static_cast<size_t>(even)];
    AIChannelSetting& to = setup.aiChannels[static_cast<size_t>(even) + 1];
    to.bAIChanIsThermo = from.bAIChanIsThermo;
    to.nAIChanTCType = from.nAIChanTCType;
    to.nAIChanExpChan = from.nAIChanExpChan;
}

} // namespace ondrel
