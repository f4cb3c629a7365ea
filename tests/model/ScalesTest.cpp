#include "model/Scales.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace arvestra {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct ValueCase {
    Scale scale;
    int code;
    double value;  // the decimal value, compared exactly
};

std::ostream& operator<<(std::ostream& os, const ValueCase& c) {
    return os << "scale " << static_cast<int>(c.scale) << " code " << c.code << " = " << c.value;
}

class ExactValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ExactValues, EntryIsTheNearestDoubleToTheDecimal) {
    const ValueCase& c = GetParam();
    EXPECT_EQ(valueOf(c.scale, c.code), c.value) << "code " << c.code;
}

INSTANTIATE_TEST_SUITE_P(
    TellingValues, ExactValues,
    ::testing::Values(
        ValueCase{Scale::Frequency, 0, 20}, ValueCase{Scale::Frequency, 6, 31.5},
        ValueCase{Scale::Frequency, 56, 1000}, ValueCase{Scale::Frequency, 96, 16000},
        ValueCase{Scale::Frequency, 100, 20000}, ValueCase{Scale::GraphicGain, 0, -15},
        ValueCase{Scale::GraphicGain, 30, 0}, ValueCase{Scale::GraphicGain, 60, 15},
        ValueCase{Scale::ParametricGain, 0, -49.5}, ValueCase{Scale::ParametricGain, 8, -45.5},
        ValueCase{Scale::ParametricGain, 9, -44.0}, ValueCase{Scale::ParametricGain, 34, -31.5},
        ValueCase{Scale::ParametricGain, 35, -30.5}, ValueCase{Scale::ParametricGain, 36, -30.5},
        ValueCase{Scale::ParametricGain, 97, 0.0}, ValueCase{Scale::ParametricGain, 121, 12.0},
        ValueCase{Scale::Bandwidth, 0, 0.05}, ValueCase{Scale::Bandwidth, 1, 0.055},
        ValueCase{Scale::Bandwidth, 3, 0.065}, ValueCase{Scale::Bandwidth, 10, 0.1},
        ValueCase{Scale::Bandwidth, 11, 0.2}, ValueCase{Scale::Bandwidth, 12, 0.3},
        ValueCase{Scale::Bandwidth, 16, 0.7}, ValueCase{Scale::Bandwidth, 19, 1.0},
        ValueCase{Scale::Bandwidth, 39, 3.0}, ValueCase{Scale::GraphicQ, 0, 1.0},
        ValueCase{Scale::GraphicQ, 6, 4.0}, ValueCase{Scale::GraphicQ, 12, 7.0},
        ValueCase{Scale::GraphicQ, 18, 10.0}, ValueCase{Scale::Attack, 0, 0.05},
        ValueCase{Scale::Attack, 3, 0.3}, ValueCase{Scale::Attack, 9, 0.9},
        ValueCase{Scale::Attack, 10, 1}, ValueCase{Scale::Attack, 59, 50},
        ValueCase{Scale::Attack, 60, 60}, ValueCase{Scale::Attack, 74, 200},
        ValueCase{Scale::Attack, 79, 250}, ValueCase{Scale::Attack, 80, 350},
        ValueCase{Scale::Attack, 100, 2350}, ValueCase{Scale::Release, 0, 1},
        ValueCase{Scale::Release, 49, 50}, ValueCase{Scale::Release, 50, 60},
        ValueCase{Scale::Release, 59, 150}, ValueCase{Scale::Release, 60, 170},
        ValueCase{Scale::Release, 68, 250}, ValueCase{Scale::Release, 69, 350},
        ValueCase{Scale::Release, 76, 1050}, ValueCase{Scale::Release, 77, 1300},
        ValueCase{Scale::Release, 82, 2550}, ValueCase{Scale::Release, 95, 5800},
        ValueCase{Scale::Threshold, 0, -100}, ValueCase{Scale::Threshold, 100, -50},
        ValueCase{Scale::Threshold, 199, -0.5}, ValueCase{Scale::Threshold, 200, 0},
        ValueCase{Scale::Ratio, 0, 1.0}, ValueCase{Scale::Ratio, 1, 1.2},
        ValueCase{Scale::Ratio, 7, 2.4}, ValueCase{Scale::Ratio, 25, 6.0},
        ValueCase{Scale::Ratio, 26, 7}, ValueCase{Scale::Ratio, 39, 20},
        ValueCase{Scale::CompressorGain, 0, -20}, ValueCase{Scale::CompressorGain, 40, 0},
        ValueCase{Scale::CompressorGain, 80, 20}, ValueCase{Scale::PinkNoiseLevel, 0, -40},
        ValueCase{Scale::PinkNoiseLevel, 80, 0}, ValueCase{Scale::Level, 152, -20},
        ValueCase{Scale::Level, 192, 0}, ValueCase{Scale::Level, 193, 0.5},
        ValueCase{Scale::Level, 232, 20}, ValueCase{Scale::Delay, 48000, 1.0},
        ValueCase{Scale::Delay, 65536, 65536 / 48000.0}, ValueCase{Scale::Temperature, 680, 68.0},
        ValueCase{Scale::Temperature, 1500, 150.0}, ValueCase{Scale::None, 7, 7}));

