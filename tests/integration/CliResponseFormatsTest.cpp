// arvestra-cli response --format: CSV, SVG and PNG written to standard output.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "integration/CliHarness.h"

namespace arvestra::cli_it {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(CliResponseFormats, CsvSvgAndPngComeOutOfTheResponseVerb) {
    TestDirectory dir;
    const std::string file = dir.File("hall.kvx");
    ASSERT_EQ(RunCli({"new", file}).status, 0);
    const std::vector<std::string> common = {"response", file, "--address", "1", "--channel", "1"};
    auto run = [&](const std::string& format) {
        std::vector<std::string> args = common;
        args.insert(args.end(), {"--format", format});
        return RunCli(args);
    };
    const CliRun csv = run("csv");
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_THAT(csv.out, StartsWith("frequency_hz,level_db\n20.00,"));
    EXPECT_EQ(run("jpeg").status, 2);
    const CliRun svg = run("svg");
    if (svg.status == 1 && svg.err.find("without Qt") != std::string::npos) {
        GTEST_SKIP() << "a build without Qt draws no pictures";
    }
    ASSERT_EQ(svg.status, 0) << svg.err;
    EXPECT_THAT(svg.out, HasSubstr("<svg"));
    const CliRun png = run("png");
    ASSERT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.out.substr(0, 4), std::string("\x89PNG", 4));
}

}  // namespace
}  // namespace arvestra::cli_it
