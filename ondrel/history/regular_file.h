#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace ondrel {

// Whether a link at the last component of a path is followed. A data path
// stored in a project is not: a project may come from a stranger, and its
// paths must not make the program read anything but the project's own files.
// The project file the operator names may be a link.
enum class LastLink { Refuse, Follow };

// What tells one version of a file from another without reading it: which
// file it is (device, inode) and when and how far it was last written.
struct FileStamp {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// Opens `path` for reading only if it is a regular file: without blocking (a
// FIFO would hang open()), and checked with fstat once open. Returns the
// descriptor (close-on-exec) and sets `size` to the file's size then; throws
// FileError naming the file when it is missing, unreadable, a refused link, a
// device, a pipe or a folder.
int OpenRegularFile(const std::string& path, LastLink link, uint64_t& size);

// A regular file opened with OpenRegularFile, read at a position of its own.
// Its size is measured once, at open: reads never go past it, so a file that
// grows while it is read (or lies about its size) cannot make a reader run on.
class RegularFile {
public:
    RegularFile() = default;
    ~RegularFile();
    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Throws FileError as OpenRegularFile does.
    void Open(const std::string& path, LastLink link = LastLink::Refuse);
    // The same open file, with a position of its own at the start and the size
    // measured at this one's open: it reads what this one reads, wherever the
    // file has been moved or whatever now has its name. Closed when this is.
    RegularFile Duplicate() const;
    void Close() noexcept;
    bool IsOpen() const noexcept { return fd_ >= 0; }
    const std::string& Path() const noexcept { return path_; }

    // The size measured at open; 0 when closed.
    uint64_t Size() const noexcept { return size_; }
    uint64_t Position() const noexcept { return position_; }
    // The open file's stamp, with the size measured at open; all zero when
    // closed. Throws FileError when the system cannot say.
    FileStamp Stamp() const;
    // Moves the position, at most to the end.
    void Seek(uint64_t offset) noexcept;
    // Reads up to bytes.size() bytes from the position and moves past them;
    // fewer only at the end. Throws FileError when the system fails a read.
    size_t Read(std::span<std::byte> bytes);

private:
    int fd_ = -1;
    std::string path_;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
};

} // namespace ondrel
