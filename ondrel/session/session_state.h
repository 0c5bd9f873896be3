#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel {

// Everything the main window keeps about its acquisition session. Booleans are
// held as bool here and written to the recording files as Int16 -1/0.
struct SessionState {
    // Public fields: other windows read and write them directly.
    int32_t nAISampleCnt = 4096;
    bool bFAICyclic = false;
    bool bAISaveToDisk = false;
    int32_t nTimerInterval = 100;
    int32_t nDIMaxPortCount = 0;
    int32_t nDIPortStart = 0;
    int32_t nDIPortCount = 0;
    int32_t nDIChanCount = 0;
    std::string sztmpPath;
    std::string szAIFileName;
    std::string szFAIFileName;
    std::string szProjectFileName;
    std::string szDIFileName;
    bool bDISaveToDisk = false;
    bool isSystemRunning = false;
    bool bHistoryMode = false;
    bool bDIEnabled = false;
    bool bAIEnabled = false;
    std::string szDrive, szDir, szNewFolder;
    bool bHisAI = false, bHisDI = false, bHisAISoft = false, bHisAIAnalog = false;
    int32_t nHisAIMaxChanNum = 0, nHisAIChanCount = 0, nHisDIMaxPortCount = 0;
    int32_t nHisDIPortCount = 0, nHisDIPortStart = 0, nHisDIChanCount = 0;
    bool isHisPlaying = false, isHisPlayPaused = false, bHisFileExist = false;
    std::string szTextSaveDrive, szTextSaveDir, szTextSaveFolder;
    bool bTextSaveAI = false, bTextSaveDI = false;
    double dDIVValue = 1.0;
    bool isNumEditEventFired = false;

    // Private fields.
    int32_t nSoftTickCount = 0;
    int32_t nLayoutMargin = 50;
    int32_t nFormDim1 = 0;                 // minimum window height, twips
    int32_t nFormDim2 = 0;                 // minimum window width, twips
    std::string szHisProjectFile, szHisAIFile, szHisDIFile;
    int32_t nHisScanCount = 0;
    double dHisScanInterval = 0.0;
    int32_t nHisPlayStep = 0;
    int64_t nHisFAIReadPos = 0;
    uint32_t nStartTicks = 0;
    int32_t nScanCount = 0;
    bool bAIDataSaved = false, bFAIDataSaved = false, bDIDataSaved = false;
    bool bSoftMode = true;
};

// Per-channel tables the settings dialogs edit. AI tables have MaxChanCount + 1
// entries (indices 0..MaxChanCount), the port masks PortCount + 1, the DI line
// tables PortCount * 8 + 1.
struct SessionTables {
    std::vector<bool> bAIChanIsThermo;
    std::vector<int32_t> nAIChanConnection;
    std::vector<uint8_t> nAIChanExpChan;
    std::vector<uint8_t> nAIChanTempScale;
    std::vector<uint8_t> nAIChanTCType;
    std::vector<int32_t> nAIChanLineStyle;
    std::vector<uint32_t> nAIChanColor;
    std::vector<std::string> szAIChanName;
    std::vector<uint8_t> nDIPortMask;
    std::vector<int32_t> nDIChanLineStyle;
    std::vector<uint32_t> nDIChanColor;
    std::vector<std::string> szDIChanName;
};

// What a recorded project says about its plots, read when it is opened for replay.
struct ReplayTables {
    std::vector<uint32_t> HisAIPlotColor;
    std::vector<int32_t> HisAIPlotStyle;
    std::vector<std::string> HisAIPlotName;
    std::vector<uint8_t> HisAIChanKind;
    std::vector<uint32_t> HisDIPlotColor;
    std::vector<int32_t> HisDIPlotStyle;
    std::vector<std::string> HisDIPlotName;
    std::vector<uint8_t> HisDIPortMask;
};

// Thermocouple type and temperature scale names, as the dialogs list them.
inline const std::vector<std::string>& TCTypeNames()
{
    static const std::vector<std::string> names{"J", "K", "S", "T", "B", "R", "E", ""};
    return names;
}

inline const std::vector<std::string>& TempScaleNames()
{
    static const std::vector<std::string> names{"Celsius", "Fahrenheit", "Rankine", "Kelvin"};
    return names;
}

} // namespace ondrel
