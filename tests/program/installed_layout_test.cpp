#include "common/scratch_folder.h"
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

std::string Text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Status(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// `cmake --install` into a fresh prefix, as a user installs a build.
class InstalledLayout : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        prefix = new ScratchFolder;
        ASSERT_EQ(Status(std::string(CMAKE_COMMAND) + " --install " + BUILD_DIR + " --prefix " + prefix->path() + " >"
                         + (*prefix / "install.log") + " 2>&1"),
                  0)
            << Text(*prefix / "install.log");
    }
    static void TearDownTestSuite() { delete prefix; }
    static fs::path Installed(const std::string& path) { return fs::path(prefix->path()) / path; }

    static ScratchFolder* prefix;
};

ScratchFolder* InstalledLayout::prefix = nullptr;

TEST_F(InstalledLayout, TheCommandsFindTheTimerControlThroughTheirLinks)
{
    for (const char* command : {"ondrel", "ondrel-convert", "komreg", "tickwell-frame"}) {
        EXPECT_TRUE(fs::is_symlink(Installed(std::string("bin/") + command))) << command;
        EXPECT_TRUE(fs::exists(Installed(std::string("bin/") + command))) << command << ": a dangling link";
        EXPECT_TRUE(fs::exists(Installed(std::string("share/man/man1/") + command + ".1.gz"))) << command;
    }
    // An empty saved state: no entries, the property block of a fresh control.
    const std::string state = *prefix / "state";
    std::ofstream(state, std::ios::binary).write("\0\0\0\0\0\0\0\0\0\3\0\0\0\0\0\0\0\0\0\0", 20);
    // No registry entry: the control is found beside the real program only.
    EXPECT_EQ(Status("KOM_REGISTRY=" + (*prefix / "no-registry") + " QT_QPA_PLATFORM=offscreen "
                     + Installed("bin/tickwell-frame").string() + " --list " + state + " >/dev/null"),
              0);
}

TEST_F(InstalledLayout, TheDesktopKnowsTheProgramItsIconAndItsFileType)
{
    const std::string entry = Text(Installed("share/applications/ondrel.desktop"));
    EXPECT_NE(entry.find("\nIcon=ondrel\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nMimeType=application/x-ondrel-project;\n"), std::string::npos) << entry;
    const std::string type = Text(Installed("share/mime/packages/ondrel-project.xml"));
    EXPECT_NE(type.find("<glob pattern=\"*.onp\"/>"), std::string::npos) << type;
    EXPECT_NE(type.find("<icon name=\"ondrel\"/>"), std::string::npos) << type;
    EXPECT_TRUE(fs::exists(Installed("share/icons/hicolor/scalable/apps/ondrel.svg")));
    for (const char* size : {"16x16", "32x32", "48x48", "256x256"})
        EXPECT_TRUE(fs::exists(Installed(std::string("share/icons/hicolor/") + size + "/apps/ondrel.png"))) << size;
    EXPECT_TRUE(fs::exists(Installed("share/metainfo/org.ondrel.ondrel.metainfo.xml")));
}

} // namespace
