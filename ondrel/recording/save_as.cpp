#include "ondrel/recording/save_as.h"

#include "ondrel/recording/binary_file.h"
#include "ondrel/recording/description_writer.h"
#include "ondrel/recording/file_calls.h"
#include "ondrel/recording/run_lock.h"
#include "ondrel/recording/unique_name.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/file_paths.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel {

namespace {

constexpr const char* kDescriptionName = "Project.onp";

std::vector<std::byte> ReadAll(const std::string& path)
{
    BinaryFile in;
    in.Open(path, BinaryFile::Mode::ReadRegular);
    std::vector<std::byte> bytes(static_cast<size_t>(in.Size()));
    if (in.Read(bytes) != bytes.size())
        throw FileError("The file changed while it was read", path);
    return bytes;
}

uint64_t FileSize(const std::string& path)
{
    BinaryFile in;
    in.Open(path, BinaryFile::Mode::ReadRegular);
    return in.Size();
}

// The same folder, however it is spelt (links, "..", a second mount).
bool SameFolder(const std::string& a, const std::string& b)
{
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

// The names in `folder`, "." and ".." left out; nothing when it cannot be listed.
std::optional<std::set<std::string>> Entries(const std::string& folder)
{
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing)
        return std::nullopt;
    std::set<std::string> names;
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.insert(name);
    }
    return names;
}

// A project folder holds these and nothing else.
bool OnlyProjectFiles(const std::set<std::string>& names)
{
    return std::all_of(names.begin(), names.end(), [](const std::string& name) {
        return name == kDescriptionName || name == "AI.ond" || name == "DI.ond";
    });
}

void CopyPrefix(const DataFileCopy& copy, BinaryFile& out, ProgressCounter& progress)
{
    BinaryFile in;
    in.Open(copy.source, BinaryFile::Mode::ReadRegular);
    std::vector<std::byte> block(static_cast<size_t>(std::min<uint64_t>(copy.length, 1 << 20)));
    for (uint64_t left = copy.length; left > 0;) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
        const size_t got = in.Read(std::span(block).first(want));
        if (got == 0)
            throw FileError("The file changed while it was read", copy.source);
        out.Write(std::span(block).first(got));
        left -= got;
        progress.Add(got);
    }
}

void RemoveQuietly(const std::string& path) noexcept { Calls().unlink(path.c_str()); }

// Writes one file of the project whole into `out`, a file the caller has just
// created (so nothing planted under its name is ever opened), and hands it to
// the disk.
void WriteNewFile(BinaryFile& out, const DataFileCopy* copy, std::span<const std::byte> bytes,
                  ProgressCounter& progress)
{
    if (copy != nullptr)
        CopyPrefix(*copy, out, progress);
    out.Write(bytes);
    out.Flush();
    out.Close();
}

// The files of the new project, in the order they are written: the data,
// then the description.
struct ProjectFile {
    std::string name;
    const DataFileCopy* copy = nullptr;
    std::span<const std::byte> bytes;
};

std::vector<ProjectFile> FilesOf(std::span<const DataFileCopy> data, std::span<const std::byte> description)
{
    std::vector<ProjectFile> files;
    for (const DataFileCopy& copy : data)
        files.push_back({copy.name, &copy, {}});
    files.push_back({kDescriptionName, nullptr, description});
    return files;
}

// A folder this Save As made, removed with the files named in it unless kept.
class MadeFolder {
public:
    explicit MadeFolder(std::string folder) : folder_(std::move(folder)) {}
    MadeFolder(const MadeFolder&) = delete;
    MadeFolder& operator=(const MadeFolder&) = delete;
    ~MadeFolder()
    {
        if (folder_.empty())
            return;
        for (const char* name : {kDescriptionName, "AI.ond", "DI.ond"})
            RemoveQuietly(folder_ + "/" + name);
        Calls().rmdir(folder_.c_str());
    }
    void Keep() { folder_.clear(); }

private:
    std::string folder_;
};

std::string MakeFolderBeside(const std::string& folder)
{
    return MakeUniquelyNamed(FolderOf(folder) + "/." + FileNameOf(folder) + ".saving-", [](const std::string& name) {
        return Calls().mkdir(name.c_str(), 0777) == 0 ? 0 : errno;
    });
}

