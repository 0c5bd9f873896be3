#include "isolated_registry.h"
#include "kom/registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
// Key name "K<t>_<i>" (built by appending: GCC 12 misreports "lit" + string).
std::string keyName(int t, int i)
{
    std::string k = "K";
    k += std::to_string(t);
    k += '_';
    k += std::to_string(i);
    return k;
}
} // namespace

using namespace kom;

TEST(Registry, TestsUseTheirOwnFile)
{
    EXPECT_EQ(Registry::defaultPath(), komtest::registryPath());
    EXPECT_NE(Registry::defaultPath().find("kom-test-"), std::string::npos);
}

TEST(Registry, KeysAndValues)
{
    Registry reg;
    reg.setDefault("CLSID\\{A}\\InprocServer32", "/x/lib.so");
    reg.setValue("CLSID\\{A}\\InprocServer32", "ThreadingModel", "Apartment");
    reg.createKey("CLSID\\{A}\\Control");
    EXPECT_TRUE(reg.keyExists("CLSID"));
    EXPECT_TRUE(reg.keyExists("clsid\\{a}\\control")); // letter case does not matter
    EXPECT_EQ(reg.value("CLSID\\{A}\\InprocServer32"), "/x/lib.so");
    EXPECT_EQ(reg.value("CLSID/{A}/InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_FALSE(reg.value("CLSID\\{A}\\Control"));
    EXPECT_EQ(reg.subkeys("CLSID\\{A}"), (std::vector<std::string>{"Control", "InprocServer32"}));
}

TEST(Registry, DeleteTreeRemovesTheKeyAndEverythingBelow)
{
    Registry reg;
    reg.createKey("CLSID\\{A}\\X\\Y");
    reg.createKey("CLSID\\{AB}");
    EXPECT_TRUE(reg.deleteTree("CLSID\\{A}"));
    EXPECT_FALSE(reg.keyExists("CLSID\\{A}\\X\\Y"));
    EXPECT_FALSE(reg.keyExists("CLSID\\{A}"));
    EXPECT_TRUE(reg.keyExists("CLSID\\{AB}")); // a sibling with a common prefix stays
    EXPECT_TRUE(reg.keyExists("CLSID"));
    EXPECT_FALSE(reg.deleteTree("CLSID\\{A}"));
}

TEST(Registry, SerializesAndParsesWithEscapes)
{
    Registry reg;
    reg.setValue("K", "name=with\\odd", "line\nbreak\\back");
    reg.createKey("Empty\\Key");
    Registry back;
    ASSERT_EQ(back.parse(reg.serialize()), S_OK);
    EXPECT_EQ(back.value("K", "name=with\\odd"), "line\nbreak\\back");
    EXPECT_TRUE(back.keyExists("Empty\\Key"));
    EXPECT_NE(back.parse("value-without-key=1\n"), S_OK);
    EXPECT_NE(back.parse("[unterminated\n"), S_OK);
}

TEST(Registry, MissingFileIsEmptyAndSaveCreatesFolders)
{
    auto dir = std::filesystem::path(komtest::registryPath()).parent_path() / "nested" / "deeper";
    std::string path = (dir / "registry").string();
    Registry reg;
    EXPECT_EQ(reg.load(path), S_OK);
    EXPECT_TRUE(reg.empty());
    reg.setDefault("A", "1");
    ASSERT_EQ(reg.save(path), S_OK);
    Registry again;
    ASSERT_EQ(again.load(path), S_OK);
    EXPECT_EQ(again.value("A"), "1");
}

TEST(Registry, ConcurrentUpdatesKeepEveryKey)
{
    std::string path = (std::filesystem::path(komtest::registryPath()).parent_path() / "concurrent").string();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i)
                Registry::update(path, [&](Registry& r) {
                    r.setDefault(keyName(t, i), "v");
                    return S_OK;
                });
        });
    for (auto& th : threads)
        th.join();
    Registry reg;
    ASSERT_EQ(reg.load(path), S_OK);
    EXPECT_EQ(reg.values("K3_9").size(), 1u);
    int keys = 0;
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 10; ++i)
            keys += reg.keyExists(keyName(t, i));
    EXPECT_EQ(keys, 40);
}

