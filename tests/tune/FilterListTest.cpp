#include <gtest/gtest.h>

#include <string>

#include "tune/BandMatcher.h"
#include "tune/FilterText.h"
#include "tune/TuneSamples.h"

namespace arvestra {
namespace {

TEST(FilterList, ReadsTheSevenPeakingFiltersOfAMeasurementProgramsFile) {
    const FilterList list = ParseFilterList(tune_samples::kRoomFilters);
    ASSERT_TRUE(list.Ok()) << list.error;
    ASSERT_EQ(list.filters.size(), 7u);
    EXPECT_TRUE(list.problems.empty()) << FormatRemarks(list.problems);
    EXPECT_EQ(list.filters[0].line, 10);
    EXPECT_DOUBLE_EQ(list.filters[0].frequencyHz, 42.5);
    EXPECT_DOUBLE_EQ(list.filters[0].gainDb, -11.0);
    EXPECT_DOUBLE_EQ(list.filters[0].q, 6.2);
    EXPECT_DOUBLE_EQ(list.filters[6].frequencyHz, 1850.0);
}

TEST(FilterList, ReportsShelvesAndNotesPreampAndSwitchedOffFilters) {
    const FilterList list = ParseFilterList(tune_samples::kApoFilters);
    ASSERT_TRUE(list.Ok());
    ASSERT_EQ(list.filters.size(), 2u);
    ASSERT_EQ(list.problems.size(), 1u);
    EXPECT_EQ(list.problems[0].line, 4);
    EXPECT_NE(list.problems[0].text.find("low shelf (LSC)"), std::string::npos);
    ASSERT_EQ(list.notes.size(), 2u);
    EXPECT_EQ(list.notes[0].line, 1);  // the preamp
    EXPECT_EQ(list.notes[1].line, 5);  // the switched-off filter
}

struct BadLine {
    const char* line;
    const char* problem;  // a part of the problem's text; null: imported without a problem
    int filters;
};

class FilterLineProblems : public testing::TestWithParam<BadLine> {};

TEST_P(FilterLineProblems, NameTheLineAndWhatIsWrong) {
    const BadLine& c = GetParam();
    const FilterList list = ParseFilterList(std::string("Equaliser: Generic\n") + c.line + "\n");
    ASSERT_TRUE(list.Ok()) << list.error;
    EXPECT_EQ(static_cast<int>(list.filters.size()), c.filters);
    if (c.problem == nullptr) {
        EXPECT_TRUE(list.problems.empty()) << FormatRemarks(list.problems);
        return;
    }
    ASSERT_EQ(list.problems.size(), 1u);
    EXPECT_EQ(list.problems[0].line, 2);
    EXPECT_NE(list.problems[0].text.find(c.problem), std::string::npos) << list.problems[0].text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FilterLineProblems,
    testing::Values(BadLine{"Filter 1: ON PK Fc nan Hz Gain 3 dB Q 1", "not a finite", 0},
                    BadLine{"Filter 1: ON PK Fc 100 Hz Gain x dB Q 1", "\"x\" is not a number", 0},
                    BadLine{"Filter 1: ON PK Fc 100 Hz Q 1", "Gain is missing", 0},
                    BadLine{"Filter 1: ON PK Fc 100 Hz Gain 3 dB Q 0", "Q must be above 0", 0},
                    BadLine{"Filter 1: ON PK Fc 100 Hz Gain 3 dB Q inf", "not a finite", 0},
                    BadLine{"Filter 1: ON HP Fc 80 Hz", "high-pass (HP)", 0},
                    BadLine{"Filter 1: ON PK Fc 25000 Hz Gain 3 dB Q 1", "imported at 20000 Hz", 1},
                    BadLine{"Filter 1: ON PK Fc 100 Hz Gain 18 dB Q 1", "imported as 12.0 dB", 1},
                    BadLine{"Filter 1: ON PK Fc 100 Hz Gain -60 dB Q 1", "as -49.5 dB", 1},
                    BadLine{"Filter 1: ON PK Fc 2.5 kHz Gain 3 dB BW Oct 1.0", nullptr, 1},
                    BadLine{"Filter: ON PK Fc 100 Hz Gain 3 dB Q 1", nullptr, 1}));

TEST(FilterList, AnEleventhPeakingFilterIsAProblemAndNotImported) {
    std::string text;
    for (int i = 1; i <= 11; ++i) {
        text += "Filter " + std::to_string(i) + ": ON PK Fc " + std::to_string(100 * i) +
                " Hz Gain -3 dB Q 2\n";
    }
    const FilterList list = ParseFilterList(text);
    EXPECT_EQ(list.filters.size(), 10u);
    ASSERT_EQ(list.problems.size(), 1u);
    EXPECT_EQ(list.problems[0].line, 11);
}

TEST(FilterList, TextWithoutFilterLinesIsAnError) {
    for (const char* text :
         {"", "hello world\n", "Filter Settings file\n\nNotes: none\n", "\x01\x02\xff binary"}) {
        EXPECT_FALSE(ParseFilterList(text).Ok()) << text;
    }
}

TEST(BandMatch, MatchingResponsesComesWithinHalfADecibelWhereNearestNumbersDoNot) {
    const FilterList list = ParseFilterList(tune_samples::kRoomFilters);
    const BandMatch match = MatchFilters(list.filters);
    EXPECT_LE(match.total.rmsDb, 0.5);
    EXPECT_GT(match.nearestNumbers.rmsDb, 2.0 * match.total.rmsDb);
    // The bands beyond the seven filters stay flat.
    for (int i = 7; i < kParametricBandCount; ++i) {
        EXPECT_EQ(match.bands[static_cast<std::size_t>(i)].gain, ParametricBandCodes::kFlatGain);
    }
    std::printf(
        "[ measure  ] 7 filters: matched %.2f dB RMS (%.2f dB worst); nearest numbers "
        "%.2f dB RMS (%.2f dB worst)\n",
        match.total.rmsDb, match.total.maxDb, match.nearestNumbers.rmsDb,
        match.nearestNumbers.maxDb);
}

// The device's cut is narrower than its boost: a cut needs a wider bandwidth code than the same
// boost to match the same cookbook filter.
TEST(BandMatch, ACutTakesAWiderBandwidthThanTheSameBoost) {
    const BandMatch boost = MatchFilters({{1, 1000.0, 9.0, 2.0}});
    const BandMatch cut = MatchFilters({{1, 1000.0, -9.0, 2.0}});
    EXPECT_GT(cut.bands[0].bandwidth, boost.bands[0].bandwidth);
    EXPECT_LE(boost.total.rmsDb, 0.3);
    EXPECT_LE(cut.total.rmsDb, 0.3);
}

TEST(FilterListExport, ReadsBackToTheSameBands) {
    ParametricCodes bands{};
    bands[0] = {16, 14, 80, false};   // 63 Hz, -8.5 dB
    bands[1] = {46, 21, 103, false};  // 500 Hz, +3 dB
    bands[2] = {76, 25, 91, true};    // bypassed
    const std::string text = FormatFilterList(bands, false, "Ch 1");
    const FilterList list = ParseFilterList(text);
    ASSERT_TRUE(list.Ok());
    ASSERT_EQ(list.filters.size(), 2u) << text;  // the bypassed band is written switched off
    const BandMatch back = MatchFilters(list.filters);
    EXPECT_EQ(back.bands[0], bands[0]) << text;
    EXPECT_EQ(back.bands[1], bands[1]) << text;
    EXPECT_NE(text.find("Filter  3: OFF PK"), std::string::npos) << text;
    EXPECT_NE(text.find("Filter  4: ON  None"), std::string::npos) << text;
}

}  // namespace
}  // namespace arvestra
