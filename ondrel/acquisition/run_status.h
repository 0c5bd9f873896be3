#pragma once
#include <atomic>
#include <cstdint>

namespace ondrel {

// The state of the current or last run; only the run control changes it.
struct RunStatus {
    bool isSystemRunning = false;
    int32_t nSoftTickCount = 0;
    uint32_t nStartTicks = 0;
    // 64-bit: a fast run passes 2^31 scans; the file holds at most
    // kMaxScanCount. Atomic: a polled run counts on the polling thread while
    // the window may read the count.
    std::atomic<int64_t> nScanCount = 0;
    bool bAIDataSaved = false;
    bool bFAIDataSaved = false;
    bool bDIDataSaved = false;
    // Starts so far: tells one run's recording from the next one's.
    uint64_t runsStarted = 0;

    // The last run wrote data into the working folder.
    bool Recorded() const { return bAIDataSaved || bFAIDataSaved || bDIDataSaved; }
};

} // namespace ondrel
