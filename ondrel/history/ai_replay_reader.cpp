#include "ondrel/history/ai_replay_reader.h"

#include <algorithm>
#include <span>

namespace ondrel {

void AIReplayReader::Open(const std::string& path, int32_t chanCount, bool floatSamples)
{
    file_.Open(path, BinaryFile::Mode::ReadOnly);
    chanCount_ = chanCount;
    floatSamples_ = floatSamples;
}

int64_t AIReplayReader::ScanCount() const
{
    if (!file_.IsOpen() || chanCount_ <= 0)
        return 0;
    return static_cast<int64_t>(file_.Size() / static_cast<uint64_t>(BytesPerScan()));
}

int64_t AIReplayReader::SeekScan(int64_t scan)
{
    const int64_t offset = scan < 0 ? 0 : scan * BytesPerScan();
    if (file_.IsOpen())
        file_.Seek(static_cast<uint64_t>(offset));
    return offset;
}

ReplayStep AIReplayReader::Play(IKroGraph& graph, int64_t scans, double interval)
{
    if (!file_.IsOpen() || chanCount_ <= 0 || scans <= 0)
        return {0, !file_.IsOpen() || chanCount_ <= 0};
    scans = std::min(scans, std::max<int64_t>(1, kMaxStepBytes / BytesPerScan()));
    const size_t samples = static_cast<size_t>(scans) * static_cast<size_t>(chanCount_);
    size_t got = 0;
    if (floatSamples_) {
        floats_.resize(samples);
        got = file_.Read(std::as_writable_bytes(std::span(floats_)));
    } else {
        counts_.resize(samples);
        got = file_.Read(std::as_writable_bytes(std::span(counts_)));
    }
    const bool full = got == samples * 4;
    const int64_t whole = static_cast<int64_t>(got / static_cast<size_t>(BytesPerScan()));
    if (whole > 0) {
        // The chart takes whole scans only; a scan cut off by the end of the
        // file is not drawn.
        const double drawn = static_cast<double>(whole);
        if (floatSamples_)
            graph.PlotData(std::span<const float>(floats_).first(whole * chanCount_), prepared_, chanCount_, drawn);
        else
            graph.PlotData(std::span<const int32_t>(counts_).first(whole * chanCount_), prepared_, chanCount_, drawn);
        graph.SetXStep(prepared_, interval);
    }
    return {whole, !full};
}

} // namespace ondrel