// The whole project at once: its files are written into a new folder beside
// `folder`, which then takes `folder`'s place in one rename (swapped with an
// earlier project's, which goes afterwards). A power loss leaves the earlier
// project or the new one, never a mix. False, with nothing changed, when the
// file system cannot swap folders.
bool ReplaceFolder(const std::string& folder, const struct stat* existing, std::span<const ProjectFile> files,
                   ProgressCounter& progress)
{
    const std::string temporary = MakeFolderBeside(folder);
    MadeFolder made(temporary);
    for (const ProjectFile& file : files) {
        BinaryFile out;
        out.Open(temporary + "/" + file.name, BinaryFile::Mode::CreateNew);
        WriteNewFile(out, file.copy, file.bytes, progress);
    }
    SyncFolder(temporary);
    if (existing != nullptr && ::chmod(temporary.c_str(), existing->st_mode & 07777) != 0)
        throw FileError(errno, temporary);

    const bool swap = existing != nullptr && !Entries(folder).value_or(std::set<std::string>{}).empty();
    if (Calls().rename(temporary.c_str(), folder.c_str(), swap ? RENAME_EXCHANGE : 0) != 0) {
        if (swap && (errno == EINVAL || errno == ENOSYS))
            return false;
        throw FileError(errno, folder);
    }
    if (!swap)
        made.Keep(); // the folder is the project now; `temporary` is no more
    SyncFolder(FolderOf(folder));
    return true; // `made` now holds the earlier project, and takes it away
}

// File by file, into a folder that holds other things too: each file lands
// under a name made here and is renamed into place, the description last.
void ReplaceFileByFile(const std::string& folder, bool exists, std::span<const ProjectFile> files,
                       ProgressCounter& progress)
{
    if (!exists && Calls().mkdir(folder.c_str(), 0777) != 0)
        throw FileError(errno, folder);
    MadeFolder made(exists ? std::string() : folder);
    std::vector<std::string> temporaries;
    struct Cleanup {
        std::vector<std::string>& paths;
        ~Cleanup()
        {
            for (const std::string& path : paths)
                if (!path.empty())
                    RemoveQuietly(path);
        }
    } cleanup{temporaries};
    for (const ProjectFile& file : files) {
        BinaryFile out;
        temporaries.push_back(
            MakeUniquelyNamed(folder + "/." + file.name + ".partial-", [&out](const std::string& name) {
                try {
                    out.Open(name, BinaryFile::Mode::CreateNew);
                    return 0;
                } catch (const FileError& failure) {
                    return failure.errorNumber() != 0 ? failure.errorNumber() : EIO;
                }
            }));
        WriteNewFile(out, file.copy, file.bytes, progress);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string target = folder + "/" + files[i].name;
        if (Calls().rename(temporaries[i].c_str(), target.c_str(), 0) != 0)
            throw FileError(errno, target);
        temporaries[i].clear();
    }
    SyncFolder(folder);
    made.Keep();
}

} // namespace

void PublishProject(const std::string& folder, const std::string& sourceFolder, std::span<const DataFileCopy> data,
                    std::vector<std::byte> description, const Progress& progress)
{
    if (SameFolder(folder, sourceFolder))
        throw FileError("This is the folder the recording is made in; choose another folder", folder);
    struct stat existing {};
    const bool exists = ::stat(folder.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        throw FileError(errno, folder);
    if (exists && !S_ISDIR(existing.st_mode))
        throw FileError(ENOTDIR, folder);
    if (exists && existing.st_uid != ::geteuid())
        throw FileError(kOtherUsersFolder, folder);

    const std::vector<std::byte> paths = EncodeSavedPaths({folder + "/AI.ond", folder + "/DI.ond"});
    description.insert(description.end(), paths.begin(), paths.end());
    const std::vector<ProjectFile> files = FilesOf(data, description);
    uint64_t total = 0;
    for (const DataFileCopy& copy : data)
        total += copy.length;

    struct stat link {};
    const bool wholeFolder = !exists
                             || (::lstat(folder.c_str(), &link) == 0 && S_ISDIR(link.st_mode)
                                 && OnlyProjectFiles(Entries(folder).value_or(std::set<std::string>{"?"})));
    if (wholeFolder) {
        ProgressCounter copied(progress, total);
        if (ReplaceFolder(folder, exists ? &existing : nullptr, files, copied))
            return;
    }
    ProgressCounter copied(progress, total);
    ReplaceFileByFile(folder, exists, files, copied);
}

void SaveRunAs(const SavedRun& run, const std::string& folder, const Progress& progress)
{
    std::vector<DataFileCopy> data;
    if (run.aiSaved)
        data.push_back({run.aiFile, FileSize(run.aiFile), "AI.ond"});
    if (run.faiSaved)
        data.push_back({run.faiFile, FileSize(run.faiFile), "AI.ond"});
    if (run.diSaved)
        data.push_back({run.diFile, FileSize(run.diFile), "DI.ond"});
    const std::string workingFolder = FolderOf(run.projectFile);
    PublishProject(folder, workingFolder, data, ReadAll(run.projectFile), progress);
    try {
        RunLock::MarkRunSaved(workingFolder);
    } catch (const FileError&) {
        // The project is saved all the same; after a crash the run would only
        // be offered once more.
    }
}

} // namespace ondrel
