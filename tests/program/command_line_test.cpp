#include "common/scratch_folder.h"
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>

namespace {

std::string Text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// A command run as on a machine without a display: no X, no Wayland, and no
// platform chosen, so anything that reaches a QApplication aborts.
Outcome RunCommand(const std::string& program, const std::string& arguments)
{
    ScratchFolder folder;
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + std::string(ONDREL_BIN_DIR)
                                + "/" + program + " " + arguments + " >" + (folder / "out") + " 2>" + (folder / "err")
                                + " </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Text(folder / "out"), Text(folder / "err")};
}

class EveryCommand : public ::testing::TestWithParam<const char*> {};

TEST_P(EveryCommand, HelpAndVersionGoToStandardOutputWithoutADisplay)
{
    const std::string program = GetParam();
    const Outcome help = RunCommand(program, "--help");
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_NE(help.out.find(program), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(RunCommand(program, "-h").out, help.out);

    const Outcome version = RunCommand(program, "--version");
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, program + " " + ONDREL_VERSION_TEXT + "\n");
    EXPECT_EQ(version.err, "");
}

TEST_P(EveryCommand, AnUnknownOptionGivesTheUsageOnStandardErrorAndStatus2)
{
    const std::string program = GetParam();
    const Outcome outcome = RunCommand(program, "--no-such-option some-operand");
    EXPECT_EQ(outcome.status, 2) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("no-such-option"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find(program + " "), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("--help"), std::string::npos) << "the usage follows the complaint: " << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(Installed, EveryCommand,
                         ::testing::Values("ondrel", "ondrel-convert", "komreg", "tickwell-frame"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, '-');
                             return name;
                         });

TEST(CommandLines, OperandsOutOfPlaceAreUsageErrors)
{
    EXPECT_EQ(RunCommand("ondrel", "a.onp b.onp").status, 2);
    EXPECT_EQ(RunCommand("ondrel-convert", "only-a-project.onp").status, 2);
    EXPECT_EQ(RunCommand("komreg", "").status, 2);
    EXPECT_EQ(RunCommand("komreg", "--query").status, 2);
    EXPECT_EQ(RunCommand("komreg", "--path extra").status, 2);
    EXPECT_EQ(RunCommand("tickwell-frame", "--list").status, 2);
    EXPECT_EQ(RunCommand("tickwell-frame", "--run 10").status, 2);
    EXPECT_EQ(RunCommand("tickwell-frame", "--list --run 10 state").status, 2);
}

TEST(CommandLines, ListDevicesNeedsNoDisplay)
{
    const Outcome outcome = RunCommand("ondrel", "--list-devices");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("\tAI\t"), std::string::npos) << outcome.out;
}

} // namespace
