#include "ondrel/common/file_error.h"

#include <cstring>

namespace ondrel {
namespace {

std::string Describe(const std::string& description, const std::string& path)
{
    return path.empty() ? description : description + ": " + path;
}

} // namespace

FileError::FileError(int errorNumber, const std::string& path)
    : std::runtime_error(Describe(std::strerror(errorNumber), path)), errorNumber_(errorNumber), path_(path)
{}

FileError::FileError(const std::string& description, const std::string& path)
    : std::runtime_error(Describe(description, path)), path_(path)
{}

} // namespace ondrel
