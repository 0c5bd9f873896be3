#pragma once
#include "ondrel/export/exporter.h"
#include "ondrel/export/text_file_writer.h"
#include <optional>

namespace ondrel {

// Comma-separated values as RFC 4180 has them, for every analysis tool:
// "AI.csv" and "DI.csv", UTF-8 without a byte-order mark, CR LF line ends, a
// header `time_s,<plot names>` (DI columns "port:bit"), fields quoted only
// where they must be. Numbers are machine-readable whatever the locale: a
// point as the decimal separator, each sample the shortest text that reads
// back as the same F32 (or the Int32 count itself), the DI lines 1 or 0. The
// time of scan s is s times the scan interval, so it never drifts. Only
// whole scans are written.
class CsvExporter final : public IExporter {
public:
    void Begin(const RecordingInfo& recording, ExportKinds kinds, const std::string& folder) override;
    void WriteAI(const AIScanBlock& block) override;
    void WriteDI(const DIScanBlock& block) override;
    void Finish() override;
    void Abandon() noexcept override;

private:
    char* AppendTime(char* at, int64_t scan) const;

    RecordingInfo recording_;
    std::optional<TextFileWriter> ai_, di_;
};

// `field` as an RFC 4180 field: unchanged unless it holds a comma, a double
// quote, CR or LF; else in double quotes, each double quote doubled.
std::string CsvField(std::string_view field);

} // namespace ondrel
