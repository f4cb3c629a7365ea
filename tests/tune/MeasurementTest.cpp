#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "tune/Measurement.h"
#include "tune/TextFileReader.h"

namespace arvestra {
namespace {

TEST(Measurement, ReadsAMeasurementProgramsExportWithCommentsAndPhase) {
    const auto result = Measurement::Parse(
        "* Measurement data measured by Room EQ V5.31\n"
        "* Source: Main left\n"
        "* Freq(Hz) SPL(dB) Phase(degrees)\n"
        "20.000 78.5 -12.0\n"
        "20.5\t79.0\t-11.0\n"
        "21.0, 80.0, -10.0\n");
    ASSERT_TRUE(result.Ok()) << result.error;
    ASSERT_EQ(result.measurement.Hz().size(), 3u);
    EXPECT_DOUBLE_EQ(result.measurement.Db()[2], 80.0);
}

TEST(Measurement, ReadsAPlainCsvWithAHeader) {
    const auto result = Measurement::Parse("Frequency,dB\r\n100,1.5\r\n1000,-2\r\n");
    ASSERT_TRUE(result.Ok()) << result.error;
    EXPECT_DOUBLE_EQ(result.measurement.LevelAt(100.0), 1.5);
    // Halfway in log frequency lies halfway in level.
    EXPECT_NEAR(result.measurement.LevelAt(std::sqrt(100.0 * 1000.0)), -0.25, 1e-12);
    // Held at the ends.
    EXPECT_DOUBLE_EQ(result.measurement.LevelAt(10.0), 1.5);
    EXPECT_DOUBLE_EQ(result.measurement.LevelAt(20000.0), -2.0);
}

struct BadMeasurement {
    const char* text;
    const char* error;
};

class MeasurementErrors : public testing::TestWithParam<BadMeasurement> {};

TEST_P(MeasurementErrors, SayWhatAndWhere) {
    const auto result = Measurement::Parse(GetParam().text);
    ASSERT_FALSE(result.Ok());
    EXPECT_NE(result.error.find(GetParam().error), std::string::npos) << result.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MeasurementErrors,
    testing::Values(BadMeasurement{"", "no measurement points"},
                    BadMeasurement{"* only words\nfrequency level\n", "no measurement points"},
                    BadMeasurement{"100 1\n", "only one"},
                    BadMeasurement{"100 1\n90 2\n", "line 2: frequency 90.0 Hz is below"},
                    BadMeasurement{"100 1\n100 2\n", "line 2: frequency 100.0 Hz repeats"},
                    BadMeasurement{"100 1\n200 nan\n", "line 2: a value that is not a finite"},
                    BadMeasurement{"100 1\ninf 2\n", "line 2: a value that is not a finite"},
                    BadMeasurement{"0 1\n200 2\n", "line 1: the frequency must be above 0"},
                    BadMeasurement{"100 1\n200 1e308\n", "line 2: a level beyond"},
                    BadMeasurement{"100 1\n200\n", "line 2: a frequency without a level"},
                    BadMeasurement{"100 1\n200 x\n", "line 2: \"x\" is not a level"},
                    BadMeasurement{"100 1\n200 2\nabc 3\n", "line 3: \"abc\" is not a frequency"}));

TEST(Measurement, MeanOverARangeWeighsOctavesAlike) {
    // 0 dB over the lowest octave, 10 dB from the second octave up.
    const Measurement m({100, 200, 201, 400}, {0, 0, 10, 10});
    EXPECT_NEAR(m.MeanOver(100, 400), 5.0, 0.2);
    EXPECT_TRUE(std::isnan(m.MeanOver(500, 1000)));
}

TEST(TuneTextFile, RefusesAHundredMegabyteFileByItsSizeUnread) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tune-big-" + std::to_string(::getpid()));
    { std::ofstream(path).put('1'); }
    std::filesystem::resize_file(path, 100u * 1024u * 1024u);  // sparse: nothing to read
    const TextFileResult result = ReadTuneTextFile(path.string());
    std::filesystem::remove(path);
    ASSERT_FALSE(result.Ok());
    EXPECT_NE(result.error.find("100 MB"), std::string::npos) << result.error;
    EXPECT_TRUE(result.text.empty());
}

TEST(TuneTextFile, ReadsASmallFileAndNamesAMissingOne) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tune-small-" + std::to_string(::getpid()));
    { std::ofstream(path) << "100 1\n200 2\n"; }
    EXPECT_EQ(ReadTuneTextFile(path.string()).text, "100 1\n200 2\n");
    std::filesystem::remove(path);
    EXPECT_FALSE(ReadTuneTextFile(path.string()).Ok());
}

}  // namespace
}  // namespace arvestra
