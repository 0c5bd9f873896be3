#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <sys/types.h>

namespace ondrel {

// A binary file with 64-bit offsets, the program's "file slot" and "file
// handle" in one. Every failure throws FileError with the platform's
// description. Opening a file that is open closes it first. Writes, syncs and
// truncations go through the file calls (file_calls.h); a link at the last
// component is never followed except by ReadOnly.
class BinaryFile {
public:
    enum class Mode {
        ReadWrite,   // read and write, created when missing, kept as it is
        ReadOnly,    // read only, must exist
        ReadRegular, // read only, a regular file opened as OpenRegularFile does
        Truncate,    // read and write, created when missing, emptied
        CreateNew,   // read and write, created here: fails when the name exists
    };

    BinaryFile() = default;
    ~BinaryFile();
    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    void Open(const std::string& path, Mode mode);
    // Closing a closed file does nothing.
    void Close();
    bool IsOpen() const noexcept { return fd_ >= 0; }
    const std::string& Path() const noexcept { return path_; }

    uint64_t Size() const;
    void Truncate(uint64_t size);
    void Seek(uint64_t offset);
    uint64_t Position() const;

    // Writes all bytes at the current position and moves past them.
    void Write(std::span<const std::byte> bytes);
    // Reads up to bytes.size() bytes; fewer only at the end of the file.
    size_t Read(std::span<std::byte> bytes);
    // Hands what was written to the storage device.
    void Flush();

private:
    void RequireOpen() const;
    [[noreturn]] void Fail(int errorNumber) const;

    // Written bytes not yet handed to writeback (see Write).
    static constexpr uint64_t WriteBehindBytes = 8u << 20;

    int fd_ = -1;
    std::string path_;
    uint64_t unsubmittedBytes_ = 0;
};

} // namespace ondrel
