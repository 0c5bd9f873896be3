#include "ondrel/recording/save_as.h"
#include "ondrel/recording/binary_file.h"
#include "ondrel/recording/description_writer.h"
#include "ondrel/session/file_error.h"
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel {

namespace {

constexpr const char* kDescriptionName = "Project.onp";

std::vector<std::byte> ReadAll(const std::string& path)
{
    BinaryFile in;
    in.Open(path, BinaryFile::Mode::ReadOnly);
    std::vector<std::byte> bytes(static_cast<size_t>(in.Size()));
    if (in.Read(bytes) != bytes.size())
        throw FileError("The file changed while it was read", path);
    return bytes;
}

uint64_t FileSize(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw FileError(errno, path);
    return static_cast<uint64_t>(info.st_size);
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, std::max<size_t>(slash, 1));
}

// The same folder, however it is spelt (links, "..", a second mount).
bool SameFolder(const std::string& a, const std::string& b)
{
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw FileError(errno, folder);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0 && error != EINVAL)
        throw FileError(error, folder);
}

// The temporary files of one Save As; whatever is left of them at the end,
// because something failed, is removed.
class PartialFiles {
public:
    ~PartialFiles()
    {
        for (const std::string& path : paths_)
            std::remove(path.c_str());
    }
    std::string Add(const std::string& target)
    {
        paths_.push_back(target + ".partial");
        return paths_.back();
    }
    void Publish(size_t index, const std::string& target)
    {
        if (std::rename(paths_[index].c_str(), target.c_str()) != 0)
            throw FileError(errno, target);
        paths_[index].clear();
    }

private:
    std::vector<std::string> paths_;
};

void CopyPrefix(const DataFileCopy& copy, BinaryFile& out, ProgressCounter& progress)
{
    BinaryFile in;
    in.Open(copy.source, BinaryFile::Mode::ReadOnly);
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

void WriteDurably(const std::string& path, const DataFileCopy* copy, std::span<const std::byte> bytes,
                  ProgressCounter& progress)
{
    BinaryFile out;
    out.Open(path, BinaryFile::Mode::Truncate);
    if (copy != nullptr)
        CopyPrefix(*copy, out, progress);
    out.Write(bytes);
    out.Flush();
    out.Close();
}

} // namespace

// A folder this Save As made goes again unless the save completes.
class MadeFolder {
public:
    explicit MadeFolder(const std::string& folder)
    {
        if (::mkdir(folder.c_str(), 0777) == 0)
            made_ = folder;
        else if (errno != EEXIST)
            throw FileError(errno, folder);
    }
    ~MadeFolder()
    {
        if (!made_.empty())
            ::rmdir(made_.c_str());
    }
    void Keep() { made_.clear(); }

private:
    std::string made_;
};

void PublishProject(const std::string& folder, const std::string& sourceFolder, std::span<const DataFileCopy> data,
                    std::vector<std::byte> description, const Progress& progress)
{
    MadeFolder made(folder);
    if (SameFolder(folder, sourceFolder))
        throw FileError("This is the folder the recording is made in; choose another folder", folder);

    const std::string aiTarget = folder + "/AI.ond";
    const std::string diTarget = folder + "/DI.ond";
    const std::vector<std::byte> paths = EncodeSavedPaths({aiTarget, diTarget});
    description.insert(description.end(), paths.begin(), paths.end());

    uint64_t total = 0;
    for (const DataFileCopy& copy : data)
        total += copy.length;
    ProgressCounter copied(progress, total);
    {
        PartialFiles partial;
        for (const DataFileCopy& copy : data)
            WriteDurably(partial.Add(folder + "/" + copy.name), &copy, {}, copied);
        WriteDurably(partial.Add(folder + "/" + kDescriptionName), nullptr, description, copied);

        for (size_t i = 0; i < data.size(); ++i)
            partial.Publish(i, folder + "/" + data[i].name);
        partial.Publish(data.size(), folder + "/" + kDescriptionName);
    }
    SyncFolder(folder);
    made.Keep();
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
    PublishProject(folder, FolderOf(run.projectFile), data, ReadAll(run.projectFile), progress);
}

} // namespace ondrel
