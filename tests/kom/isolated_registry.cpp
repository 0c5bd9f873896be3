#include "isolated_registry.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace komtest {

namespace {

std::string makePath()
{
    auto dir = std::filesystem::temp_directory_path()
               / ("kom-test-" + std::to_string(::getpid()) + "-" + std::to_string(std::rand()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "registry").string();
    ::setenv("KOM_REGISTRY", path.c_str(), 1);
    return path;
}

const std::string& path()
{
    static const std::string p = makePath();
    return p;
}

// Runs before main, so even static set-up sees the isolated registry.
[[maybe_unused]] const bool installed = !path().empty();

struct Cleanup {
    ~Cleanup()
    {
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(path()).parent_path(), ec);
    }
} cleanup;

} // namespace

std::string registryPath() { return path(); }

void clearRegistry()
{
    std::error_code ec;
    std::filesystem::remove(path(), ec);
}

} // namespace komtest
