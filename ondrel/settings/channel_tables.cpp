#include "ondrel/settings/channel_tables.h"
#include <algorithm>

namespace ondrel {

namespace {

size_t TableSize(int32_t lastIndex) { return static_cast<size_t>(std::max(lastIndex, 0)) + 1; }

} // namespace

void InitAIChannelTables(AcquisitionSetup& setup, IKroAI& ai, const AIColorTable& colors)
{
    const int32_t count = std::max(ai.MaxChanCount(), 0);
    setup.aiChannels.resize(TableSize(count));
    for (size_t i = 0; i < setup.aiChannels.size(); ++i) {
        AIChannelSetting& row = setup.aiChannels[i];
        row.nAIChanLineStyle = 0;
        row.nAIChanColor = 0;
        row.szAIChanName.clear();
        row.nAIChanConnection = 0;
        const auto ch = static_cast<int32_t>(i);
        if (ch == count)
            continue;
        row.nAIChanLineStyle = ch / 16;
        row.nAIChanColor = colors[i % colors.size()];
        row.szAIChanName = "AI " + std::to_string(ch);
        ai.setChannel(ch);
        row.nAIChanConnection = Code(ai.SignalConnection());
    }
}

void InitDIChannelTables(AcquisitionSetup& setup, IKroDIO& dio)
{
    const int32_t ports = std::max(dio.PortCount(), 0);
    setup.diLines.assign(TableSize(ports * 8), DILineSetting{});
    for (int32_t p = 0; p < ports; ++p) {
        for (int32_t b = 0; b < 8; ++b) {
            DILineSetting& line = setup.diLines[static_cast<size_t>(p) * 8 + static_cast<size_t>(b)];
            line.nDIChanColor = p % 2 == 0 ? 16777215u : 65535u;
            line.szDIChanName = "DI " + std::to_string(p) + ":" + std::to_string(b);
        }
    }
}

void ResetAIThermoTables(AcquisitionSetup& setup, int32_t maxChanCount)
{
    setup.aiChannels.resize(TableSize(maxChanCount));
    for (AIChannelSetting& row : setup.aiChannels) {
        row.bAIChanIsThermo = false;
        row.nAIChanExpChan = 0;
        row.nAIChanTempScale = 0;
        row.nAIChanTCType = 0;
    }
}

void LoadDefaultSetup(AcquisitionSetup& setup, IKroAI& ai, IKroDIO& dio)
{
    setup.nTimerInterval = 100;
    setup.bFAICyclic = false;
    setup.nAISampleCnt = 4096;
    setup.bAISaveToDisk = false;
    if (ai.DeviceNumber() >= 0)
        ResetAIThermoTables(setup, ai.MaxChanCount());
    setup.nDIPortCount = 0;
    setup.nDIPortStart = 0;
    const bool hasDI = dio.DeviceNumber() >= 0;
    if (hasDI)
        setup.nDIMaxPortCount = dio.PortCount();
    setup.nDIPortMask.assign(static_cast<size_t>(std::max(hasDI ? dio.PortCount() : 0, 0)) + 1, 0);
    setup.bSoftMode = true;
    setup.nDIChanCount = 0;
}

void InitChannelTables(AcquisitionSetup& setup, IKroAI& ai, IKroDIO& dio, const AIColorTable& colors)
{
    if (ai.DeviceNumber() >= 0)
        InitAIChannelTables(setup, ai, colors);
    if (dio.DeviceNumber() >= 0)
        InitDIChannelTables(setup, dio);
}

} // namespace ondrel
