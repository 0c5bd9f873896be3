#pragma once
#include "ondrel/components/graph.h"
#include "ondrel/history/replay_step.h"
#include "ondrel/history/scan_readers.h"
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel {

// The DI data of a recording drawn for replay. Opened read-only; opening
// reads the 8-byte header and nothing else.
class DIReplayReader {
public:
    // Throws FileError when the file cannot be opened or its header is cut
    // short or names no sensible ports.
    void Open(const std::string& path) { scans_.Open(path); }
    void Close() { scans_.Close(); }
    const DIScanReader& Scans() const { return scans_; }
    bool IsOpen() const { return scans_.IsOpen(); }

    int32_t PortStart() const { return scans_.PortStart(); }
    int32_t PortCount() const { return scans_.PortCount(); }
    // Whole scans in the file.
    int64_t ScanCount() const { return scans_.ScanCount(); }
    void SeekScan(int64_t scan) { scans_.SeekScan(scan); }

    // Reads `scans` scans and draws each shown line on plots firstPlot.. in port
    // and bit order, lifted 15 units per port and 1.5 per bit. A file that ends
    // inside the step draws the scans it holds, rounded to the nearest (ports of
    // a cut-off scan read 0), and reports the end only on the next tick, when
    // less than half a scan is left.
    ReplayStep Play(IKroGraph& graph, int64_t scans, double interval, int32_t firstPlot,
                    const std::vector<uint8_t>& portMasks);

private:
    void DrawScan(IKroGraph& graph, const uint8_t* ports, double interval, int32_t firstPlot,
                  const std::vector<uint8_t>& portMasks);

    DIScanReader scans_;
    std::vector<uint8_t> cutOffScan_;
};

} // namespace ondrel
