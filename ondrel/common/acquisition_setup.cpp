#include "ondrel/common/acquisition_setup.h"
#include "ondrel/common/table_at.h"

namespace ondrel {

namespace {

template <typename Row>
const Row& RowAt(const std::vector<Row>& rows, int32_t index)
{
    static const Row none{};
    return index >= 0 && static_cast<size_t>(index) < rows.size() ? rows[static_cast<size_t>(index)] : none;
}

} // namespace

const AIChannelSetting& AcquisitionSetup::AIChannel(int32_t channel) const { return RowAt(aiChannels, channel); }

const DILineSetting& AcquisitionSetup::DILine(int32_t line) const { return RowAt(diLines, line); }

uint8_t AcquisitionSetup::PortMask(int32_t port) const { return TableAt(nDIPortMask, port); }

void AcquisitionSetup::AIConnections(std::vector<int32_t>& out) const
{
    out.clear();
    for (const AIChannelSetting& channel : aiChannels)
        out.push_back(channel.nAIChanConnection);
}

std::vector<int32_t> AcquisitionSetup::AIConnections() const
{
    std::vector<int32_t> out;
    AIConnections(out);
    return out;
}

} // namespace ondrel
