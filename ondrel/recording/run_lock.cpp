#include "ondrel/recording/run_lock.h"

#include "ondrel/session/file_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ondrel {

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

bool RunLock::TryAcquire(const std::string& folder)
{
    const std::string path = folder + "/" + kFileName;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        throw FileError(errno, path);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
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
    ::unlink(path_.c_str());
    ::close(std::exchange(fd_, -1));
}

void RunLock::MarkRunStart() noexcept
{
    if (fd_ >= 0)
        ::futimens(fd_, nullptr);
}

std::optional<std::time_t> RunLock::RunStart(const std::string& folder)
{
    struct stat info {};
    if (::stat((folder + "/" + kFileName).c_str(), &info) != 0)
        return std::nullopt;
    return info.st_mtime;
}

} // namespace ondrel
