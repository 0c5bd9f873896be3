#pragma once
#include "ondrel/history/recording_reader.h"
#include "ondrel/overview/summary_levels.h"
#include <memory>
#include <optional>
#include <vector>

namespace ondrel {

// What an overview shows of scans [first, end) across `width` pixel columns:
// per AI channel and per DI port, each column's span. Zoomed in past one scan
// a column, the scans themselves instead, from `firstScan` on, one span each.
struct OverviewPicture {
    double first = 0.0, end = 0.0;
    int width = 0;
    bool samples = false;
    int64_t firstScan = 0;
    bool fromData = false;                  // read from the data files rather than the summary
    std::optional<int64_t> cutShortAt;      // from here on a data file has lost scans it had
    std::vector<std::vector<ValueSpan>> ai; // [channel][column or scan]
    std::vector<std::vector<PortSpan>> di;  // [port][column or scan]
};

// Pictures of a recording at any zoom: from the summary's level whose blocks
// fit a column, and from the data files themselves, read in bounded blocks,
// where a column holds fewer scans than a block of the finest level. The
// memory it holds does not grow with the recording.
class OverviewColumns {
public:
    // `data`: a reader of the same recording the summary is made of.
    OverviewColumns(std::shared_ptr<const OverviewSummary> summary, std::unique_ptr<RecordingReader> data);

    // Fills `picture` for scans [first, end) and `width` columns (at least 1).
    // Throws FileError when the data files cannot be read.
    void Draw(double first, double end, int width, OverviewPicture& picture);

    // The scan where column `column` of a picture of [first, end) begins; the
    // last column ends at `end` rounded up.
    static int64_t ColumnStart(double first, double end, int width, int column);

private:
    void FromSummary(OverviewPicture& picture, double scansPerColumn);
    void FromData(OverviewPicture& picture, int64_t firstScan, int64_t endScan);
    static void Store(OverviewPicture& picture, std::vector<ValueSpan>& gathered, size_t slot);
    static void NoteEnd(OverviewPicture& picture, int64_t reached, int64_t expected);

    std::shared_ptr<const OverviewSummary> summary_;
    std::unique_ptr<RecordingReader> data_;
    std::vector<int64_t> starts_;     // per column, then the end
    std::vector<ValueSpan> gathered_; // per channel, the column being read
};

} // namespace ondrel
