#pragma once
#include "ondrel/graph/replay_chart.h"
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel {

// The window's mode and what a project opened for replay says about itself.
// The part the chart draws from is a ReplayChart; the rest is replay's own.
struct ReplayState : ReplayChart {
    bool bHisFileExist = false;   // a project was opened in this session
    std::string szHisProjectFile; // the "Project.onp" being replayed

    bool bHisAISoft = false, bHisAIAnalog = false;
    int32_t nHisAIMaxChanNum = 0, nHisDIMaxPortCount = 0;
    int32_t nHisDIPortCount = 0, nHisDIPortStart = 0;

    std::vector<uint8_t> HisDIPortMask;

    int32_t nHisScanCount = 0;            // as the description states it
    std::string szHisAIFile, szHisDIFile; // as stored; the files read may lie beside the description
    // Whole scans the data files hold (the shorter file when both are replayed).
    // Positions and jumps follow this, not nHisScanCount, so a description that
    // disagrees with its data still replays all of it, 0 % to 100 %.
    int64_t nHisDataScanCount = 0;

    // Playback.
    double dHisPlaySpeed = 0.0;   // scans per second, as the speed slider set it
    int32_t nHisPlayStep = 0;     // scans an on-time tick draws
    int32_t nHisPlayInterval = 0; // the HistoryTimer period, milliseconds
    int64_t nHisFAIReadPos = 0;   // byte offset of the next AI scan
    int64_t nHisNextScan = 0;     // scan the next tick draws first
    bool isHisPlayPaused = false; // Play resumes instead of rewinding
};

} // namespace ondrel
