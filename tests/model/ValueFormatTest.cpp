#include "model/ValueFormat.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "model/Scales.h"

namespace arvestra {
namespace {

struct FormatCase {
    const char* label;
    std::function<std::string()> format;
    std::string expected;
};

class Formats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Formats, ShowTheValueInItsFixedFormat) {
    EXPECT_EQ(GetParam().format(), GetParam().expected) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Quantities, Formats,
    ::testing::Values(
        FormatCase{"band frequency",
                   [] { return FormatParametricFrequency(valueOf(Scale::Frequency, 50)); },
                   "669 Hz"},
        FormatCase{"band frequency 1k", [] { return FormatParametricFrequency(1000); }, "1000 Hz"},
        FormatCase{"bandwidth", [] { return FormatBandwidth(valueOf(Scale::Bandwidth, 19)); },
                   "1.00"},
        FormatCase{"narrow bandwidth", [] { return FormatBandwidth(valueOf(Scale::Bandwidth, 2)); },
                   "0.06"},
        FormatCase{"gain", [] { return FormatDecibels(valueOf(Scale::ParametricGain, 35)); },
                   "-30.5 dB"},
        FormatCase{"level", [] { return FormatDecibels(valueOf(Scale::Level, 192)); }, "0.0 dB"},
        FormatCase{"band tip",
                   [] { return FormatBandTip(3, valueOf(Scale::Frequency, 61), 0.2, -44.0); },
                   "Band 3: 1414 Hz, 0.20 bw, -44.0 dB"},
        FormatCase{"cut-off", [] { return FormatCutoff(valueOf(Scale::Frequency, 1)); }, "22"},
        FormatCase{"crossover", [] { return FormatCrossover(valueOf(Scale::Frequency, 56)); },
                   "1000"},
        FormatCase{"release", [] { return FormatRelease(valueOf(Scale::Release, 82)); }, "2550"},
        FormatCase{"attack 1 ms", [] { return FormatAttack(valueOf(Scale::Attack, 10)); }, "1"},
        FormatCase{"attack 200 ms", [] { return FormatAttack(200); }, "200"},
        FormatCase{"attack below 1 ms", [] { return FormatAttack(valueOf(Scale::Attack, 0)); },
                   "0.05"},
        FormatCase{"attack 0.5 ms", [] { return FormatAttack(0.5); }, "0.50"},
        FormatCase{"attack just below 1", [] { return FormatAttack(0.999); }, "1.00"},
        FormatCase{"ratio", [] { return FormatRatio(valueOf(Scale::Ratio, 1)); }, "1.20"},
        FormatCase{"ratio top", [] { return FormatRatio(valueOf(Scale::Ratio, 39)); }, "20.00"},
        FormatCase{"threshold", [] { return FormatThreshold(valueOf(Scale::Threshold, 100)); },
                   "-50.0"},
        FormatCase{"axis zero", [] { return FormatGainAxisLabel(0); }, "+0"},
        FormatCase{"axis positive", [] { return FormatGainAxisLabel(12); }, "+12"},
        FormatCase{"axis negative", [] { return FormatGainAxisLabel(-20); }, "-20"},
        FormatCase{"delay seconds", [] { return FormatDelaySeconds(1.0 / 48000); }, "0.000021"},
        FormatCase{"feet", [] { return FormatFeet(0.04); }, "0.0"},
        FormatCase{"metres", [] { return FormatMetres(12.35); }, "12.3"},
        FormatCase{"temperature", [] { return FormatTemperature(68.0); }, "68.0"}));

TEST(Formats, HugeAndNonFiniteValuesAreShownWhole) {
    const std::string huge = FormatCutoff(1e300);
    EXPECT_EQ(huge.size(), 301u);
    EXPECT_EQ(huge.substr(0, 4), "1000");
    EXPECT_EQ(FormatDecibels(std::numeric_limits<double>::quiet_NaN()), "nan dB");
    EXPECT_EQ(FormatRatio(-std::numeric_limits<double>::infinity()), "-inf");
}

}  // namespace
}  // namespace arvestra