// Codes from a corrupt image: low 8 bits, then the ends of the table.
INSTANTIATE_TEST_SUITE_P(
    BoundedCodes, ExactValues,
    ::testing::Values(
        ValueCase{Scale::Frequency, 101, 20000}, ValueCase{Scale::Frequency, 255, 20000},
        ValueCase{Scale::Frequency, 256, 20}, ValueCase{Scale::Frequency, 256 + 56, 1000},
        ValueCase{Scale::Frequency, -1, 20000}, ValueCase{Scale::Frequency, INT_MIN, 20},
        ValueCase{Scale::Bandwidth, 200, 3.0}, ValueCase{Scale::ParametricGain, 127, 12.0},
        ValueCase{Scale::Threshold, 255, 0.0}, ValueCase{Scale::Level, 0, -20},
        ValueCase{Scale::Level, 151, -20}, ValueCase{Scale::Level, 255, 20},
        ValueCase{Scale::Delay, -5, 0.0}, ValueCase{Scale::Delay, INT_MAX, 0xFFFFFF / 48000.0},
        ValueCase{Scale::Temperature, -1, 0.0}, ValueCase{Scale::Temperature, INT_MAX, 6553.5},
        ValueCase{Scale::None, 300, 255}, ValueCase{Scale::None, -3, 0},
        ValueCase{static_cast<Scale>(99), 5, 0.0}));

struct FrequencyExample {
    int code;
    double hz;
    double tolerance;  // half a unit in the last printed digit
};

class FrequencyExamples : public ::testing::TestWithParam<FrequencyExample> {};

