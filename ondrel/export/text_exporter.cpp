#include "ondrel/export/text_exporter.h"

#include "ondrel/export/line_names.h"
#include "ondrel/export/number_text.h"
#include "ondrel/common/latin1.h"
#include "ondrel/common/table_at.h"

namespace ondrel {

void TextExporter::Begin(const RecordingInfo& recording, ExportKinds kinds, const std::string& folder)
{
    recording_ = recording;
    aiTime_ = diTime_ = 0.0;
    if (kinds.ai) {
        TextFileWriter& out = ai_.emplace(folder + "/AI.xlt");
        out.Append("Time");
        // The text files are single-byte, as the descriptions the names come
        // from: a character outside the code page becomes '?', as on Save As.
        for (const std::string& name : recording_.aiNames) {
            out.Append("\t");
            out.Append(Utf8ToLatin1(name));
        }
    }
    if (kinds.di) {
        TextFileWriter& out = di_.emplace(folder + "/DI.xlt");
        out.Append("Time");
        AppendLineNames(out, recording_, '\t');
    }
}

// A new row: CR LF, then the time.
void TextExporter::StartRow(TextFileWriter& out, double& time)
{
    time += recording_.scanInterval;
    char* at = out.Reserve(2 + kMaxNumberText);
    *at++ = '\r';
    *at++ = '\n';
    out.Commit(AppendDouble(at, time, decimal_));
}

void TextExporter::WriteAI(const AIScanBlock& block)
{
    TextFileWriter& out = *ai_;
    const auto chans = static_cast<size_t>(block.chanCount);
    for (int64_t scan = 0; scan < block.scans; ++scan) {
        StartRow(out, aiTime_);
        char* at = out.Reserve(chans * (1 + kMaxNumberText));
        const size_t first = static_cast<size_t>(scan) * chans;
        for (size_t c = first; c < first + chans; ++c) {
            *at++ = '\t';
            at = block.floats.empty() ? AppendInt32(at, block.counts[c]) : AppendSingle(at, block.floats[c], decimal_);
        }
        out.Commit(at);
    }
}

void TextExporter::WritePorts(TextFileWriter& out, const uint8_t* ports, size_t count)
{
    for (size_t b = 0; b < count; ++b) {
        const uint8_t shown = TableAt(recording_.diPortMasks, recording_.diPortStart + static_cast<int32_t>(b));
        char* p = out.Reserve(16);
        for (int32_t bit = 0; bit < 8; ++bit) {
            if (shown & (1u << bit)) {
                *p++ = '\t';
                *p++ = (ports[b] & (1u << bit)) ? '1' : '0';
            }
        }
        out.Commit(p);
    }
}

void TextExporter::WriteDI(const DIScanBlock& block)
{
    TextFileWriter& out = *di_;
    const auto portCount = static_cast<size_t>(recording_.diPortCount);
    for (int64_t scan = 0; scan < block.scans; ++scan) {
        StartRow(out, diTime_);
        WritePorts(out, block.ports.data() + static_cast<size_t>(scan) * portCount, portCount);
    }
    if (block.end) {
        // The row being written when the data ran out stays as far as they went.
        StartRow(out, diTime_);
        WritePorts(out, block.cutOff.data(), block.cutOff.size());
    }
}

void TextExporter::Finish()
{
    if (ai_)
        ai_->Close();
    if (di_)
        di_->Close();
    ai_.reset();
    di_.reset();
}

void TextExporter::Abandon() noexcept
{
    ai_.reset();
    di_.reset();
}

} // namespace ondrel
