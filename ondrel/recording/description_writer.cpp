#include "ondrel/recording/description_writer.h"

#include "ondrel/recording/little_endian_writer.h"
#include "ondrel/common/latin1.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace ondrel {
namespace {

// Single-byte text that cannot contain the 0 byte that ends it in the file.
std::string FileText(std::string_view utf8)
{
    std::string text = Utf8ToLatin1(utf8);
    std::replace(text.begin(), text.end(), '\0', '?');
    return text;
}

void WritePlots(LittleEndianWriter& out, const std::vector<PlotRecord>& plots)
{
    for (const PlotRecord& plot : plots) {
        out.Int32(plot.color);
        out.Int32(plot.lineStyle);
        out.Text(FileText(plot.name));
        out.Byte(0);
    }
}

void WriteCountedBytes(LittleEndianWriter& out, const std::vector<uint8_t>& bytes)
{
    out.Int32(static_cast<int32_t>(bytes.size()));
    for (const uint8_t byte : bytes)
        out.Byte(byte);
}

void Check(bool condition, const char* message)
{
    if (!condition)
        throw std::invalid_argument(message);
}

} // namespace

std::vector<std::byte> EncodeRunDescription(const RunDescription& run)
{
    Check(run.ai.has_value() == run.aiRecorded, "AI section must be present exactly when AI is recorded");
    Check(run.di.has_value() == run.diRecorded, "DI section must be present exactly when DI is recorded");
    Check(!run.ai || std::ssize(run.ai->plots) == run.aiChanCount, "AI plot records must match AIChanCount");
    Check(!run.di || std::ssize(run.di->plots) == run.diChanCount, "DI plot records must match DIChanCount");
    Check(!run.ai || run.ai->channelKinds.size() <= INT32_MAX, "too many AI channel kinds");
    Check(!run.di || run.di->portMasks.size() <= INT32_MAX, "too many DI port masks");

    LittleEndianWriter out;
    out.Boolean(run.aiRecorded);
    out.Boolean(run.diRecorded);
    out.Boolean(run.softRecorded);
    out.Boolean(run.floatSamples);
    out.Int32(run.aiChanCount);
    out.Int32(run.diChanCount);
    if (run.ai) {
        WritePlots(out, run.ai->plots);
        WriteCountedBytes(out, run.ai->channelKinds);
    }
    if (run.di) {
        WritePlots(out, run.di->plots);
        WriteCountedBytes(out, run.di->portMasks);
    }
    return out.Bytes();
}

std::vector<std::byte> EncodeRunEnd(const RunEnd& end)
{
    LittleEndianWriter out;
    out.Int32(end.scanCount);
    out.F64(end.scanInterval);
    return out.Bytes();
}

std::vector<std::byte> EncodeSavedPaths(const SavedPaths& paths)
{
    LittleEndianWriter out;
    out.Text(FileText(paths.aiFilePath));
    out.Byte(0);
    out.Text(FileText(paths.diFilePath));
    return out.Bytes();
}

} // namespace ondrel
