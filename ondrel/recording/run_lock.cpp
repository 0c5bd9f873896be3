#include "ondrel/recording/run_lock.h"

#include "ondrel/recording/file_calls.h"
#include "ondrel/recording/safe_open.h"
#include "ondrel/common/file_error.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ondrel {
namespace {

constexpr std::string_view kSavedMark = "saved\n";

std::string PathIn(const std::string& folder) { return folder + "/" + RunLock::kFileName; }

} // namespace

RunLock::~RunLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

RunLock::RunLock(RunLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

RunLock& RunLock::operator=(RunLock&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

bool RunLock::Create(const std::string& folder)
{
    const std::string path = PathIn(folder);
    const int fd = Calls().open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw FileError(errno, path);
    return Lock(fd, path);
}

bool RunLock::TryAcquire(const std::string& folder)
{
    const std::string path = PathIn(folder);
    int fd = -1;
    try {
        fd = OpenRegularFile(path, O_RDWR);
    } catch (const FileError&) {
        return false; // gone with its folder, or nothing a program of ours made
    }
    return Lock(fd, path);
}

bool RunLock::Lock(int fd, const std::string& path)
{
    if (Calls().flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    path_ = path;
    return true;
}

void RunLock::ReleaseAndRemove() noexcept
{
    if (fd_ < 0)
        return;
    // Removed while still held, so no other program takes a lock on a file
    // that is about to vanish.
    Calls().unlink(path_.c_str());
    ::close(std::exchange(fd_, -1));
}

void RunLock::MarkRunStart()
{
    if (fd_ < 0)
        throw FileError(EBADF, path_);
    // The mark of an earlier run saved must be gone from the disk before this
    // run's data replace that run's: else a crash would hide the new run.
    if (Calls().ftruncate(fd_, 0) != 0 || (Calls().fdatasync(fd_) != 0 && errno != EINVAL))
        throw FileError(errno, path_);
    ::futimens(fd_, nullptr);
}

bool RunLock::RunSaved() const
{
    struct stat info {};
    return fd_ >= 0 && ::fstat(fd_, &info) == 0 && info.st_size > 0;
}

void RunLock::MarkRunSaved(const std::string& folder)
{
    const std::string path = PathIn(folder);
    const int fd = OpenRegularFile(path, O_WRONLY);
    struct stat before {};
    ::fstat(fd, &before);
    const bool written =
        Calls().write(fd, kSavedMark.data(), kSavedMark.size()) == static_cast<ssize_t>(kSavedMark.size())
        && (Calls().fdatasync(fd) == 0 || errno == EINVAL);
    const int error = errno;
    // The stamp stays the run's start.
    const timespec stamp[2] = {{0, UTIME_OMIT}, before.st_mtim};
    ::futimens(fd, stamp);
    ::close(fd);
    if (!written)
        throw FileError(error, path);
}

std::optional<std::time_t> RunLock::RunStart(const std::string& folder)
{
    struct stat info {};
    if (::lstat(PathIn(folder).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return info.st_mtime;
}

} // namespace ondrel
