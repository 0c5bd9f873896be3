#include "crash/file_op_recorder.h"

#include "ondrel/recording/file_calls.h"

#include <cerrno>
#include <map>
#include <mutex>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel::testing {
namespace {

// The calls may come from a polling or a card thread: one at a time, so the
// log is in the order the system saw them.
std::recursive_mutex mutex;
FileCalls real{};
std::string root;
std::vector<FileOp> ops;
std::map<int, int> handleOfFd;         // descriptors of files under the root
std::map<int, std::string> folderOfFd; // descriptors of folders under the root
int nextHandle = 0;

FileOp Step(FileOp::Kind kind, std::string path = {}, std::string target = {})
{
    FileOp op;
    op.kind = kind;
    op.path = std::move(path);
    op.target = std::move(target);
    return op;
}

bool Inside(const char* path)
{
    const std::string_view p(path);
    return p == root || (p.starts_with(root) && p.size() > root.size() && p[root.size()] == '/');
}

void Forget(int fd)
{
    handleOfFd.erase(fd);
    folderOfFd.erase(fd);
}

int Open(const char* path, int flags, mode_t mode)
{
    const std::lock_guard lock(mutex);
    const int fd = real.open(path, flags, mode);
    if (fd < 0)
        return fd;
    const int error = errno;
    Forget(fd);
    struct stat info {};
    if (Inside(path) && ::fstat(fd, &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            folderOfFd[fd] = path;
        } else {
            handleOfFd[fd] = nextHandle;
            FileOp op = Step(FileOp::Kind::Open, path);
            op.handle = nextHandle++;
            op.flags = flags;
            ops.push_back(std::move(op));
        }
    }
    errno = error;
    return fd;
}

ssize_t Write(int fd, const void* data, size_t size)
{
    const std::lock_guard lock(mutex);
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    const ssize_t written = real.write(fd, data, size);
    const auto handle = handleOfFd.find(fd);
    if (written > 0 && handle != handleOfFd.end()) {
        FileOp op = Step(FileOp::Kind::Write);
        op.handle = handle->second;
        op.offset = static_cast<uint64_t>(at);
        const auto* bytes = static_cast<const std::byte*>(data);
        op.bytes.assign(bytes, bytes + written);
        ops.push_back(std::move(op));
    }
    return written;
}

int Truncate(int fd, off_t size)
{
    const std::lock_guard lock(mutex);
    const int result = real.ftruncate(fd, size);
    if (const auto handle = handleOfFd.find(fd); result == 0 && handle != handleOfFd.end()) {
        FileOp op = Step(FileOp::Kind::Truncate);
        op.handle = handle->second;
        op.offset = static_cast<uint64_t>(size);
        ops.push_back(std::move(op));
    }
    return result;
}

void RecordSync(int fd)
{
    if (const auto folder = folderOfFd.find(fd); folder != folderOfFd.end()) {
        ops.push_back(Step(FileOp::Kind::SyncFolder, folder->second));
    } else if (const auto handle = handleOfFd.find(fd); handle != handleOfFd.end()) {
        FileOp op = Step(FileOp::Kind::SyncFile);
        op.handle = handle->second;
        ops.push_back(std::move(op));
    }
}

int Sync(int fd)
{
    const std::lock_guard lock(mutex);
    const int result = real.fsync(fd);
    if (result == 0)
        RecordSync(fd);
    return result;
}

int DataSync(int fd)
{
    const std::lock_guard lock(mutex);
    const int result = real.fdatasync(fd);
    if (result == 0)
        RecordSync(fd);
    return result;
}

int Rename(const char* from, const char* to, unsigned int flags)
{
    const std::lock_guard lock(mutex);
    const int result = real.rename(from, to, flags);
    if (result == 0 && Inside(from)) {
        FileOp op = Step(FileOp::Kind::Rename, from, to);
        op.renameFlags = flags;
        ops.push_back(std::move(op));
    }
    return result;
}

int RecordByName(FileOp::Kind kind, const char* path, int result)
{
    if (result == 0 && Inside(path))
        ops.push_back(Step(kind, path));
    return result;
}

int Unlink(const char* path)
{
    const std::lock_guard lock(mutex);
    return RecordByName(FileOp::Kind::Unlink, path, real.unlink(path));
}

int MakeFolder(const char* path, mode_t mode)
{
    const std::lock_guard lock(mutex);
    return RecordByName(FileOp::Kind::MakeFolder, path, real.mkdir(path, mode));
}

int RemoveFolder(const char* path)
{
    const std::lock_guard lock(mutex);
    return RecordByName(FileOp::Kind::RemoveFolder, path, real.rmdir(path));
}

} // namespace

FileOpRecorder::FileOpRecorder(const std::string& folder)
{
    const std::lock_guard lock(mutex);
    root = folder;
    ops.clear();
    handleOfFd.clear();
    folderOfFd.clear();
    nextHandle = 0;
    real = SetCalls(SystemCalls());
    FileCalls recording = real;
    recording.open = Open;
    recording.write = Write;
    recording.ftruncate = Truncate;
    recording.fsync = Sync;
    recording.fdatasync = DataSync;
    recording.rename = Rename;
    recording.unlink = Unlink;
    recording.mkdir = MakeFolder;
    recording.rmdir = RemoveFolder;
    SetCalls(recording);
}

FileOpRecorder::~FileOpRecorder()
{
    const std::lock_guard lock(mutex);
    SetCalls(real);
}

size_t FileOpRecorder::Count() const
{
    const std::lock_guard lock(mutex);
    return ops.size();
}

std::vector<FileOp> FileOpRecorder::Ops() const
{
    const std::lock_guard lock(mutex);
    return ops;
}

} // namespace ondrel::testing
