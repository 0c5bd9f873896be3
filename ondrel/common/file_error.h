#pragma once
#include <stdexcept>
#include <string>

namespace ondrel {

// A failed file-system operation. what() is the platform's description of the
// error followed by the path, the text an error handler shows to the operator.
class FileError : public std::runtime_error {
public:
    FileError(int errorNumber, const std::string& path);
    FileError(const std::string& description, const std::string& path);

    int errorNumber() const noexcept { return errorNumber_; }
    const std::string& path() const noexcept { return path_; }

private:
    int errorNumber_ = 0;
    std::string path_;
};

} // namespace ondrel
