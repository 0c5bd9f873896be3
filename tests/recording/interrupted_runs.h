#pragma once
#include "ondrel/recording/recording_files.h"
#include "ondrel/common/working_folder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ondrel::testing {

inline constexpr int kRunChannels = 3;

// The deterministic signal these runs record: channel c of scan s, port byte of scan s.
inline float RunSample(int64_t scan, int channel)
{
    return static_cast<float>(scan) * 0.5f + static_cast<float>(channel);
}
inline uint8_t RunPortByte(int64_t scan) { return static_cast<uint8_t>(scan * 7 + 1); }

// A polled run of three AI channels and one DI port, both recorded.
inline RunDescription PolledAIAndDIRun()
{
    RunDescription run;
    run.aiRecorded = run.diRecorded = run.softRecorded = run.floatSamples = true;
    run.aiChanCount = kRunChannels;
    run.diChanCount = 1;
    run.ai = AIDescription{{{1, 0, "a"}, {2, 0, "b"}, {3, 0, "c"}}, {0, 0, 0, 0}};
    run.di = DIDescription{{{4, 1, "0:0"}}, {0x01}};
    return run;
}

inline void RecordScans(RecordingFiles& files, int from, int to)
{
    for (int s = from; s < to; ++s) {
        const float values[kRunChannels] = {RunSample(s, 0), RunSample(s, 1), RunSample(s, 2)};
        const uint8_t ports[] = {RunPortByte(s)};
        files.BeginPolledScan();
        files.AppendAIRecord(values);
        files.AppendDIRecord(ports);
    }
}

// A working folder in `parent` whose program was killed after recording
// `scans` scans, having kept fields 13-14 (with `interval`) or not.
inline std::string LeaveInterruptedRun(const std::string& parent, int scans, bool keptProgress = true,
                                       double interval = 0.25)
{
    RecordingFiles files(CreateWorkingFolder(std::vector<std::string>{parent}));
    files.OpenAtStartUp();
    files.WriteProjectInfo(PolledAIAndDIRun(), {});
    files.WriteDIHeader(0, 1);
    RecordScans(files, 0, scans);
    if (keptProgress)
        files.WriteProgress({scans, interval});
    return files.Folder(); // its lock goes with `files`, as with a dead process
}

} // namespace ondrel::testing
