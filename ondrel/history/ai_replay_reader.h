#pragma once
#include "ondrel/components/graph.h"
#include "ondrel/history/replay_step.h"
#include "ondrel/recording/binary_file.h"
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel {

// The AI data file of a recording ("AI.ond"), read for replay: no header, scan
// s at byte s x chanCount x 4, each sample an F32, or an Int32 count in a
// buffered recording that stored counts. Opened read-only: replay never
// creates or changes a file. Opening reads nothing; each Play reads one step.
class AIReplayReader {
public:
    // Throws FileError when the file cannot be opened (a missing one included).
    void Open(const std::string& path, int32_t chanCount, bool floatSamples);
    void Close() { file_.Close(); }
    bool IsOpen() const { return file_.IsOpen(); }

    // Whole scans in the file.
    int64_t ScanCount() const;
    // Positions the file at `scan`; returns the byte offset.
    int64_t SeekScan(int64_t scan);
    // Reads `scans` scans and draws them on plots 0 .. chanCount - 1, `interval`
    // seconds apart. A read that comes up short draws the whole scans it got and
    // reports the end; a closed file reports the end at once.
    ReplayStep Play(IKroGraph& graph, int64_t scans, double interval);

private:
    int64_t BytesPerScan() const { return int64_t{chanCount_} * 4; }

    BinaryFile file_;
    int32_t chanCount_ = 0;
    bool floatSamples_ = true;
    std::vector<float> floats_;
    std::vector<int32_t> counts_;
    PreparedData prepared_;
};

} // namespace ondrel
