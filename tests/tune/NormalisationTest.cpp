#include <gtest/gtest.h>

#include <cmath>

#include "tune/Normalisation.h"
#include "tune/OverlayCurves.h"

namespace arvestra {
namespace {

struct NormalisationText {
    const char* text;
    bool valid;
    const char* formatted;  // how the parsed normalisation is written back
};

class NormalisationTexts : public testing::TestWithParam<NormalisationText> {};

TEST_P(NormalisationTexts, ReadBackAsWritten) {
    const NormalisationText& c = GetParam();
    const std::optional<Normalisation> n = ParseNormalisation(c.text);
    ASSERT_EQ(n.has_value(), c.valid) << c.text;
    if (n) {
        EXPECT_EQ(FormatNormalisation(*n), c.formatted);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, NormalisationTexts,
    testing::Values(NormalisationText{"mean 200-2000", true, "mean 200.0-2000.0"},
                    NormalisationText{" at 1000 ", true, "at 1000.0"},
                    NormalisationText{"AT 63.5", true, "at 63.5"},
                    NormalisationText{"mean 2000-200", false, ""},
                    NormalisationText{"mean 200", false, ""}, NormalisationText{"at -5", false, ""},
                    NormalisationText{"at nan", false, ""},
                    NormalisationText{"median 1-2", false, ""}));

TEST(Normalise, BringsTheChosenLevelToZero) {
    const Measurement m({100, 1000, 10000}, {80, 90, 70});
    Normalisation at;
    at.kind = Normalisation::Kind::AtFrequency;
    at.atHz = 1000;
    EXPECT_DOUBLE_EQ(Normalise(m, at).measurement.LevelAt(1000), 0.0);
    Normalisation mean;
    mean.lowHz = 100;
    mean.highHz = 10000;
    const NormaliseResult byMean = Normalise(m, mean);
    EXPECT_NEAR(byMean.measurement.MeanOver(100, 10000), 0.0, 1e-9);
    at.atHz = 50000;
    EXPECT_FALSE(Normalise(m, at).error.empty());
    mean.lowHz = 20000;
    mean.highHz = 30000;
    EXPECT_FALSE(Normalise(m, mean).error.empty());
}

TEST(OverlayOnGrid, AddsTheEqWhereTheMeasurementReachesAndNothingElsewhere) {
    const Measurement m({100, 1000}, {-2, 4});
    const float grid[] = {50.0f, 100.0f, 1000.0f, 2000.0f};
    const double eq[] = {1.0, 1.0, -3.0, 1.0};
    const OverlayCurves curves = OverlayOnGrid(m, grid, eq);
    EXPECT_TRUE(std::isnan(curves.measuredDb[0]));
    EXPECT_TRUE(std::isnan(curves.resultDb[3]));
    EXPECT_DOUBLE_EQ(curves.measuredDb[1], -2.0);
    EXPECT_DOUBLE_EQ(curves.resultDb[1], -1.0);
    EXPECT_DOUBLE_EQ(curves.resultDb[2], 1.0);
}

}  // namespace
}  // namespace arvestra
