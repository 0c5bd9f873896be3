#include "ondrel/overview/overview_columns.h"

#include <algorithm>
#include <cmath>

namespace ondrel {

OverviewColumns::OverviewColumns(std::shared_ptr<const OverviewSummary> summary, std::unique_ptr<RecordingReader> data)
    : summary_(std::move(summary)), data_(std::move(data))
{}

int64_t OverviewColumns::ColumnStart(double first, double end, int width, int column)
{
    if (column >= width)
        return static_cast<int64_t>(std::ceil(end));
    return static_cast<int64_t>(std::floor(first + (end - first) * column / width));
}

void OverviewColumns::Draw(double first, double end, int width, OverviewPicture& picture)
{
    const SummaryShape& shape = summary_->Shape();
    width = std::max(width, 1);
    end = std::max(end, first);
    picture.first = first;
    picture.end = end;
    picture.width = width;
    picture.ai.resize(static_cast<size_t>(std::max(shape.aiChannels, 0)));
    picture.di.resize(static_cast<size_t>(std::max(shape.diPorts, 0)));
    const double scansPerColumn = (end - first) / width;
    starts_.resize(static_cast<size_t>(width) + 1);
    for (int c = 0; c <= width; ++c)
        starts_[static_cast<size_t>(c)] = ColumnStart(first, end, width, c);
    picture.samples = scansPerColumn < 1.0;
    picture.cutShortAt.reset();
    picture.fromData = scansPerColumn < static_cast<double>(kSummaryBlockScans);
    if (picture.fromData)
        FromData(picture, std::max<int64_t>(0, starts_.front()), starts_.back());
    else
        FromSummary(picture, scansPerColumn);
}

void OverviewColumns::FromSummary(OverviewPicture& picture, double scansPerColumn)
{
    int level = 0;
    while (level + 1 < summary_->Levels()
           && static_cast<double>(OverviewSummary::BlockScans(level + 1)) <= scansPerColumn)
        ++level;
    const auto width = static_cast<size_t>(picture.width);
    for (size_t ch = 0; ch < picture.ai.size(); ++ch) {
        std::vector<ValueSpan>& columns = picture.ai[ch];
        columns.resize(width);
        for (size_t c = 0; c < width; ++c)
            columns[c] = summary_->AIRange(static_cast<int32_t>(ch), starts_[c], starts_[c + 1], level);
    }
    for (size_t port = 0; port < picture.di.size(); ++port) {
        std::vector<PortSpan>& columns = picture.di[port];
        columns.resize(width);
        for (size_t c = 0; c < width; ++c)
            columns[c] = summary_->DIRange(static_cast<int32_t>(port), starts_[c], starts_[c + 1], level);
    }
}

void OverviewColumns::Store(OverviewPicture& picture, std::vector<ValueSpan>& gathered, size_t slot)
{
    for (size_t ch = 0; ch < gathered.size(); ++ch) {
        if (slot < picture.ai[ch].size())
            picture.ai[ch][slot].Add(gathered[ch]);
        gathered[ch] = ValueSpan{};
    }
}

// One span per column, or per scan when zoomed in past one scan a column.
void OverviewColumns::FromData(OverviewPicture& picture, int64_t firstScan, int64_t endScan)
{
    picture.firstScan = firstScan;
    const size_t slots = picture.samples ? static_cast<size_t>(std::max<int64_t>(0, endScan - firstScan))
                                         : static_cast<size_t>(picture.width);
    for (std::vector<ValueSpan>& spans : picture.ai)
        spans.assign(slots, ValueSpan{});
    for (std::vector<PortSpan>& spans : picture.di)
        spans.assign(slots, PortSpan{});
    // The slot of scan s: columns are walked alongside, since scans come in order.
    auto slotWalker = [this, &picture, firstScan]() {
        return [this, &picture, firstScan, column = size_t{0}](int64_t scan) mutable {
            if (picture.samples)
                return static_cast<size_t>(scan - firstScan);
            while (column + 1 < static_cast<size_t>(picture.width) && scan >= starts_[column + 1])
                ++column;
            return column;
        };
    };
    AIScanReader& ai = data_->AI();
    if (ai.IsOpen() && !picture.ai.empty()) {
        const auto chans = static_cast<size_t>(ai.ChanCount());
        auto slotOf = slotWalker();
        gathered_.assign(chans, ValueSpan{});
        size_t gathering = 0;
        ai.SeekScan(firstScan);
        int64_t scan = firstScan;
        while (scan < endScan) {
            const AIScanBlock block = ai.Read(endScan - scan);
            // A column's span is gathered in one row beside the scans, then stored.
            auto add = [&](const auto& values) {
                for (int64_t s = 0; s < block.scans; ++s, ++scan) {
                    const size_t slot = slotOf(scan);
                    if (slot != gathering) {
                        Store(picture, gathered_, gathering);
                        gathering = slot;
                    }
                    const size_t at = static_cast<size_t>(s) * chans;
                    for (size_t ch = 0; ch < chans; ++ch)
                        gathered_[ch].Add(static_cast<float>(values[at + ch]));
                }
            };
            if (block.floats.empty())
                add(block.counts);
            else
                add(block.floats);
            if (block.end || block.scans == 0)
                break;
        }
        Store(picture, gathered_, gathering);
        NoteEnd(picture, scan, std::min(endScan, summary_->Shape().aiScans));
    }
    DIScanReader& di = data_->DI();
    if (di.IsOpen() && !picture.di.empty()) {
        const auto ports = static_cast<size_t>(di.PortCount());
        auto slotOf = slotWalker();
        di.SeekScan(firstScan);
        int64_t scan = firstScan;
        while (scan < endScan) {
            const DIScanBlock block = di.Read(endScan - scan);
            for (int64_t s = 0; s < block.scans; ++s, ++scan) {
                const size_t slot = slotOf(scan);
                for (size_t port = 0; port < ports; ++port)
                    picture.di[port][slot].Add(block.ports[static_cast<size_t>(s) * ports + port]);
            }
            if (block.end || block.scans == 0)
                break;
        }
        NoteEnd(picture, scan, std::min(endScan, summary_->Shape().diScans));
    }
}

// A file whose reads ended at `reached`, before scans it held when the
// summary was made, has been cut short since: what is gone shows as a gap, and
// the picture says from where on nothing is left.
void OverviewColumns::NoteEnd(OverviewPicture& picture, int64_t reached, int64_t expected)
{
    if (reached < expected)
        picture.cutShortAt = std::min(reached, picture.cutShortAt.value_or(reached));
}

} // namespace ondrel
