#include "ondrel/history/regular_file.h"

#include "ondrel/common/file_error.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ondrel {

int OpenRegularFile(const std::string& path, LastLink link, uint64_t& size)
{
    const int noFollow = link == LastLink::Refuse ? O_NOFOLLOW : 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | noFollow);
    if (fd < 0) {
        if (errno == ELOOP && link == LastLink::Refuse)
            throw FileError("A link is not read as a recording's file", path);
        throw FileError(errno, path);
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        throw FileError(error, path);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        throw FileError("Not a regular file (a folder, device or pipe is never read)", path);
    }
    size = static_cast<uint64_t>(status.st_size);
    return fd;
}

RegularFile::~RegularFile() { Close(); }

RegularFile::RegularFile(RegularFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), size_(std::exchange(other.size_, 0)),
      position_(std::exchange(other.position_, 0))
{}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        size_ = std::exchange(other.size_, 0);
        position_ = std::exchange(other.position_, 0);
    }
    return *this;
}

void RegularFile::Open(const std::string& path, LastLink link)
{
    uint64_t size = 0;
    const int fd = OpenRegularFile(path, link, size);
    Close();
    fd_ = fd;
    path_ = path;
    size_ = size;
    position_ = 0;
}

RegularFile RegularFile::Duplicate() const
{
    RegularFile copy;
    if (fd_ < 0)
        return copy;
    const int fd = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        throw FileError(errno, path_);
    copy.fd_ = fd;
    copy.path_ = path_;
    copy.size_ = size_;
    return copy;
}

void RegularFile::Close() noexcept
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    size_ = 0;
    position_ = 0;
}

FileStamp RegularFile::Stamp() const
{
    if (fd_ < 0)
        return {};
    struct stat status {};
    if (::fstat(fd_, &status) != 0)
        throw FileError(errno, path_);
    return {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino), size_,
            static_cast<int64_t>(status.st_mtim.tv_sec), static_cast<int64_t>(status.st_mtim.tv_nsec)};
}

void RegularFile::Seek(uint64_t offset) noexcept { position_ = std::min(offset, size_); }

size_t RegularFile::Read(std::span<std::byte> bytes)
{
    if (fd_ < 0)
        return 0;
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(bytes.size(), size_ - position_));
    size_t got = 0;
    while (got < wanted) {
        const ssize_t n = ::pread(fd_, bytes.data() + got, wanted - got, static_cast<off_t>(position_ + got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errno, path_);
        }
        if (n == 0)
            break; // the file shrank since it was opened
        got += static_cast<size_t>(n);
    }
    position_ += got;
    return got;
}

} // namespace ondrel
