#include "ondrel/export/project_export.h"
#include "ondrel/export/number_text.h"
#include "ondrel/export/text_file_writer.h"
#include "ondrel/history/data_file_path.h"
#include "ondrel/history/di_replay_reader.h"
#include "ondrel/history/project_index.h"
#include "ondrel/recording/binary_file.h"
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ondrel {

namespace {

// The data files are read this much at a time: 100,000 samples.
constexpr size_t kBlockBytes = 400000;

// A new row: CR LF, then the time.
void StartRow(TextFileWriter& out, double time, char decimal)
{
    char* at = out.Reserve(2 + kMaxNumberText);
    *at++ = '\r';
    *at++ = '\n';
    out.Commit(AppendDouble(at, time, decimal));
}

int32_t Int32At(const std::byte* bytes)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return static_cast<int32_t>(value);
}

void WriteAI(const ReplayState& s, BinaryFile& data, const std::string& path, char decimal, ProgressCounter& progress)
{
    TextFileWriter out(path);
    out.Append("Time");
    for (int32_t i = 0; i < s.nHisAIChanCount; ++i) {
        out.Append("\t");
        out.Append(static_cast<size_t>(i) < s.aiPlots.size() ? s.aiPlots[static_cast<size_t>(i)].name : "");
    }
    const size_t scanBytes = static_cast<size_t>(s.nHisAIChanCount) * 4;
    // A block's tail that is part of a scan waits for the next block.
    std::vector<std::byte> buffer(kBlockBytes + scanBytes);
    size_t carried = 0;
    double time = 0.0;
    for (;;) {
        const size_t got = data.Read(std::span(buffer.data() + carried, kBlockBytes));
        const size_t available = carried + got;
        const size_t scans = available / scanBytes;
        for (size_t scan = 0; scan < scans; ++scan) {
            time += s.dHisScanInterval;
            StartRow(out, time, decimal);
            char* at = out.Reserve(static_cast<size_t>(s.nHisAIChanCount) * (1 + kMaxNumberText));
            const std::byte* sample = buffer.data() + scan * scanBytes;
            for (int32_t c = 0; c < s.nHisAIChanCount; ++c, sample += 4) {
                *at++ = '\t';
                const int32_t bits = Int32At(sample);
                if (s.bHisAIAnalog) {
                    float value;
                    std::memcpy(&value, &bits, sizeof value);
                    at = AppendSingle(at, value, decimal);
                } else {
                    at = AppendInt32(at, bits);
                }
            }
            out.Commit(at);
        }
        carried = available - scans * scanBytes;
        std::memmove(buffer.data(), buffer.data() + scans * scanBytes, carried);
        progress.Add(got);
        if (got < kBlockBytes)
            break; // whatever is carried now is an incomplete last scan
    }
    out.Close();
}

void WriteDI(const ReplayState& s, BinaryFile& data, const std::string& path, char decimal, ProgressCounter& progress)
{
    const DIHeader header = ReadDIHeader(data);
    auto mask = [&](int32_t port) {
        return port >= 0 && static_cast<size_t>(port) < s.HisDIPortMask.size()
                   ? s.HisDIPortMask[static_cast<size_t>(port)]
                   : uint8_t{0};
    };
    TextFileWriter out(path);
    out.Append("Time");
    for (int32_t b = 0; b < header.portCount; ++b) {
        const int32_t port = header.portStart + b;
        for (int32_t bit = 0; bit < 8; ++bit)
            if (mask(port) & (1u << bit)) {
                char* at = out.Reserve(2 * kMaxNumberText + 2);
                *at++ = '\t';
                at = AppendInt32(at, port);
                *at++ = ':';
                out.Commit(AppendInt32(at, bit));
            }
    }
    std::vector<std::byte> block(kBlockBytes);
    size_t at = 0, filled = 0;
    bool ended = false;
    // The next port byte, or none once the data ends.
    auto next = [&]() -> int {
        if (at == filled) {
            if (ended)
                return -1;
            filled = data.Read(block);
            ended = filled < block.size();
            at = 0;
            progress.Add(filled);
            if (filled == 0)
                return -1;
        }
        return static_cast<int>(block[at++]);
    };
    double time = 0.0;
    for (int32_t scan = 0; scan < s.nHisScanCount; ++scan) {
        time += s.dHisScanInterval;
        StartRow(out, time, decimal);
        for (int32_t b = 0; b < header.portCount; ++b) {
            const int byte = next();
            if (byte < 0) {
                out.Close(); // the row being written stays as far as the data went
                return;
            }
            const uint8_t shown = mask(header.portStart + b);
            char* p = out.Reserve(16);
            for (int32_t bit = 0; bit < 8; ++bit) {
                if (shown & (1u << bit)) {
                    *p++ = '\t';
                    *p++ = (byte & (1 << bit)) ? '1' : '0';
                }
            }
            out.Commit(p);
        }
    }
    out.Close();
}

// Everything the export made, removed again unless it completes.
class Undo {
public:
    explicit Undo(std::string folder) : folder_(std::move(folder)) {}
    ~Undo()
    {
        if (kept_)
            return;
        for (const std::string& file : files_)
            ::unlink(file.c_str());
        ::rmdir(folder_.c_str());
    }
    const std::string& Add(std::string file) { return files_.emplace_back(std::move(file)); }
    void Keep() { kept_ = true; }

private:
    std::string folder_;
    std::vector<std::string> files_;
    bool kept_ = false;
};

} // namespace

ExportOutcome ExportProject(const ExportRequest& request, const Progress& progress)
{
    ReplayState s;
    ApplyProjectInfo(ReadProjectInfo(request.projectFile), s);
    if (request.ai && !s.bHisAI)
        throw std::invalid_argument("The recording holds no AI data");
    if (request.di && !s.bHisDI)
        throw std::invalid_argument("The recording holds no DI data");

    // Both data files open before anything is made, so a missing one leaves no folder.
    BinaryFile ai, di;
    if (request.ai)
        ai.Open(ResolveDataFile(request.projectFile, s.szHisAIFile), BinaryFile::Mode::ReadOnly);
    if (request.di)
        di.Open(ResolveDataFile(request.projectFile, s.szHisDIFile), BinaryFile::Mode::ReadOnly);
    const uint64_t total = (request.ai ? ai.Size() : 0) + (request.di ? di.Size() : 0);

    if (::mkdir(request.folder.c_str(), 0755) != 0)
        throw CreateFolderError(errno, request.folder);
    Undo undo(request.folder);
    ProgressCounter read(progress, total);
    try {
        if (request.ai)
            WriteAI(s, ai, undo.Add(request.folder + "/AI.xlt"), request.decimal, read);
        if (request.di)
            WriteDI(s, di, undo.Add(request.folder + "/DI.xlt"), request.decimal, read);
    } catch (const Cancelled&) {
        return ExportOutcome::Cancelled;
    }
    undo.Keep();
    return ExportOutcome::Written;
}

} // namespace ondrel
