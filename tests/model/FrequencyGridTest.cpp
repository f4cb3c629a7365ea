#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/FilterDesign.h"
#include "model/FrequencyGrid.h"
#include "model/Scales.h"

namespace arvestra {
namespace {

std::span<const double> FrequencyScale() {
    return ScaleTable(Scale::Frequency);
}

struct SizeCase {
    int extraPoints;
    int expectedSize;
    int expectedExtraPoints;
};

class GridSize : public testing::TestWithParam<SizeCase> {};

TEST_P(GridSize, Is101Plus100PerExtraPoint) {
    const SizeCase& c = GetParam();
    const FrequencyGrid grid(FrequencyScale(), c.extraPoints);
    EXPECT_EQ(grid.Size(), c.expectedSize);
    EXPECT_EQ(grid.ExtraPoints(), c.expectedExtraPoints);
    EXPECT_EQ(FrequencyGrid::PointCount(101, c.extraPoints), c.expectedSize);
    for (int power = 1; power <= FrequencyGrid::kMaxPower; ++power) {
        EXPECT_EQ(static_cast<int>(grid.PowerRe(power).size()), c.expectedSize);
        EXPECT_EQ(static_cast<int>(grid.PowerIm(power).size()), c.expectedSize);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryDensity, GridSize,
                         testing::Values(SizeCase{0, 101, 0}, SizeCase{1, 201, 1},
                                         SizeCase{2, 301, 2}, SizeCase{3, 401, 3},
                                         SizeCase{4, 501, 4}, SizeCase{5, 601, 5},
                                         SizeCase{6, 701, 6}, SizeCase{7, 801, 7},
                                         // Out-of-range densities are limited, never trusted.
                                         SizeCase{-1, 101, 0}, SizeCase{8, 801, 7},
                                         SizeCase{1000, 801, 7}));

TEST(FrequencyGrid, WithoutExtraPointsIsTheFrequencyScaleInSinglePrecision) {
    const FrequencyGrid grid(FrequencyScale(), 0);
    ASSERT_EQ(grid.Size(), 101);
    for (int code = 0; code <= 100; ++code) {
        EXPECT_EQ(grid.Frequencies()[code], static_cast<float>(FrequencyScale()[code])) << code;
    }
    EXPECT_EQ(grid.Frequencies()[0], 20.0f);
    EXPECT_EQ(grid.Frequencies()[56], 1000.0f);
    EXPECT_EQ(grid.Frequencies()[100], 20000.0f);
}

TEST(FrequencyGrid, ExtraPointsStepByEqualRatiosFromThePreviousPoint) {
    for (int n = 1; n <= FrequencyGrid::kMaxExtraPoints; ++n) {
        const FrequencyGrid grid(FrequencyScale(), n);
        const auto f = grid.Frequencies();
        for (int code = 1; code <= 100; ++code) {
            const double u = FrequencyScale()[code - 1];
            const double v = FrequencyScale()[code];
            const double ratio = std::pow(v / u, 1.0 / (n + 1));
            const int base = (code - 1) * (n + 1);
            EXPECT_EQ(f[base], static_cast<float>(u));
            for (int k = 1; k <= n; ++k) {
                // Each extra point is the previous single-precision point times the ratio.
                EXPECT_EQ(f[base + k], static_cast<float>(f[base + k - 1] * ratio));
                EXPECT_GT(f[base + k], f[base + k - 1]);
            }
            EXPECT_EQ(f[base + n + 1], static_cast<float>(v));
            EXPECT_GT(f[base + n + 1], f[base + n]);
        }
    }
}

TEST(FrequencyGrid, PowersOfZAreTheUnitCircleAtMultiplesOfTheAngle) {
    const FrequencyGrid grid(FrequencyScale(), 3);
    for (int i : {0, 1, 200, 223, 400}) {
        const double w = static_cast<double>(grid.Frequencies()[i]) * 2 * 3.1415926535 / 48000;
        for (int power = 1; power <= 4; ++power) {
            EXPECT_NEAR(grid.PowerRe(power)[i], std::cos(power * w), 1e-15);
            EXPECT_NEAR(grid.PowerIm(power)[i], -std::sin(power * w), 1e-15);
        }
    }
}

TEST(FrequencyGrid, EmptyScaleGivesAnEmptyGrid) {
    const FrequencyGrid grid(std::span<const double>{}, 3);
    EXPECT_EQ(grid.Size(), 0);
    EXPECT_EQ(FrequencyGrid::PointCount(0, 3), 0);
}

}  // namespace
}  // namespace arvestra
