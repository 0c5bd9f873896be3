#pragma once
#include "ondrel/components/graph.h"
#include "ondrel/history/replay_step.h"
#include "ondrel/recording/binary_file.h"
#include "ondrel/recording/di_header.h"
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel {

// The DI data file of a recording ("DI.ond"), read for replay: Int32 first port,
// Int32 port count, then one byte per port per scan, bit k = line k. Opened
// read-only; opening reads the 8-byte header and nothing else.
class DIReplayReader {
public:
    // Throws FileError when the file cannot be opened or its header is cut
    // short or names no sensible ports.
    void Open(const std::string& path);
    void Close() { file_.Close(); }
    bool IsOpen() const { return file_.IsOpen(); }

    int32_t PortStart() const { return portStart_; }
    int32_t PortCount() const { return portCount_; }
    // Whole scans in the file.
    int64_t ScanCount() const;
    void SeekScan(int64_t scan);

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

    BinaryFile file_;
    int32_t portStart_ = 0;
    int32_t portCount_ = 0;
    std::vector<uint8_t> bytes_;
};

// Reads the header of a DI data file positioned at its start, leaving it at
// the first scan. Throws FileError when the header is cut short or names no
// sensible ports.
DIHeader ReadDIHeader(BinaryFile& file);

} // namespace ondrel
