#include "ondrel/recording/interrupted_run.h"

#include "ondrel/recording/binary_file.h"
#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/description_writer.h"
#include "ondrel/recording/di_header.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/save_as.h"
#include "ondrel/common/file_error.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel {

namespace {

// A description is small: a few hundred plot records at most.
constexpr uint64_t kMaxDescriptionBytes = 16u << 20;
constexpr size_t kFolderNameLength = 8; // "on" + six letters or digits
// A kept interval longer than a day is no polling period: it is measured instead.
constexpr double kLongestInterval = 86400.0;

bool IsWorkingFolderName(const char* name)
{
    return std::strlen(name) == kFolderNameLength && std::strncmp(name, "on", 2) == 0;
}

// A working folder this user made: a folder (not a link), owned by this user,
// that nobody else may enter. Anything else may be another user's plant.
bool IsOwnWorkingFolder(const std::string& folder)
{
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
           && (info.st_mode & 07777) == 0700;
}

bool IsFile(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

uint64_t SizeOf(const std::string& path)
{
    BinaryFile in;
    in.Open(path, BinaryFile::Mode::ReadRegular);
    return in.Size();
}

std::vector<std::byte> ReadDescription(const std::string& path)
{
    BinaryFile in;
    in.Open(path, BinaryFile::Mode::ReadRegular);
    const uint64_t size = in.Size();
    if (size > kMaxDescriptionBytes)
        throw FileError("The project description is too large to be one", path);
    std::vector<std::byte> bytes(static_cast<size_t>(size));
    bytes.resize(in.Read(bytes));
    return bytes;
}

// The DI header, or nothing when the file is too short to hold one (a run
// cut off before its header reached the disk has no scan).
std::optional<DIHeader> ReadDIHeaderOf(const std::string& path)
{
    BinaryFile in;
    in.Open(path, BinaryFile::Mode::ReadRegular);
    std::byte bytes[DIHeader::kBytes]{};
    const size_t got = in.Read(bytes);
    if (got < DIHeader::kBytes)
        return std::nullopt;
    return ParseDIHeader(bytes);
}

uint64_t AIRecordBytes(const RunDescription& d) { return 4 * static_cast<uint64_t>(std::max(d.aiChanCount, 0)); }

// The files a recovered project is made of, each cut to `scans` whole scans.
std::vector<DataFileCopy> DataFiles(const InterruptedRun& run, int64_t scans)
{
    const RecordingFiles names(run.folder);
    const RunDescription& d = run.description.run;
    std::vector<DataFileCopy> files;
    if (d.aiRecorded)
        files.push_back({d.softRecorded ? names.AIFileName() : names.FAIFileName(),
                         AIRecordBytes(d) * static_cast<uint64_t>(scans), "AI.ond"});
    if (d.diRecorded) {
        const auto header = ReadDIHeaderOf(names.DIFileName());
        const uint64_t ports = header ? static_cast<uint64_t>(header->portCount) : 0;
        files.push_back({names.DIFileName(), DIHeader::kBytes + ports * static_cast<uint64_t>(scans), "DI.ond"});
    }
    return files;
}

// The scans every recorded file holds whole: a kill between the AI and the
// DI record of a tick leaves one file a scan ahead.
int64_t WholeScans(const InterruptedRun& run)
{
    const RecordingFiles names(run.folder);
    const RunDescription& d = run.description.run;
    if (!d.aiRecorded && !d.diRecorded)
        return 0;
    int64_t scans = kMaxScanCount;
    if (d.aiRecorded) {
        const uint64_t record = AIRecordBytes(d);
        const uint64_t size = SizeOf(d.softRecorded ? names.AIFileName() : names.FAIFileName());
        scans = record == 0 ? 0 : std::min<int64_t>(scans, static_cast<int64_t>(size / record));
    }
    if (d.diRecorded) {
        const auto header = ReadDIHeaderOf(names.DIFileName());
        const uint64_t size = SizeOf(names.DIFileName());
        scans = !header ? 0
                        : std::min<int64_t>(scans, static_cast<int64_t>((size - DIHeader::kBytes)
                                                                        / static_cast<uint64_t>(header->portCount)));
    }
    return scans;
}

// Seconds of the file's last modification, to the nanosecond the file system keeps.
std::optional<double> ModifiedAt(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<double>(info.st_mtim.tv_sec) + static_cast<double>(info.st_mtim.tv_nsec) * 1e-9;
}

bool IsUsableInterval(double seconds) { return std::isfinite(seconds) && seconds > 0 && seconds <= kLongestInterval; }

// The interval of a run that kept none, or none replay can use (a failed
// Start leaves 0.0). It is measured as a polled run's is, the time from the
// start of the run (the lock file's stamp) to the last write of its data over
// the scans; when that cannot be told, the shortest polling period, so that
// the project still opens.
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
    return IsUsableInterval(interval) ? interval : kShortestPeriod;
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
    run.wholeScans = static_cast<int32_t>(WholeScans(run));
    if (run.wholeScans <= 0)
        return std::nullopt;
    run.lock = std::move(lock);
    for (const DataFileCopy& file : DataFiles(run, run.wholeScans))
        run.dataBytes += file.length;
    const auto& kept = run.description.end;
    const double interval = kept && IsUsableInterval(kept->scanInterval) ? kept->scanInterval : MeasuredInterval(run);
    run.description.end = RunEnd{run.wholeScans, interval};
    return run;
}

std::vector<InterruptedRun> FindInterruptedRuns(std::span<const std::string> parents)
{
    std::vector<InterruptedRun> runs;
    for (const std::string& parent : parents) {
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(parent.c_str()), ::closedir);
        if (!dir)
            continue;
        while (const dirent* entry = ::readdir(dir.get())) {
            if (!IsWorkingFolderName(entry->d_name))
                continue;
            const std::string folder = parent + "/" + entry->d_name;
            // Without a lock file the folder's program cannot be told alive or
            // gone: it is left alone.
            if (!IsOwnWorkingFolder(folder) || !IsFile(RecordingFiles(folder).ProjectFileName())
                || !IsFile(folder + "/" + RunLock::kFileName))
                continue;
            try {
                RunLock lock;
                if (!lock.TryAcquire(folder))
                    continue; // its program is alive
                if (lock.RunSaved()) {
                    RemoveWorkingFolder(folder, lock); // saved before its program ended
                    continue;
                }
                if (auto run = ReadInterruptedRun(folder, lock))
                    runs.push_back(std::move(*run));
                else
                    RemoveWorkingFolder(folder, lock); // no whole scan to offer
            } catch (const std::exception&) {
                // Not readable as a recording: not ours to touch.
            }
        }
    }
    return runs;
}

void SaveInterruptedRun(const InterruptedRun& run, const std::string& target)
{
    std::vector<std::byte> description = EncodeRunDescription(run.description.run);
    const std::vector<std::byte> fields13And14 = EncodeRunEnd(*run.description.end);
    description.insert(description.end(), fields13And14.begin(), fields13And14.end());
    PublishProject(target, run.folder, DataFiles(run, run.wholeScans), std::move(description));
    try {
        RunLock::MarkRunSaved(run.folder);
    } catch (const FileError&) {
        // Saved all the same; the folder is discarded next.
    }
}

void DiscardInterruptedRun(InterruptedRun& run) noexcept { RemoveWorkingFolder(run.folder, run.lock); }

} // namespace ondrel
