#include "ondrel/recording/binary_file.h"

#include "ondrel/recording/file_calls.h"
#include "ondrel/recording/safe_open.h"
#include "ondrel/common/file_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ondrel {

BinaryFile::~BinaryFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)),
      unsubmittedBytes_(std::exchange(other.unsubmittedBytes_, 0))
{}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        unsubmittedBytes_ = std::exchange(other.unsubmittedBytes_, 0);
    }
    return *this;
}

void BinaryFile::Open(const std::string& path, Mode mode)
{
    Close();
    // What is written never goes through a link at the last component: the
    // folders written are the user's own, and a link there is nothing the
    // program made.
    const int writable = O_RDWR | O_NOFOLLOW | O_CREAT;
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::ReadWrite:
        flags |= writable;
        break;
    case Mode::ReadOnly:
        flags |= O_RDONLY;
        break;
    case Mode::ReadRegular:
        fd_ = OpenRegularFile(path, O_RDONLY);
        path_ = path;
        return;
    case Mode::Truncate:
        flags |= writable | O_TRUNC;
        break;
    case Mode::CreateNew:
        flags |= writable | O_EXCL;
        break;
    }
    const int fd = Calls().open(path.c_str(), flags, 0666);
    if (fd < 0)
        throw FileError(errno, path);
    fd_ = fd;
    path_ = path;
}

void BinaryFile::Close()
{
    if (fd_ < 0)
        return;
    const int fd = std::exchange(fd_, -1);
    // After close() the descriptor is gone whatever it reports; EINTR is no loss.
    if (::close(fd) != 0 && errno != EINTR)
        Fail(errno);
}

uint64_t BinaryFile::Size() const
{
    RequireOpen();
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        Fail(errno);
    return static_cast<uint64_t>(info.st_size);
}

void BinaryFile::Truncate(uint64_t size)
{
    RequireOpen();
    if (Calls().ftruncate(fd_, static_cast<off_t>(size)) != 0)
        Fail(errno);
}

void BinaryFile::Seek(uint64_t offset)
{
    RequireOpen();
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
        Fail(errno);
}

uint64_t BinaryFile::Position() const
{
    RequireOpen();
    const off_t position = ::lseek(fd_, 0, SEEK_CUR);
    if (position < 0)
        Fail(errno);
    return static_cast<uint64_t>(position);
}

void BinaryFile::Write(std::span<const std::byte> bytes)
{
    RequireOpen();
    while (!bytes.empty()) {
        const ssize_t written = Calls().write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
        unsubmittedBytes_ += static_cast<uint64_t>(written);
    }
    if (unsubmittedBytes_ >= WriteBehindBytes) {
        // Start writing back what is dirty now, without waiting for it. Left
        // to the kernel, gigabytes of a long recording pile up in the page
        // cache until the background threshold, and then the flush stalls
        // our writes for longer than a card buffer lasts. Advisory: a real
        // write error still surfaces at Flush or Close.
        ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
        unsubmittedBytes_ = 0;
    }
}

size_t BinaryFile::Read(std::span<std::byte> bytes)
{
    RequireOpen();
    size_t total = 0;
    while (total < bytes.size()) {
        const ssize_t got = ::read(fd_, bytes.data() + total, bytes.size() - total);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
        }
        if (got == 0)
            break;
        total += static_cast<size_t>(got);
    }
    return total;
}

void BinaryFile::Flush()
{
    RequireOpen();
    if (Calls().fdatasync(fd_) != 0 && errno != EINVAL) // EINVAL: a file that cannot be synced
        Fail(errno);
}

void BinaryFile::RequireOpen() const
{
    if (fd_ < 0)
        Fail(EBADF);
}

void BinaryFile::Fail(int errorNumber) const { throw FileError(errorNumber, path_); }

} // namespace ondrel
