#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel {

// One channel of the AI device as the settings leave it.
struct AIChannelSetting {
    bool bAIChanIsThermo = false;
    int32_t nAIChanConnection = 0; // 1 = differential
    uint8_t nAIChanExpChan = 0;
    uint8_t nAIChanTempScale = 0;
    uint8_t nAIChanTCType = 0;
    int32_t nAIChanLineStyle = 0;
    uint32_t nAIChanColor = 0;
    std::string szAIChanName;
};

// One line of the DI device (port × 8 + bit).
struct DILineSetting {
    int32_t nDIChanLineStyle = 0;
    uint32_t nDIChanColor = 0;
    std::string szDIChanName;
};

// What the operator set up for the next run: written by the settings, the
// switches and the save boxes, read by acquisition and the plot set-up.
struct AcquisitionSetup {
    int32_t nAISampleCnt = 4096;
    bool bFAICyclic = false;
    int32_t nTimerInterval = 100;
    bool bSoftMode = true;
    bool bAIEnabled = false;
    bool bDIEnabled = false;
    bool bAISaveToDisk = false;
    bool bDISaveToDisk = false;
    int32_t nDIMaxPortCount = 0;
    int32_t nDIPortStart = 0;
    int32_t nDIPortCount = 0;
    int32_t nDIChanCount = 0;

    std::vector<AIChannelSetting> aiChannels; // indices 0 .. MaxChanCount
    std::vector<DILineSetting> diLines;       // indices 0 .. PortCount × 8
    std::vector<uint8_t> nDIPortMask;         // indices 0 .. PortCount

    // A row, or a default one when the index lies outside the table: a table
    // sized for another device never turns into an out-of-bounds read.
    const AIChannelSetting& AIChannel(int32_t channel) const;
    const DILineSetting& DILine(int32_t line) const;
    uint8_t PortMask(int32_t port) const;

    // The connection of every AI channel, in channel order, as the channel map
    // takes it; `out` is reused so a polling tick allocates nothing once warm.
    void AIConnections(std::vector<int32_t>& out) const;
    std::vector<int32_t> AIConnections() const;
};

} // namespace ondrel
