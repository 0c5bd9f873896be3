#include "common/scratch_folder.h"
#include "ondrel/start_request.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace ondrel {
namespace {

StartRequest Parse(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "ondrel");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    auto parsed = ParseStartRequest(static_cast<int>(argv.size()), argv.data());
    EXPECT_TRUE(std::holds_alternative<StartRequest>(parsed));
    return std::holds_alternative<StartRequest>(parsed) ? std::get<StartRequest>(parsed) : StartRequest{};
}

TEST(StartRequest, AFolderOpensTheProjectInIt)
{
    ScratchFolder folder;
    EXPECT_EQ(Parse({folder.path()}).project, folder / "Project.onp");
    EXPECT_EQ(Parse({folder / "Other.onp"}).project, folder / "Other.onp");
    EXPECT_EQ(Parse({}).project, "");
    EXPECT_FALSE(Parse({}).listDevices);
    EXPECT_TRUE(Parse({"--list-devices"}).listDevices);
}

TEST(StartRequest, AProjectPathKeepsItsBytesWhenTheyAreNotUtf8)
{
    // Latin-1 "café": 0xE9 alone is no UTF-8 character.
    ScratchFolder folder;
    const std::string cafe = folder / "caf\xe9";
    std::filesystem::create_directory(cafe);
    EXPECT_EQ(Parse({cafe}).project, cafe + "/Project.onp");
    EXPECT_EQ(Parse({cafe
                     + "/R\xfc"
                       "ck.onp"})
                  .project,
              cafe
                  + "/R\xfc"
                    "ck.onp");
    EXPECT_EQ(Parse({"--", "-dash\xff.onp"}).project, "-dash\xff.onp");
}

} // namespace
} // namespace ondrel