namespace {

// Sets (or, with nullptr, unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string testFolder() { return std::filesystem::path(komtest::registryPath()).parent_path().string(); }

std::string accountHome()
{
    const passwd* pw = ::getpwuid(::getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "";
}

} // namespace

TEST(Registry, WithoutHomeItLivesInTheAccountsHomeNeverInTmp)
{
    ScopedEnv noOverride("KOM_REGISTRY", nullptr);
    ScopedEnv noXdg("XDG_DATA_HOME", nullptr);
    ScopedEnv withHome("HOME", "/home/somebody");
    EXPECT_EQ(Registry::defaultPath(), "/home/somebody/.local/share/kom/registry");
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/data/somebody");
        EXPECT_EQ(Registry::defaultPath(), "/data/somebody/kom/registry");
    }
    {
        ScopedEnv relativeXdg("XDG_DATA_HOME", "data");
        EXPECT_EQ(Registry::defaultPath(), "/home/somebody/.local/share/kom/registry");
    }
    const std::string home = accountHome();
    ASSERT_FALSE(home.empty()) << "this account has no home folder";
    for (const char* unset : {static_cast<const char*>(nullptr), "", "relative/home"}) {
        ScopedEnv noHome("HOME", unset);
        EXPECT_EQ(Registry::defaultPath(), home + "/.local/share/kom/registry") << (unset ? unset : "(unset)");
        EXPECT_FALSE(Registry::defaultPath().starts_with("/tmp/")) << Registry::defaultPath();
    }
}

TEST(Registry, ARelativeKomRegistryIsIgnoredWithAWarning)
{
    ScopedEnv relative("KOM_REGISTRY", "reg/registry");
    ScopedEnv withHome("HOME", "/home/somebody");
    ScopedEnv noXdg("XDG_DATA_HOME", nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Registry::defaultPath(), "/home/somebody/.local/share/kom/registry");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("reg/registry"), std::string::npos) << err;
}

TEST(Registry, AFileOthersCanWriteIsIgnoredWithAWarning)
{
    const std::string path = testFolder() + "/open-registry";
    Registry reg;
    reg.setDefault("A", "1");
    ASSERT_EQ(reg.save(path), S_OK);
    // The registry writes its file without group or other write permission,
    // whatever the umask.
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 022, 0u);

    for (mode_t mode : {0666, 0664, 0646}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        Registry back;
        testing::internal::CaptureStderr();
        EXPECT_TRUE(FAILED(back.load(path)));
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(back.empty());
        EXPECT_NE(err.find(path), std::string::npos) << err;
        // A registration refuses to build on it.
        testing::internal::CaptureStderr();
        EXPECT_TRUE(FAILED(Registry::update(path, [](Registry& r) {
            r.setDefault("B", "2");
            return S_OK;
        })));
        testing::internal::GetCapturedStderr();
    }
    // A host reading through $KOM_REGISTRY sees no registry at all.
    {
        ScopedEnv pointed("KOM_REGISTRY", path.c_str());
        EXPECT_TRUE(Registry::current().empty());
    }
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    Registry back;
    ASSERT_EQ(back.load(path), S_OK);
    EXPECT_EQ(back.value("A"), "1");
    EXPECT_FALSE(back.value("B"));
}

TEST(Registry, AFileOfAnotherUserIsIgnored)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a file away";
    const std::string path = testFolder() + "/foreign-registry";
    Registry reg;
    reg.setDefault("A", "1");
    ASSERT_EQ(reg.save(path), S_OK);
    ASSERT_EQ(::chown(path.c_str(), 54321, 54321), 0);
    Registry back;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(FAILED(back.load(path)));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(back.empty());
    EXPECT_NE(err.find(path), std::string::npos) << err;
}

TEST(Registry, AValueNameThatLooksLikeASectionOrCommentSurvivesARoundTrip)
{
    Registry reg;
    reg.setValue("K", "[not a key", "1");
    reg.setValue("K", ";not a comment", "2");
    reg.setValue("K", "#not a comment", "3");
    Registry back;
    ASSERT_EQ(back.parse(reg.serialize()), S_OK) << reg.serialize();
    EXPECT_EQ(back.value("K", "[not a key"), "1");
    EXPECT_EQ(back.value("K", ";not a comment"), "2");
    EXPECT_EQ(back.value("K", "#not a comment"), "3");
}

TEST(Registry, AnEmptyValueNameReadsAsTheDefaultValue)
{
    Registry reg;
    ASSERT_EQ(reg.parse("[K]\n=x\n"), S_OK);
    EXPECT_EQ(reg.value("K"), "x");
    EXPECT_EQ(reg.values("K"), (std::vector<std::pair<std::string, std::string>>{{"@", "x"}}));
}

TEST(Registry, KeysReadFromAFileAreBoundedInLengthAndDepth)
{
    // Every key brings its parents: an unbounded header line costs its length
    // times its depth in keys made.
    std::string deep = "K";
    for (long i = 1; i < Registry::MaxKeyDepth; ++i)
        deep += "\\K";
    Registry reg;
    EXPECT_EQ(reg.parse("[" + deep + "]\n"), S_OK);
    EXPECT_TRUE(reg.keyExists(deep));
    EXPECT_EQ(reg.parse("[" + deep + "\\K]\n"), E_FAIL);
    EXPECT_EQ(reg.parse("[" + std::string(Registry::MaxKeyLength, 'k') + "]\n"), S_OK);
    EXPECT_EQ(reg.parse("[" + std::string(Registry::MaxKeyLength + 1, 'k') + "]\n"), E_FAIL);
}
