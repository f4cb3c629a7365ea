#include "model/DelayMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/PresetImage.h"
#include "model/ValueFormat.h"

namespace arvestra {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(DelayMath, SpeedOfSoundAt68DegreesF) {
    EXPECT_DOUBLE_EQ(SpeedOfSoundFeetPerSecond(68.0), 49.0 * std::sqrt(527.4));
    EXPECT_EQ(FormatFeet(DelayFeet(48000, 680)), "1125.3");
    EXPECT_EQ(FormatMetres(DelayMetres(48000, 680)), "343.0");
    EXPECT_EQ(SpeedOfSoundFeetPerSecond(-1000.0), 0.0);  // below absolute zero: no NaN
}

TEST(DelayMath, LargestDelayShowsItsSeconds) {
    EXPECT_EQ(FormatDelaySeconds(DelaySeconds(65536)), "1.365333");
    EXPECT_EQ(FormatDelaySeconds(DelaySeconds(0)), "0.000000");
}

struct SecondsCase {
    double seconds;
    int samples;
};

class TypedSeconds : public ::testing::TestWithParam<SecondsCase> {};

TEST_P(TypedSeconds, RoundToSamplesWithin0To65536) {
    EXPECT_EQ(SamplesFromSeconds(GetParam().seconds), GetParam().samples) << GetParam().seconds;
}

INSTANTIATE_TEST_SUITE_P(
    Edges, TypedSeconds,
    ::testing::Values(SecondsCase{0.0, 0}, SecondsCase{1.0, 48000}, SecondsCase{2.0, 65536},
                      SecondsCase{-1.0, 0}, SecondsCase{0.5 / 48000 - 1e-12, 0},
                      SecondsCase{1.5 / 48000, 2}, SecondsCase{65535.0 / 48000, 65535},
                      SecondsCase{65536.4 / 48000, 65536}, SecondsCase{kNaN, 0},
                      SecondsCase{kInf, 65536}, SecondsCase{-kInf, 0}, SecondsCase{1e300, 65536},
                      SecondsCase{-1e300, 0}));

TEST(DelayMath, TwoSecondsTypedStoresBytesOneZeroZero) {
    const DelayBytes bytes = SplitDelaySamples(SamplesFromSeconds(2.0));
    EXPECT_EQ(bytes.high, 1);
    EXPECT_EQ(bytes.middle, 0);
    EXPECT_EQ(bytes.low, 0);
}

TEST(DelayMath, DistancesTypedComeBackAsTheSameSamples) {
    for (int samples : {0, 1, 480, 48000, 65536}) {
        EXPECT_EQ(SamplesFromFeet(DelayFeet(samples, 680), 680), samples);
        EXPECT_EQ(SamplesFromMetres(DelayMetres(samples, 500), 500), samples);
    }
    EXPECT_EQ(SamplesFromFeet(kNaN, 680), 0);
    EXPECT_EQ(SamplesFromMetres(1e300, 680), 65536);
    EXPECT_EQ(SamplesFromFeet(-3.0, 680), 0);
}

struct TemperatureCase {
    double typed;
    bool celsius;
    int tenths;
};

class TypedTemperature : public ::testing::TestWithParam<TemperatureCase> {};

TEST_P(TypedTemperature, BecomesTenthsOfFahrenheitWithin0To150) {
    const TemperatureCase& c = GetParam();
    EXPECT_EQ(TemperatureTenthsFromTyped(c.typed, c.celsius), c.tenths) << c.typed;
}

INSTANTIATE_TEST_SUITE_P(
    Edges, TypedTemperature,
    ::testing::Values(TemperatureCase{68.0, false, 680}, TemperatureCase{20.0, true, 680},
                      TemperatureCase{-40.0, true, 0}, TemperatureCase{-0.1, false, 0},
                      TemperatureCase{150.0, false, 1500}, TemperatureCase{150.1, false, 1500},
                      TemperatureCase{100.0, true, 1500}, TemperatureCase{72.34, false, 723},
                      TemperatureCase{72.36, false, 724}, TemperatureCase{kNaN, false, 0},
                      TemperatureCase{kNaN, true, 0}, TemperatureCase{kInf, false, 1500},
                      TemperatureCase{-kInf, true, 0}, TemperatureCase{1e300, true, 1500}));

TEST(DelayMath, ShownTemperatureInEitherUnit) {
    EXPECT_DOUBLE_EQ(ShownTemperature(680, false), 68.0);
    EXPECT_DOUBLE_EQ(ShownTemperature(680, true), 20.0);
    EXPECT_EQ(FormatTemperature(ShownTemperature(0, true)), "-17.8");
}

TEST(DelayMath, TemperatureChangeKeepsTheDistance) {
    for (int samples : {1000, 30000, 60000}) {
        const double feet = DelayFeet(samples, 680);
        const int cooler = SamplesForNewTemperature(samples, 680, 0);
        EXPECT_GT(cooler, samples);  // sound is slower in cold air
        const double halfSampleFeet = 0.5 * DelayFeet(1, 0);
        EXPECT_NEAR(DelayFeet(cooler, 0), feet, halfSampleFeet);
    }
    // A distance that needs more than the largest delay at the new temperature is limited.
    EXPECT_EQ(SamplesForNewTemperature(65536, 1500, 0), 65536);
}

}  // namespace
}  // namespace arvestra
