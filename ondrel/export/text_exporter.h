#pragma once
#include "ondrel/export/exporter.h"
#include "ondrel/export/text_file_writer.h"
#include <optional>

namespace ondrel {

// The tab-separated text for a spreadsheet: "AI.xlt" with one column per AI
// channel titled with its plot's name (samples as stored, F32 or Int32
// counts), "DI.xlt" with one 1/0 column per line shown, titled "port:bit".
// Rows start with CR LF, the first line is the header, and the time of row r
// is the scan interval added r + 1 times. A DI block that ends short of the
// stated scans ends with the row it was in: its time and the ports there are.
class TextExporter final : public IExporter {
public:
    // `decimal` is the decimal separator numbers are written with.
    explicit TextExporter(char decimal) : decimal_(decimal) {}

    void Begin(const RecordingInfo& recording, ExportKinds kinds, const std::string& folder) override;
    void WriteAI(const AIScanBlock& block) override;
    void WriteDI(const DIScanBlock& block) override;
    void Finish() override;
    void Abandon() noexcept override;

private:
    void StartRow(TextFileWriter& out, double& time);
    void WritePorts(TextFileWriter& out, const uint8_t* ports, size_t count);

    char decimal_;
    RecordingInfo recording_;
    std::optional<TextFileWriter> ai_, di_;
    double aiTime_ = 0.0, diTime_ = 0.0; // running sums, as the rows' times are specified
};

} // namespace ondrel
