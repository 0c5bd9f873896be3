#include "ondrel/history/di_replay_reader.h"

#include "ondrel/session/file_error.h"
#include "ondrel/session/rounding.h"
#include "ondrel/session/table_at.h"

#include <algorithm>
#include <array>
#include <span>

namespace ondrel {

namespace {

constexpr uint64_t kHeaderBytes = DIHeader::kBytes;

} // namespace

DIHeader ReadDIHeader(BinaryFile& file)
{
    std::array<std::byte, DIHeader::kBytes> header{};
    const size_t got = file.Read(header);
    try {
        return ParseDIHeader(std::span(header).first(got));
    } catch (const DIHeaderError& error) {
        throw FileError(error.what(), file.Path());
    }
}

void DIReplayReader::Open(const std::string& path)
{
    BinaryFile file;
    file.Open(path, BinaryFile::Mode::ReadOnly);
    const DIHeader header = ReadDIHeader(file);
    file_ = std::move(file);
    portStart_ = header.portStart;
    portCount_ = header.portCount;
}

int64_t DIReplayReader::ScanCount() const
{
    if (!file_.IsOpen())
        return 0;
    const uint64_t size = file_.Size();
    return size <= kHeaderBytes ? 0 : static_cast<int64_t>((size - kHeaderBytes) / static_cast<uint64_t>(portCount_));
}

void DIReplayReader::SeekScan(int64_t scan)
{
    if (file_.IsOpen())
        file_.Seek(kHeaderBytes
                   + static_cast<uint64_t>(std::max<int64_t>(scan, 0)) * static_cast<uint64_t>(portCount_));
}

ReplayStep DIReplayReader::Play(IKroGraph& graph, int64_t scans, double interval, int32_t firstPlot,
                                const std::vector<uint8_t>& portMasks)
{
    if (!file_.IsOpen())
        return {0, true};
    if (scans <= 0)
        return {0, false};
    scans = std::min<int64_t>(scans, kMaxStepBytes / portCount_);
    const size_t wanted = static_cast<size_t>(scans) * static_cast<size_t>(portCount_);
    bytes_.assign(wanted, 0);
    const size_t got = file_.Read(std::as_writable_bytes(std::span(bytes_)));
    int64_t drawn = scans;
    if (got < wanted) {
        // Half a scan or more counts as a scan (ties to even); its missing
        // ports stay 0.
        drawn = RoundToInt64(static_cast<double>(got) / portCount_);
        if (drawn < 1)
            return {0, true};
    }
    for (int64_t s = 0; s < drawn; ++s)
        DrawScan(graph, bytes_.data() + s * portCount_, interval, firstPlot, portMasks);
    return {drawn, false};
}

void DIReplayReader::DrawScan(IKroGraph& graph, const uint8_t* ports, double interval, int32_t firstPlot,
                              const std::vector<uint8_t>& portMasks)
{
    int32_t plot = firstPlot;
    for (int32_t b = 0; b < portCount_; ++b) {
        const int32_t port = portStart_ + b;
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
