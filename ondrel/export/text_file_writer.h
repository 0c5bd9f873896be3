#pragma once
#include "ondrel/recording/binary_file.h"
#include <string>
#include <string_view>
#include <vector>

namespace ondrel {

// A text file written through a large buffer: rows are formatted straight into
// it and reach the file a few hundred kilobytes at a time. Failures throw
// FileError.
class TextFileWriter {
public:
    // Creates `path`, which must not exist yet.
    explicit TextFileWriter(const std::string& path);

    // Room for at least `bytes` characters; write them, then Commit the end.
    char* Reserve(size_t bytes);
    void Commit(char* end) { used_ = static_cast<size_t>(end - buffer_.data()); }
    void Append(std::string_view text);

    // Writes what is buffered and closes the file.
    void Close();

private:
    void Drain();

    BinaryFile file_;
    std::vector<char> buffer_;
    size_t used_ = 0;
};

} // namespace ondrel
