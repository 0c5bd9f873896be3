#include "ondrel/export/text_file_writer.h"
#include "ondrel/common/file_error.h"
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace ondrel {

namespace {

constexpr size_t kBufferBytes = 512 * 1024;

// Opening with O_EXCL: an export never overwrites a file that is there.
void CreateNew(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        throw FileError(errno, path);
    ::close(fd);
}

} // namespace

TextFileWriter::TextFileWriter(const std::string& path) : buffer_(kBufferBytes)
{
    CreateNew(path);
    file_.Open(path, BinaryFile::Mode::ReadWrite);
}

char* TextFileWriter::Reserve(size_t bytes)
{
    if (buffer_.size() - used_ < bytes) {
        Drain();
        if (buffer_.size() < bytes)
            buffer_.resize(bytes);
    }
    return buffer_.data() + used_;
}

void TextFileWriter::Append(std::string_view text)
{
    char* at = Reserve(text.size());
    std::memcpy(at, text.data(), text.size());
    Commit(at + text.size());
}

void TextFileWriter::Drain()
{
    file_.Write(std::as_bytes(std::span(buffer_.data(), used_)));
    used_ = 0;
}

void TextFileWriter::Close()
{
    Drain();
    file_.Close();
}

} // namespace ondrel
