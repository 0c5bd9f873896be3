// The overview's summary cache. A summary stored for a recording loads back
// byte for byte; the same file damaged anywhere (bytes replaced, cut short,
// grown) loads as nothing, and the same bytes written back load as a whole
// summary of the recording's own shape that answers every query within its
// levels.
//
// Input: a byte of flags, six bytes of shape, four of patch offset, then the
// level bytes to store, and the bytes the patch writes over the stored file.
#include "require.h"
#include "ondrel/history/regular_file.h"
#include "ondrel/overview/summary_cache.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

using fuzz::require;

namespace {

namespace fs = std::filesystem;

// A scratch folder for the cache, removed when the process ends.
struct ScratchCache {
    std::string path = (fs::temp_directory_path() / "fuzz-summary-cache-XXXXXX").string();
    ScratchCache() { require(::mkdtemp(path.data()) != nullptr, "a scratch folder can be made"); }
    ScratchCache(const ScratchCache&) = delete;
    ScratchCache& operator=(const ScratchCache&) = delete;
    ~ScratchCache()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

const std::string& CacheFolder()
{
    static const ScratchCache folder;
    return folder.path;
}

std::vector<std::byte> ReadWhole(const std::string& path)
{
    std::vector<std::byte> bytes(fs::file_size(path));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    require(fd >= 0 && ::read(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()),
            "the stored summary can be read");
    ::close(fd);
    return bytes;
}

void WriteWhole(const std::string& path, std::span<const std::byte> bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    require(fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()),
            "the damaged summary can be written");
    ::close(fd);
}

std::vector<std::byte> LevelBytes(const ondrel::OverviewSummary& summary)
{
    std::vector<std::byte> bytes;
    for (std::span<const std::byte> level : summary.Storage())
        bytes.insert(bytes.end(), level.begin(), level.end());
    return bytes;
}

// Every query the overview makes, over every level: indices come from the
// shape alone, whatever values the levels hold.
void QueryEverywhere(const ondrel::OverviewSummary& summary)
{
    const ondrel::SummaryShape& shape = summary.Shape();
    for (int level = 0; level < summary.Levels(); ++level) {
        const int64_t block = ondrel::OverviewSummary::BlockScans(level);
        for (int32_t ch = 0; ch < shape.aiChannels; ++ch)
            for (int64_t first = 0; first < shape.aiScans; first += block)
                (void)summary.AIRange(ch, first, first + block, level);
        for (int32_t port = 0; port < shape.diPorts; ++port)
            for (int64_t first = 0; first < shape.diScans; first += block)
                (void)summary.DIRange(port, first, first + block, level);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kHead = 11;
    if (size < kHead)
        return 0;
    const uint8_t flags = data[0];
    ondrel::SummaryKey key;
    key.shape.aiScans = (data[1] | data[2] << 8) % 5000;
    key.shape.aiChannels = data[3] % 5;
    key.shape.diScans = (data[4] | data[5] << 8) % 5000;
    key.shape.diPorts = data[6] % 3;
    key.floatSamples = (flags & 1) != 0;
    key.ai = ondrel::FileStamp{1, 2, 3, 4, 5};
    uint32_t offset = 0;
    std::memcpy(&offset, data + 7, 4);
    const std::span<const std::byte> rest(reinterpret_cast<const std::byte*>(data) + kHead, size - kHead);

    // Stored from levels that hold the input's bytes, whatever they mean.
    ondrel::OverviewSummary original(key.shape);
    size_t taken = 0;
    for (std::span<std::byte> level : original.Storage()) {
        const size_t n = std::min(level.size(), rest.size() - taken);
        std::copy_n(rest.begin() + static_cast<std::ptrdiff_t>(taken), n, level.begin());
        taken += n;
    }
    original.MarkLoaded();
    // One summary in the folder at a time, so the file just stored is the one there.
    const std::string& folder = CacheFolder();
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        fs::remove(entry.path());
    require(ondrel::StoreSummary(folder, key, original), "a finished summary is stored");
    {
        const auto loaded = ondrel::LoadCachedSummary(folder, key);
        require(loaded != nullptr && loaded->Finished() && LevelBytes(*loaded) == LevelBytes(original),
                "a stored summary loads back byte for byte");
    }

    // Then damaged: the rest of the input written over it at `offset`, and
    // cut there or grown when the flags say so.
    const std::string path = fs::directory_iterator(folder)->path().string();
    const std::vector<std::byte> stored = ReadWhole(path);
    std::vector<std::byte> damaged = stored;
    const std::span<const std::byte> patch = rest.subspan(taken);
    const size_t at = stored.empty() ? 0 : offset % (stored.size() + 1);
    if (damaged.size() < at + patch.size())
        damaged.resize(at + patch.size());
    std::copy(patch.begin(), patch.end(), damaged.begin() + static_cast<std::ptrdiff_t>(at));
    if ((flags & 2) != 0)
        damaged.resize(at + patch.size());
    if ((flags & 4) != 0)
        damaged.push_back(std::byte{0});
    WriteWhole(path, damaged);

    // Any change shows in the key, the sizes or the checksum; a change that
    // kept the checksum by chance would be a collision of the hash.
    const auto loaded = ondrel::LoadCachedSummary(folder, key);
    require((loaded != nullptr) == (damaged == stored), "a summary loads exactly when it is undamaged");
    if (loaded) {
        require(loaded->Finished() && loaded->Shape() == key.shape, "what loads is whole, of the recording's shape");
        QueryEverywhere(*loaded);
    }
    return 0;
}
