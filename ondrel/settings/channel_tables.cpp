#include "ondrel/settings/channel_tables.h"
#include <algorithm>

namespace ondrel {

namespace {

size_t TableSize(int32_t lastIndex)
{
    return static_cast<size_t>(std::max(lastIndex, 0)) + 1;
}

} // namespace

void InitAIChannelTables(SessionTables& tables, IKroAI& ai, const AIColorTable& colors)
{
    const int32_t count = std::max(ai.MaxChanCount(), 0);
    const size_t size = TableSize(count);
    tables.nAIChanLineStyle.assign(size, 0);
    tables.nAIChanColor.assign(size, 0);
    tables.szAIChanName.assign(size, std::string());
    tables.nAIChanConnection.assign(size, 0);
    for (int32_t ch = 0; ch < count; ++ch) {
        const auto i = static_cast<size_t>(ch);
        tables.nAIChanLineStyle[i] = ch / 16;
        tables.nAIChanColor[i] = colors[i % colors.size()];
        tables.szAIChanName[i] = "AI " + std::to_string(ch);
        ai.setChannel(ch);
        tables.nAIChanConnection[i] = ai.SignalConnection();
    }
}

void InitDIChannelTables(SessionTables& tables, IKroDIO& dio)
{
    const int32_t ports = std::max(dio.PortCount(), 0);
    const size_t size = TableSize(ports * 8);
    tables.nDIChanLineStyle.assign(size, 0);
    tables.nDIChanColor.assign(size, 0);
    tables.szDIChanName.assign(size, std::string());
    for (int32_t p = 0; p < ports; ++p) {
        for (int32_t b = 0; b < 8; ++b) {
            const auto i = static_cast<size_t>(p * 8 + b);
            tables.nDIChanColor[i] = p % 2 == 0 ? 16777215u : 65535u;
            tables.szDIChanName[i] = "DI " + std::to_string(p) + ":" + std::to_string(b);
        }
    }
}

void ResetAIThermoTables(SessionTables& tables, int32_t maxChanCount)
{
    const size_t size = TableSize(maxChanCount);
    tables.bAIChanIsThermo.assign(size, false);
    tables.nAIChanExpChan.assign(size, 0);
    tables.nAIChanTempScale.assign(size, 0);
    tables.nAIChanTCType.assign(size, 0);
}

} // namespace ondrel
