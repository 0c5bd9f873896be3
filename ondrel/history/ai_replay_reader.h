#pragma once
#include "ondrel/components/graph.h"
#include "ondrel/history/replay_step.h"
#include "ondrel/history/scan_readers.h"
#include <cstdint>
#include <string>

namespace ondrel {

// The AI data of a recording drawn for replay, each F32 sample or, in a
// buffered recording that stored counts, each Int32 count as it is. Opened
// read-only: replay never creates or changes a file. Opening reads nothing;
// each Play reads one step.
class AIReplayReader {
public:
    // Throws FileError when the file cannot be opened (a missing one included).
    void Open(const std::string& path, int32_t chanCount, bool floatSamples)
    {
        scans_.Open(path, chanCount, floatSamples);
    }
    void Close() { scans_.Close(); }
    const AIScanReader& Scans() const { return scans_; }
    bool IsOpen() const { return scans_.IsOpen(); }

    // Whole scans in the file.
    int64_t ScanCount() const { return scans_.ScanCount(); }
    // Positions the file at `scan`; returns the byte offset.
    int64_t SeekScan(int64_t scan) { return scans_.SeekScan(scan); }
    // Reads `scans` scans and draws them on plots 0 .. chanCount - 1, `interval`
    // seconds apart. A read that comes up short draws the whole scans it got and
    // reports the end; a closed file reports the end at once.
    ReplayStep Play(IKroGraph& graph, int64_t scans, double interval);

private:
    AIScanReader scans_;
    PreparedData prepared_;
};

} // namespace ondrel
