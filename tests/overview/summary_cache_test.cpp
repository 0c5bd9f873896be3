#include "overview/recording_fixture.h"
#include "common/scoped_env.h"
#include "ondrel/overview/summary_build.h"
#include "ondrel/overview/summary_cache.h"
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <sys/stat.h>

namespace ondrel::testing {
namespace {

namespace fs = std::filesystem;

class SummaryCache : public ::testing::Test {
protected:
    Samples samples = Noise(5000, 2, 1);
    SavedRecording saved{samples};
    ScratchFolder cache;

    std::unique_ptr<RecordingReader> Reader() { return std::make_unique<RecordingReader>(saved.Project(), true, true); }
    std::unique_ptr<OverviewSummary> Built(RecordingReader& reader)
    {
        auto summary = std::make_unique<OverviewSummary>(ShapeOf(reader));
        BuildSummary(reader, *summary);
        return summary;
    }
    // Stores the summary of the recording as it is, alone in the cache, and
    // gives the file it went to.
    fs::path StoreOne()
    {
        for (const auto& entry : fs::directory_iterator(cache.path()))
            fs::remove_all(entry.path());
        auto reader = Reader();
        EXPECT_TRUE(StoreSummary(cache.path(), KeyOf(*reader), *Built(*reader)));
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(cache.path()))
            files.push_back(entry.path());
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? fs::path{} : files[0];
    }
    std::unique_ptr<OverviewSummary> Load()
    {
        auto reader = Reader();
        return LoadCachedSummary(cache.path(), KeyOf(*reader));
    }
};

TEST_F(SummaryCache, AStoredSummaryComesBackCompleteAndEqual)
{
    StoreOne();
    auto reader = Reader();
    const auto built = Built(*reader);
    const auto loaded = Load();
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->Finished());
    EXPECT_EQ(loaded->AIDone(), samples.AIScans());
    const auto a = built->Storage();
    const auto b = loaded->Storage();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_TRUE(std::equal(a[i].begin(), a[i].end(), b[i].begin(), b[i].end())) << "level store " << i;
    // Nothing went into the project's folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(saved.folder.path()), fs::directory_iterator{}), 3);
}

TEST_F(SummaryCache, ARecordingChangedOrReplacedSinceIsNeverShownFromTheOldSummary)
{
    StoreOne();
    ASSERT_NE(Load(), nullptr);
    // The same size, other values, written at another time.
    Samples changed = samples;
    changed.ai[100] = 99.0f;
    saved.Write(changed);
    const std::string ai = saved.folder / "AI.ond";
    const timespec later[2] = {{0, UTIME_OMIT}, {2000000000, 5}};
    ASSERT_EQ(::utimensat(AT_FDCWD, ai.c_str(), later, 0), 0);
    EXPECT_EQ(Load(), nullptr);
    // Replaced by another file of the same size and time: another inode.
    StoreOne();
    ASSERT_NE(Load(), nullptr);
    fs::copy_file(ai, ai + ".new");
    ASSERT_EQ(::utimensat(AT_FDCWD, (ai + ".new").c_str(), later, 0), 0);
    fs::rename(ai + ".new", ai);
    EXPECT_EQ(Load(), nullptr);
}

TEST_F(SummaryCache, ADamagedCutOrForeignCacheFileIsRefusedAndBuiltAgain)
{
    const fs::path file = StoreOne();
    const auto size = fs::file_size(file);
    {
        std::fstream damage(file, std::ios::in | std::ios::out | std::ios::binary);
        damage.seekp(static_cast<std::streamoff>(size - 5));
        damage.put('\x7f');
    }
    EXPECT_EQ(Load(), nullptr) << "damaged level bytes";

    StoreOne();
    fs::resize_file(file, size - 1);
    EXPECT_EQ(Load(), nullptr) << "cut short";

    StoreOne();
    fs::resize_file(file, size + 8);
    EXPECT_EQ(Load(), nullptr) << "longer than its key says";

    StoreOne();
    {
        std::fstream damage(file, std::ios::in | std::ios::out | std::ios::binary);
        damage.seekp(20); // inside the key: another recording's summary
        damage.put('\x01');
    }
    EXPECT_EQ(Load(), nullptr) << "another key";

    // A link where the file should be is not followed, nor is a folder read.
    fs::remove(file);
    const fs::path other = cache / "elsewhere";
    StoreOne();
    fs::rename(file, other);
    fs::create_symlink(other, file);
    EXPECT_EQ(Load(), nullptr) << "a link";
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_EQ(Load(), nullptr) << "a folder";
}

TEST_F(SummaryCache, ACacheThatCannotBeWrittenOnlyCostsTheRebuild)
{
    auto reader = Reader();
    const auto built = Built(*reader);
    // Under a plain file no folder can be made, whoever runs the test.
    const std::string blocked = cache / "plain";
    std::ofstream(blocked) << "x";
    EXPECT_FALSE(StoreSummary(blocked + "/ondrel", KeyOf(*reader), *built));
    EXPECT_EQ(LoadCachedSummary(blocked + "/ondrel", KeyOf(*reader)), nullptr);
    // An unfinished summary is never stored.
    OverviewSummary growing(ShapeOf(*reader));
    EXPECT_FALSE(StoreSummary(cache.path(), KeyOf(*reader), growing));
}

TEST_F(SummaryCache, TheFolderMadeIsPrivateAndKeepsOnlyTheNewestSummaries)
{
    auto reader = Reader();
    const auto built = Built(*reader);
    const std::string folder = cache / "deep/ondrel";
    SummaryKey key = KeyOf(*reader);
    for (size_t i = 0; i < kCachedSummaries + 3; ++i) {
        key.ai.modifiedNanoseconds = static_cast<int64_t>(i); // as if the file had changed each time
        ASSERT_TRUE(StoreSummary(folder, key, *built));
    }
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator{})),
              kCachedSummaries);
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_NE(LoadCachedSummary(folder, key), nullptr); // the newest stays
}

TEST(SummaryCacheFolder, IsTheUsersCacheFolderAndIgnoresARelativeSetting)
{
    const ScopedEnv home("HOME", "/home/someone");
    {
        const ScopedEnv cache("XDG_CACHE_HOME", "/var/cache/me/");
        EXPECT_EQ(SummaryCacheFolder(), "/var/cache/me/ondrel");
    }
    {
        const ScopedEnv cache("XDG_CACHE_HOME", "relative");
        EXPECT_EQ(SummaryCacheFolder(), "/home/someone/.cache/ondrel");
    }
    const ScopedEnv cache("XDG_CACHE_HOME", nullptr);
    EXPECT_EQ(SummaryCacheFolder(), "/home/someone/.cache/ondrel");
}

} // namespace
} // namespace ondrel::testing
