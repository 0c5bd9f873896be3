#include "ondrel/recording/description_reader.h"

#include "ondrel/common/latin1.h"

#include <bit>
#include <cstdint>

namespace ondrel {
namespace {

// Smallest plot record: colour, line style, empty name, terminator.
constexpr size_t kMinPlotRecordBytes = 4 + 4 + 1;

class Cursor {
public:
    explicit Cursor(std::span<const std::byte> bytes) : bytes_(bytes) {}

    size_t Remaining() const { return bytes_.size() - offset_; }
    bool AtEnd() const { return Remaining() == 0; }

    int16_t Int16(const char* field) { return static_cast<int16_t>(Unsigned(2, field)); }
    int32_t Int32(const char* field) { return static_cast<int32_t>(Unsigned(4, field)); }
    double F64(const char* field) { return std::bit_cast<double>(Unsigned(8, field)); }
    bool Boolean(const char* field) { return Int16(field) != 0; }

    uint8_t Byte(const char* field)
    {
        Need(1, field);
        return static_cast<uint8_t>(bytes_[offset_++]);
    }

    // Bytes up to a 0 byte, which is consumed. With `terminatorRequired` false
    // the end of the file also ends the text.
    std::string Text(const char* field, bool terminatorRequired)
    {
        std::string text;
        for (;;) {
            if (AtEnd()) {
                if (terminatorRequired)
                    Fail(field, "has no terminating 0 byte");
                break;
            }
            const auto c = static_cast<char>(bytes_[offset_++]);
            if (c == '\0')
                break;
            text += c;
        }
        return Latin1ToUtf8(text);
    }

    // A count of entries that each take at least `minBytes` bytes.
    size_t Count(const char* field, size_t minBytes)
    {
        const size_t at = offset_;
        const int32_t count = Int32(field);
        if (count < 0)
            Fail(field, "is negative", at);
        if (static_cast<size_t>(count) > Remaining() / minBytes)
            Fail(field, "exceeds what the file holds", at);
        return static_cast<size_t>(count);
    }

    [[noreturn]] void Fail(const char* field, const char* problem) const { Fail(field, problem, offset_); }

    [[noreturn]] static void Fail(const char* field, const char* problem, size_t at)
    {
        throw DescriptionFormatError(std::string("Project description: ") + field + " " + problem + " (byte "
                                     + std::to_string(at) + ")");
    }

private:
    void Need(size_t count, const char* field) const
    {
        if (Remaining() < count)
            Fail(field, "is cut short");
    }

    uint64_t Unsigned(size_t count, const char* field)
    {
        Need(count, field);
        uint64_t value = 0;
        for (size_t i = 0; i < count; ++i)
            value |= static_cast<uint64_t>(bytes_[offset_ + i]) << (8 * i);
        offset_ += count;
        return value;
    }

    std::span<const std::byte> bytes_;
    size_t offset_ = 0;
};

std::vector<PlotRecord> ReadPlots(Cursor& in, int32_t storedCount, const char* field)
{
    if (storedCount < 0)
        in.Fail(field, "count is negative");
    if (static_cast<size_t>(storedCount) > in.Remaining() / kMinPlotRecordBytes)
        in.Fail(field, "count exceeds what the file holds");
    std::vector<PlotRecord> plots(static_cast<size_t>(storedCount));
    for (PlotRecord& plot : plots) {
        plot.color = in.Int32(field);
        plot.lineStyle = in.Int32(field);
        plot.name = in.Text(field, true);
    }
    return plots;
}

std::vector<uint8_t> ReadCountedBytes(Cursor& in, const char* countField, const char* field)
{
    std::vector<uint8_t> bytes(in.Count(countField, 1));
    for (uint8_t& byte : bytes)
        byte = in.Byte(field);
    return bytes;
}

} // namespace

ProjectDescription ParseProjectDescription(std::span<const std::byte> bytes)
{
    Cursor in(bytes);
    ProjectDescription description;
    RunDescription& run = description.run;
    run.aiRecorded = in.Boolean("AIRecorded");
    run.diRecorded = in.Boolean("DIRecorded");
    run.softRecorded = in.Boolean("SoftRecorded");
    run.floatSamples = in.Boolean("FloatSamples");
    run.aiChanCount = in.Int32("AIChanCount");
    run.diChanCount = in.Int32("DIChanCount");
    if (run.aiRecorded) {
        AIDescription ai;
        ai.plots = ReadPlots(in, run.aiChanCount, "AI plot record");
        ai.channelKinds = ReadCountedBytes(in, "AIDevChanCount", "AI channel kinds");
        run.ai = std::move(ai);
    }
    if (run.diRecorded) {
        DIDescription di;
        di.plots = ReadPlots(in, run.diChanCount, "DI plot record");
        di.portMasks = ReadCountedBytes(in, "DIPortCount", "DI port masks");
        run.di = std::move(di);
    }
    if (in.AtEnd())
        return description;
    RunEnd end;
    end.scanCount = in.Int32("ScanCount");
    end.scanInterval = in.F64("ScanInterval");
    description.end = end;
    if (in.AtEnd())
        return description;
    SavedPaths paths;
    paths.aiFilePath = in.Text("AIFilePath", false);
    paths.diFilePath = in.Text("DIFilePath", false);
    description.paths = std::move(paths);
    return description;
}

} // namespace ondrel
