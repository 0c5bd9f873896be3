#include "ondrel/history/ai_replay_reader.h"

namespace ondrel {

ReplayStep AIReplayReader::Play(IKroGraph& graph, int64_t scans, double interval)
{
    if (!scans_.IsOpen() || scans_.ChanCount() <= 0 || scans <= 0)
        return {0, !scans_.IsOpen() || scans_.ChanCount() <= 0};
    const AIScanBlock block = scans_.Read(scans);
    if (block.scans > 0) {
        // The chart takes whole scans only, which is all the reader gives.
        const double drawn = static_cast<double>(block.scans);
        if (!block.floats.empty())
            graph.PlotData(block.floats, prepared_, block.chanCount, drawn);
        else
            graph.PlotData(block.counts, prepared_, block.chanCount, drawn);
        graph.SetXStep(prepared_, interval);
    }
    return {block.scans, block.end};
}

} // namespace ondrel
