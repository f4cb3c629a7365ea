// arvestra-cli response --format: CSV, SVG and PNG written to standard output.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// The size a PNG states in its header (width, height), or zeros.
std::pair<int, int> PngSize(const std::string& png) {
    if (png.size() < 24) return {0, 0};
    auto at = [&](std::size_t i) {
        return (static_cast<unsigned char>(png[i]) << 24) |
               (static_cast<unsigned char>(png[i + 1]) << 16) |
               (static_cast<unsigned char>(png[i + 2]) << 8) |
               static_cast<unsigned char>(png[i + 3]);
    };
    return {static_cast<int>(at(16)), static_cast<int>(at(20))};
}

TEST(CliResponseFormats, GraphWidthSetsThePictureSize) {
    TestDirectory dir;
    const std::string file = dir.File("hall.kvx");
    ASSERT_EQ(RunCli({"new", file}).status, 0);
    auto run = [&](const std::string& format, const std::vector<std::string>& more) {
        std::vector<std::string> args = {"response", file, "-a", "1", "-c", "1", "-f", format};
        args.insert(args.end(), more.begin(), more.end());
        return RunCli(args);
    };
    const CliRun wide = run("png", {"--graph-width", "1200"});
    if (wide.status == 1 && wide.err.find("without Qt") != std::string::npos) {
        GTEST_SKIP() << "a build without Qt draws no pictures";
    }
    ASSERT_EQ(wide.status, 0) << wide.err;
    EXPECT_EQ(PngSize(wide.out), std::make_pair(1200, 600));
    EXPECT_EQ(PngSize(run("png", {}).out), std::make_pair(800, 400));  // the default stays
    EXPECT_THAT(run("svg", {"--graph-width", "1000"}).out, HasSubstr("viewBox=\"0 0 1000 500\""));
}

}  // namespace
}  // namespace arvestra::cli_it
