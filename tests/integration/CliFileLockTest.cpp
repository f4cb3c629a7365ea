// A Location File held open for editing by another program is not written by the tool's
// writing verbs, which name the holder; reading it still works.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "document/LocationFileLock.h"
#include "integration/CliHarness.h"

namespace arvestra::cli_it {
namespace {

using ::testing::HasSubstr;

std::string OwnProgramName() {
    std::ifstream in("/proc/self/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

class CliFileLock : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(CliFileLock, AWriterRefusesAFileHeldForEditingAndNamesTheHolder) {
    TestDirectory dir;
    const std::string hall = dir.File("hall.kvx");
    const std::string other = dir.File("other.kvx");
    ASSERT_EQ(RunCli({"new", hall}).status, 0);
    ASSERT_EQ(RunCli({"new", other}).status, 0);
    ASSERT_EQ(RunCli({"set", other, "--address", "1", "ch1.lp.cutoff=50"}).status, 0);
    std::ofstream(dir.File("p.json"))
        << "{\"format\": \"arvestra-settings\", \"version\": 1, \"kind\": \"preset\", "
           "\"preset\": {\"ch1.lp.cutoff\": 40}}";
    const SavedLocation before(hall);

    LocationFileLock editor;  // this test plays the editor
    ASSERT_EQ(editor.Acquire(hall), 0);
    std::vector<std::string> args = GetParam();
    for (std::string& arg : args) {
        if (arg == "HALL") arg = hall;
        if (arg == "OTHER") arg = other;
        if (arg == "JSON") arg = dir.File("p.json");
    }
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr(hall + " is open for editing in " + OwnProgramName() +
                                   " (process " + std::to_string(::getpid()) + ")"));
    EXPECT_EQ(SavedLocation(hall).Image(1, 0), before.Image(1, 0));

    // Reading is never kept out, and once the editor lets go the write goes through.
    EXPECT_EQ(RunCli({"get", hall, "--address", "1", "ch1.lp.cutoff"}).status, 0);
    editor.Release();
    EXPECT_EQ(RunCli(args).status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Writers, CliFileLock,
    ::testing::Values(std::vector<std::string>{"set", "HALL", "--address", "1", "ch1.lp.cutoff=50"},
                      std::vector<std::string>{"import", "HALL", "JSON", "--address", "1"},
                      std::vector<std::string>{"copy", "OTHER", "--address", "1", "--setting",
                                               "LP A", "HALL", "--to-address", "1"},
                      std::vector<std::string>{"new", "--force", "HALL"}),
    [](const auto& info) { return info.param[0]; });

}  // namespace
}  // namespace arvestra::cli_it
