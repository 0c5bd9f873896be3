#include "ondrel/history/di_replay_reader.h"

#include "ondrel/common/rounding.h"
#include "ondrel/common/table_at.h"

#include <algorithm>

namespace ondrel {

ReplayStep DIReplayReader::Play(IKroGraph& graph, int64_t scans, double interval, int32_t firstPlot,
                                const std::vector<uint8_t>& portMasks)
{
    if (!scans_.IsOpen())
        return {0, true};
    if (scans <= 0)
        return {0, false};
    const DIScanBlock block = scans_.Read(scans);
    const int32_t portCount = scans_.PortCount();
    int64_t drawn = block.scans;
    if (block.end) {
        // Half a scan or more counts as a scan (ties to even); its missing
        // ports stay 0.
        const size_t got = block.ports.size() + block.cutOff.size();
        drawn = RoundToInt64(static_cast<double>(got) / portCount);
        if (drawn < 1)
            return {0, true};
    }
    for (int64_t s = 0; s < block.scans; ++s)
        DrawScan(graph, block.ports.data() + s * portCount, interval, firstPlot, portMasks);
    if (drawn > block.scans) {
        cutOffScan_.assign(static_cast<size_t>(portCount), 0);
        std::copy(block.cutOff.begin(), block.cutOff.end(), cutOffScan_.begin());
        DrawScan(graph, cutOffScan_.data(), interval, firstPlot, portMasks);
    }
    return {drawn, false};
}

void DIReplayReader::DrawScan(IKroGraph& graph, const uint8_t* ports, double interval, int32_t firstPlot,
                              const std::vector<uint8_t>& portMasks)
{
    int32_t plot = firstPlot;
    for (int32_t b = 0; b < scans_.PortCount(); ++b) {
        const int32_t port = scans_.PortStart() + b;
        const uint8_t mask = TableAt(portMasks, port);
        for (int32_t bit = 0; bit < 8; ++bit) {
            const unsigned line = 1u << bit;
            if ((mask & line) == 0)
                continue;
            const double v = (ports[b] & line) != 0 ? 1.0 : 0.0;
            graph.Plots().Item(plot++).AddPoint(v + 15.0 * port + 1.5 * bit, interval);
        }
    }
}

} // namespace ondrel
