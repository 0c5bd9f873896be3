// Atomic, durable file replacement: the registry's save and the shared helper
// that tickwell-frame uses. fsync and rename are interposed here (the test
// executable's own definitions win over the C library's for code linked into
// it), so the order of the calls can be checked without pulling the plug.
#include "isolated_registry.h"
#include "kom/atomic_file.h"
#include "kom/registry.h"

#include <cerrno>
#include <csignal>
#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <span>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct Call {
    std::string what; // "fsync file", "fsync folder", "rename"
    std::string path; // the file or folder synced, the rename's source
    std::string to;   // the rename's target
};

std::mutex callsMutex;
bool recording = false;
std::vector<Call> calls;
int failRenameWith = 0; // errno to fail the next rename with

std::string pathOf(int fd)
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

} // namespace

extern "C" int fsync(int fd)
{
    using Fn = int (*)(int);
    static Fn real = reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, "fsync"));
    {
        std::lock_guard lock(callsMutex);
        if (recording) {
            struct stat st {};
            ::fstat(fd, &st);
            calls.push_back({S_ISDIR(st.st_mode) ? "fsync folder" : "fsync file", pathOf(fd), {}});
        }
    }
    return real(fd);
}

extern "C" int rename(const char* from, const char* to)
{
    using Fn = int (*)(const char*, const char*);
    static Fn real = reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, "rename"));
    {
        std::lock_guard lock(callsMutex);
        if (recording) {
            calls.push_back({"rename", from, to});
            if (failRenameWith) {
                errno = std::exchange(failRenameWith, 0);
                return -1;
            }
        }
    }
    return real(from, to);
}

namespace {

using namespace kom;

class AtomicWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::path(komtest::registryPath()).parent_path()
                 / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(folder);
        folder = std::filesystem::canonical(folder);
        std::lock_guard lock(callsMutex);
        calls.clear();
        recording = true;
    }
    void TearDown() override
    {
        std::lock_guard lock(callsMutex);
        recording = false;
        failRenameWith = 0;
    }
    std::vector<Call> recorded()
    {
        std::lock_guard lock(callsMutex);
        return calls;
    }
    // Everything in the folder but `keep`.
    std::vector<std::string> strays(const std::string& keep)
    {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            if (e.path().filename() != keep)
                out.push_back(e.path().filename().string());
        return out;
    }
    // The data is synced before the rename, the folder after it.
    void expectDurableReplace(const std::string& target)
    {
        const auto c = recorded();
        ASSERT_EQ(c.size(), 3u);
        EXPECT_EQ(c[0].what, "fsync file");
        EXPECT_EQ(c[1].what, "rename");
        EXPECT_EQ(c[0].path, c[1].path) << "the file synced is the one renamed";
        EXPECT_EQ(c[1].to, target);
        EXPECT_EQ(std::filesystem::path(c[1].path).parent_path(), folder)
            << "the temporary file sits beside the target";
        EXPECT_EQ(c[2].what, "fsync folder");
        EXPECT_EQ(c[2].path, folder.string());
    }
    std::filesystem::path folder;
};

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST_F(AtomicWrite, TheRegistrySyncsItsDataBeforeTheRenameAndTheFolderAfter)
{
    const std::string path = (folder / "registry").string();
    Registry reg;
    reg.setDefault("A", "1");
    ASSERT_EQ(reg.save(path), S_OK);
    expectDurableReplace(path);
    EXPECT_EQ(strays("registry"), std::vector<std::string>{});
}

TEST_F(AtomicWrite, TheRegistryLeavesNoTemporaryFileWhenTheRenameFails)
{
    const std::string path = (folder / "registry").string();
    failRenameWith = EXDEV;
    Registry reg;
    reg.setDefault("A", "1");
    EXPECT_TRUE(FAILED(reg.save(path)));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(strays("registry"), std::vector<std::string>{});
}

TEST_F(AtomicWrite, TheHelperReplacesTheFileDurably)
{
    const std::string path = (folder / "state").string();
    std::ofstream(path) << "old";
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const std::string bytes = "new contents";
    EXPECT_EQ(writeFileAtomically(path, std::as_bytes(std::span(bytes))), 0);
    expectDurableReplace(path);
    EXPECT_EQ(contents(path), bytes);
    EXPECT_EQ(strays("state"), std::vector<std::string>{});
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "a replaced file keeps its permissions";
}

TEST_F(AtomicWrite, TheHelperGivesANewFileTheModeAsked)
{
    const std::string path = (folder / "new").string();
    const std::string bytes = "x";
    EXPECT_EQ(writeFileAtomically(path, std::as_bytes(std::span(bytes)), 0600), 0);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(AtomicWrite, TheHelperLeavesTheTargetAndNoTemporaryFileWhenTheRenameFails)
{
    const std::string path = (folder / "state").string();
    std::ofstream(path) << "old";
    failRenameWith = EIO;
    const std::string bytes = "new";
    EXPECT_EQ(writeFileAtomically(path, std::as_bytes(std::span(bytes))), EIO);
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(strays("state"), std::vector<std::string>{});
}

TEST_F(AtomicWrite, TheHelperLeavesNoTemporaryFileWhenTheWriteFails)
{
    // A file size limit makes the write itself fail, in a child process so
    // that the limit stays there.
    const std::string path = (folder / "big").string();
    const std::string bytes(1 << 20, 'x');
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int err = writeFileAtomically(path, std::as_bytes(std::span(bytes)));
        (void)!::write(pipeFds[1], &err, sizeof err);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    int err = 0;
    ASSERT_EQ(::read(pipeFds[0], &err, sizeof err), static_cast<ssize_t>(sizeof err));
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(err, EFBIG);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(strays("big"), std::vector<std::string>{});
}