TEST_P(FrequencyExamples, FollowTheAnchorRule) {
    EXPECT_NEAR(valueOf(Scale::Frequency, GetParam().code), GetParam().hz, GetParam().tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FrequencyExamples,
    ::testing::Values(FrequencyExample{1, 21.544, 0.0005}, FrequencyExample{7, 33.439, 0.0005},
                      FrequencyExample{50, 668.77, 0.005}, FrequencyExample{61, 1414.2136, 0.00005},
                      FrequencyExample{88, 9283.18, 0.005}, FrequencyExample{97, 16917.94, 0.005}));

TEST(FrequencyScale, ThirdOctaveAnchorsSitAtTheirCodes) {
    struct Anchor {
        double hz;
        int code;
    };
    const Anchor anchors[] = {
        {20, 0},     {25, 3},     {31.5, 6},   {40, 10},   {50, 13},   {63, 16},   {80, 20},
        {100, 23},   {125, 26},   {160, 30},   {200, 33},  {250, 36},  {315, 39},  {400, 43},
        {500, 46},   {630, 49},   {800, 53},   {1000, 56}, {1250, 59}, {1600, 63}, {2000, 66},
        {2500, 69},  {3150, 73},  {4000, 76},  {5000, 79}, {6300, 83}, {8000, 86}, {10000, 89},
        {12500, 92}, {16000, 96}, {20000, 100}};
    for (const Anchor& a : anchors) EXPECT_EQ(valueOf(Scale::Frequency, a.code), a.hz) << a.code;
}

TEST(FrequencyScale, Code61IsSquareRootOfTwoKilohertzAndTheScaleRises) {
    EXPECT_NEAR(valueOf(Scale::Frequency, 61), 1000 * std::sqrt(2.0), 1e-9);
    for (int c = 1; c <= 100; ++c) {
        EXPECT_GT(valueOf(Scale::Frequency, c), valueOf(Scale::Frequency, c - 1)) << c;
    }
}

TEST(ParametricGainScale, SkipsMinus45AndMinus44Point5AndMinus31) {
    for (int c = 0; c <= 121; ++c) {
        const double v = valueOf(Scale::ParametricGain, c);
        EXPECT_NE(v, -45.0);
        EXPECT_NE(v, -44.5);
        EXPECT_NE(v, -31.0);
    }
}

struct NearestCase {
    Scale scale;
    double value;
    int code;
};

std::ostream& operator<<(std::ostream& os, const NearestCase& c) {
    return os << "scale " << static_cast<int>(c.scale) << " value " << c.value << " -> " << c.code;
}

class Nearest : public ::testing::TestWithParam<NearestCase> {};

TEST_P(Nearest, FindsNearestCodeWithTiesGoingUp) {
    const NearestCase& c = GetParam();
    EXPECT_EQ(nearestCode(c.scale, c.value), c.code) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    TypedValues, Nearest,
    ::testing::Values(
        NearestCase{Scale::Frequency, 19, 0}, NearestCase{Scale::Frequency, 20, 0},
        NearestCase{Scale::Frequency, 25000, 100}, NearestCase{Scale::Frequency, 20000, 100},
        NearestCase{Scale::Frequency, 1030, 56}, NearestCase{Scale::Frequency, 1000, 56},
        NearestCase{Scale::ParametricGain, -45.2, 8}, NearestCase{Scale::ParametricGain, -44.75, 9},
        NearestCase{Scale::ParametricGain, -30.5, 36},
        NearestCase{Scale::ParametricGain, -30.75, 35}, NearestCase{Scale::ParametricGain, -60, 0},
        NearestCase{Scale::ParametricGain, 12.0, 121}, NearestCase{Scale::Attack, 500, 82},
        NearestCase{Scale::Attack, 0.5, 5}, NearestCase{Scale::Attack, 0.07, 0},
        NearestCase{Scale::Attack, 0.08, 1}, NearestCase{Scale::Release, 160, 60},
        NearestCase{Scale::Release, 159.9, 59}, NearestCase{Scale::Ratio, 6.5, 26},
        NearestCase{Scale::Ratio, 1.15, 1}, NearestCase{Scale::Ratio, 1.05, 0},
        NearestCase{Scale::Threshold, -50.2, 100}, NearestCase{Scale::Threshold, -50.25, 100},
        NearestCase{Scale::Threshold, 3, 200}, NearestCase{Scale::GraphicQ, 7.0, 12},
        NearestCase{Scale::GraphicQ, 4.0, 6}, NearestCase{Scale::Level, 0.0, 192},
        NearestCase{Scale::Level, -99, 152}, NearestCase{Scale::Level, 0.25, 193},
        NearestCase{Scale::Delay, 2.0, 65536}, NearestCase{Scale::Temperature, 68.0, 680},
        NearestCase{Scale::None, 3.5, 4}));

INSTANTIATE_TEST_SUITE_P(
    NonFiniteAndHuge, Nearest,
    ::testing::Values(
        NearestCase{Scale::Frequency, kNaN, 0}, NearestCase{Scale::Frequency, kInf, 100},
        NearestCase{Scale::Frequency, -kInf, 0}, NearestCase{Scale::Frequency, 1e300, 100},
        NearestCase{Scale::ParametricGain, kNaN, 0}, NearestCase{Scale::ParametricGain, -1e300, 0},
        NearestCase{Scale::Attack, 1e300, 100}, NearestCase{Scale::Release, kInf, 95},
        NearestCase{Scale::Threshold, kNaN, 0}, NearestCase{Scale::Ratio, 1e300, 39},
        NearestCase{Scale::Level, kNaN, 152}, NearestCase{Scale::Level, 1e300, 232},
        NearestCase{Scale::Delay, kNaN, 0}, NearestCase{Scale::Delay, 1e300, 65536},
        NearestCase{Scale::Delay, -kInf, 0}, NearestCase{Scale::Temperature, kNaN, 0},
        NearestCase{Scale::Temperature, 1e300, 1500}, NearestCase{Scale::None, kNaN, 0},
        NearestCase{Scale::None, 1e300, 255}, NearestCase{static_cast<Scale>(99), 5.0, 0}));

struct BandwidthCase {
    int frequencyCode;
    int bandwidthCode;
    int effective;
};

class EffectiveBandwidth : public ::testing::TestWithParam<BandwidthCase> {};

TEST_P(EffectiveBandwidth, WalksToAWidthTheBandCanHave) {
    const BandwidthCase& c = GetParam();
    EXPECT_EQ(effectiveBandwidth(c.frequencyCode, c.bandwidthCode), c.effective);
}

INSTANTIATE_TEST_SUITE_P(Edges, EffectiveBandwidth,
                         ::testing::Values(BandwidthCase{0, 0, 11}, BandwidthCase{0, 10, 11},
                                           BandwidthCase{0, 11, 11}, BandwidthCase{0, 39, 39},
                                           BandwidthCase{100, 39, 14}, BandwidthCase{100, 14, 14},
                                           BandwidthCase{100, 0, 0}, BandwidthCase{76, 39, 38},
                                           BandwidthCase{50, 19, 19}, BandwidthCase{5, 0, 8},
                                           BandwidthCase{13, 0, 0},
                                           // Out-of-range inputs are bounded before the walk.
                                           BandwidthCase{0, 1000, 39}, BandwidthCase{100, 255, 14},
                                           BandwidthCase{300, 0, 0},
                                           BandwidthCase{INT_MIN, INT_MIN, 11},
                                           BandwidthCase{INT_MAX, INT_MAX, 14}));

TEST(EffectiveBandwidthGrid, ResultAlwaysFitsTheBand) {
    // Every frequency and stored width ends on a width whose walk condition holds.
    for (int f = 0; f <= 100; ++f) {
        for (int w = 0; w <= 39; ++w) {
            const int e = effectiveBandwidth(f, w);
            ASSERT_GE(e, 0);
            ASSERT_LE(e, 39);
            if (e != w) {
                EXPECT_EQ(effectiveBandwidth(f, e), e) << f << "," << w;
            }
        }
    }
}

TEST(ScaleCodes, RangesMatchTheTables) {
    EXPECT_EQ(ScaleCodes(Scale::Frequency).highest, 100);
    EXPECT_EQ(ScaleCodes(Scale::ParametricGain).highest, 121);
    EXPECT_EQ(ScaleCodes(Scale::Release).highest, 95);
    EXPECT_EQ(ScaleCodes(Scale::Level).lowest, 152);
    EXPECT_EQ(ScaleCodes(Scale::Level).highest, 232);
    EXPECT_EQ(ScaleCodes(Scale::Delay).highest, 65536);
    EXPECT_TRUE(ScaleTable(Scale::Delay).empty());
}

}  // namespace
}  // namespace arvestra
