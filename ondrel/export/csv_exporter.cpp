#include "ondrel/export/csv_exporter.h"
#include "ondrel/export/line_names.h"
#include "ondrel/common/table_at.h"
#include <charconv>

namespace ondrel {

namespace {

// The longest a number takes here: a shortest F32 or F64, or an Int32.
constexpr size_t kMaxNumber = 32;

char* AppendShortest(char* at, float value) { return std::to_chars(at, at + kMaxNumber, value).ptr; }

char* AppendInteger(char* at, int64_t value) { return std::to_chars(at, at + kMaxNumber, value).ptr; }

} // namespace

std::string CsvField(std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(field);
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

void CsvExporter::Begin(const RecordingInfo& recording, ExportKinds kinds, const std::string& folder)
{
    recording_ = recording;
    if (kinds.ai) {
        TextFileWriter& out = ai_.emplace(folder + "/AI.csv");
        out.Append("time_s");
        for (const std::string& name : recording_.aiNames) {
            out.Append(",");
            out.Append(CsvField(name));
        }
        out.Append("\r\n");
    }
    if (kinds.di) {
        TextFileWriter& out = di_.emplace(folder + "/DI.csv");
        out.Append("time_s");
        AppendLineNames(out, recording_, ',');
        out.Append("\r\n");
    }
}

char* CsvExporter::AppendTime(char* at, int64_t scan) const
{
    return std::to_chars(at, at + kMaxNumber, static_cast<double>(scan) * recording_.scanInterval).ptr;
}

void CsvExporter::WriteAI(const AIScanBlock& block)
{
    TextFileWriter& out = *ai_;
    const auto chans = static_cast<size_t>(block.chanCount);
    for (int64_t scan = 0; scan < block.scans; ++scan) {
        char* at = AppendTime(out.Reserve(kMaxNumber + chans * (1 + kMaxNumber) + 2), block.firstScan + scan);
        const size_t first = static_cast<size_t>(scan) * chans;
        if (block.floats.empty()) {
            for (size_t c = first; c < first + chans; ++c) {
                *at++ = ',';
                at = AppendInteger(at, block.counts[c]);
            }
        } else {
            for (size_t c = first; c < first + chans; ++c) {
                *at++ = ',';
                at = AppendShortest(at, block.floats[c]);
            }
        }
        *at++ = '\r';
        *at++ = '\n';
        out.Commit(at);
    }
}

void CsvExporter::WriteDI(const DIScanBlock& block)
{
    TextFileWriter& out = *di_;
    const auto portCount = static_cast<size_t>(recording_.diPortCount);
    for (int64_t scan = 0; scan < block.scans; ++scan) {
        char* at = AppendTime(out.Reserve(kMaxNumber + portCount * 16 + 2), block.firstScan + scan);
        const uint8_t* ports = block.ports.data() + static_cast<size_t>(scan) * portCount;
        for (size_t b = 0; b < portCount; ++b) {
            const uint8_t shown = TableAt(recording_.diPortMasks, recording_.diPortStart + static_cast<int32_t>(b));
            for (int32_t bit = 0; bit < 8; ++bit)
                if (shown & (1u << bit)) {
                    *at++ = ',';
                    *at++ = (ports[b] & (1u << bit)) ? '1' : '0';
                }
        }
        *at++ = '\r';
        *at++ = '\n';
        out.Commit(at);
    }
}

void CsvExporter::Finish()
{
    if (ai_)
        ai_->Close();
    if (di_)
        di_->Close();
    ai_.reset();
    di_.reset();
}

void CsvExporter::Abandon() noexcept
{
    ai_.reset();
    di_.reset();
}

} // namespace ondrel
