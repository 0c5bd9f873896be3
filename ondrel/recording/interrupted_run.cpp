#include "ondrel/recording/interrupted_run.h"

#include "ondrel/recording/binary_file.h"
#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/description_writer.h"
#include "ondrel/recording/di_header.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/save_as.h"
#include "ondrel/session/file_error.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel {

namespace {

// A description is small: a few hundred plot records at most.
constexpr uint64_t kMaxDescriptionBytes = 16u << 20;
constexpr size_t kFolderNameLength = 8; // "on" + the six characters mkdtemp fills in

bool IsWorkingFolderName(const char* name)
{
    return std::strlen(name) == kFolderNameLength && std::strncmp(name, "on", 2) == 0;
}

bool IsFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

uint64_t SizeOf(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

std::vector<std::byte> ReadDescription(const std::string& path)
{
    BinaryFile in;
    in.Open(path, BinaryFile::Mode::ReadOnly);
    const uint64_t size = in.Size();
    if (size > kMaxDescriptionBytes)
        throw FileError("The project description is too large to be one", path);
    std::vector<std::byte> bytes(static_cast<size_t>(size));
    bytes.resize(in.Read(bytes));
    return bytes;
}

DIHeader ReadDIHeaderOf(const std::string& path)
{
    BinaryFile in;
    in.Open(path, BinaryFile::Mode::ReadOnly);
    std::byte bytes[DIHeader::kBytes]{};
    return ParseDIHeader(std::span(bytes).first(in.Read(bytes)));
}

// The files a recovered project is made of, each cut to `scans` whole scans.
std::vector<DataFileCopy> DataFiles(const InterruptedRun& run, int64_t scans)
{
    const RecordingFiles names(run.folder);
    const RunDescription& d = run.description.run;
    std::vector<DataFileCopy> files;
    if (d.aiRecorded) {
        const uint64_t record = 4 * static_cast<uint64_t>(std::max(d.aiChanCount, 0));
        files.push_back({d.softRecorded ? names.AIFileName() : names.FAIFileName(),
                         record * static_cast<uint64_t>(scans), "AI.ond"});
    }
    if (d.diRecorded) {
        const DIHeader header = ReadDIHeaderOf(names.DIFileName());
        files.push_back({names.DIFileName(),
                         DIHeader::kBytes + static_cast<uint64_t>(header.portCount) * static_cast<uint64_t>(scans),
                         "DI.ond"});
    }
    return files;
}

// The scans every recorded file holds whole: a kill between the AI and the
// DI record of a tick leaves one file a scan ahead.
int64_t WholeScans(const InterruptedRun& run)
{
    const RecordingFiles names(run.folder);
    const RunDescription& d = run.description.run;
    int64_t scans = kMaxScanCount;
    if (d.aiRecorded) {
        const uint64_t record = 4 * static_cast<uint64_t>(std::max(d.aiChanCount, 0));
        const uint64_t size = SizeOf(d.softRecorded ? names.AIFileName() : names.FAIFileName());
        scans = record == 0 ? 0 : std::min<int64_t>(scans, static_cast<int64_t>(size / record));
    }
    if (d.diRecorded) {
        const DIHeader header = ReadDIHeaderOf(names.DIFileName());
        const uint64_t size = SizeOf(names.DIFileName());
        scans = std::min<int64_t>(scans, static_cast<int64_t>((size - DIHeader::kBytes) / header.portCount));
    }
    return d.aiRecorded || d.diRecorded ? scans : 0;
}

// Seconds of the file's last modification, to the nanosecond the file system keeps.
std::optional<double> ModifiedAt(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<double>(info.st_mtim.tv_sec) + static_cast<double>(info.st_mtim.tv_nsec) * 1e-9;
}

// A run that ended before its first progress write kept no interval. It is
// measured as a polled run's is, the time from the start of the run (the lock
// file's stamp) to the last write of its data over the scans; when that
// cannot be told, the shortest polling period, so that the project still
// opens. Zero would make the saved project one replay refuses.
double MeasuredInterval(const InterruptedRun& run)
{
    constexpr double kShortestPeriod = 0.001;
    const std::optional<double> start = ModifiedAt(run.folder + "/" + RunLock::kFileName);
    std::optional<double> last;
    for (const DataFileCopy& file : DataFiles(run, run.wholeScans))
        if (const auto at = ModifiedAt(file.source))
            last = std::max(last.value_or(*at), *at);
    if (!start || !last || run.wholeScans <= 0)
        return kShortestPeriod;
    const double interval = (*last - *start) / run.wholeScans;
    return std::isfinite(interval) && interval > 0 ? interval : kShortestPeriod;
}

void RemoveFolder(const std::string& folder, RunLock& lock) noexcept
{
    RecordingFiles files(folder);
    files.Shutdown(); // the four files and the folder
    lock.ReleaseAndRemove();
    ::rmdir(folder.c_str()); // now that the lock file is gone too
}

} // namespace

std::optional<InterruptedRun> ReadInterruptedRun(const std::string& folder, RunLock& lock)
{
    const std::vector<std::byte> bytes = ReadDescription(RecordingFiles(folder).ProjectFileName());
    if (bytes.empty())
        return std::nullopt;
    InterruptedRun run;
    run.folder = folder;
    run.description = ParseProjectDescription(bytes);
    run.description.paths.reset();
    run.startTime = RunLock::RunStart(folder);
    run.lock = std::move(lock);
    run.wholeScans = static_cast<int32_t>(WholeScans(run));
    for (const DataFileCopy& file : DataFiles(run, run.wholeScans))
        run.dataBytes += file.length;
    if (!run.description.end)
        run.description.end = RunEnd{run.wholeScans, MeasuredInterval(run)};
    return run;
}

std::vector<InterruptedRun> FindInterruptedRuns(std::span<const std::string> parents)
{
    std::vector<InterruptedRun> runs;
    for (const std::string& parent : parents) {
        DIR* dir = ::opendir(parent.c_str());
        if (dir == nullptr)
            continue;
        while (const dirent* entry = ::readdir(dir)) {
            if (!IsWorkingFolderName(entry->d_name))
                continue;
            const std::string folder = parent + "/" + entry->d_name;
            // Without a lock file the folder's program cannot be told alive or
            // gone: it is left alone.
            if (!IsFile(RecordingFiles(folder).ProjectFileName()) || !IsFile(folder + "/" + RunLock::kFileName))
                continue;
            try {
                RunLock lock;
                if (!lock.TryAcquire(folder))
                    continue; // its program is alive
                if (auto run = ReadInterruptedRun(folder, lock))
                    runs.push_back(std::move(*run));
                else
                    RemoveFolder(folder, lock);
            } catch (const std::exception&) {
                // Not readable as a recording: not ours to touch.
            }
        }
        ::closedir(dir);
    }
    return runs;
}

void SaveInterruptedRun(const InterruptedRun& run, const std::string& target)
{
    std::vector<std::byte> description = EncodeRunDescription(run.description.run);
    const RunEnd end{run.wholeScans, run.description.end ? run.description.end->scanInterval : MeasuredInterval(run)};
    const std::vector<std::byte> fields13And14 = EncodeRunEnd(end);
    description.insert(description.end(), fields13And14.begin(), fields13And14.end());
    PublishProject(target, run.folder, DataFiles(run, run.wholeScans), std::move(description));
}

void DiscardInterruptedRun(InterruptedRun& run) noexcept { RemoveFolder(run.folder, run.lock); }

} // namespace ondrel
