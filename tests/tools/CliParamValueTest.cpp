// Values of arvestra-cli parameters: codes, values with units, and the printed form.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "cli/ParamValue.h"
#include "model/Scales.h"

namespace arvestra::cli {
namespace {

using ::testing::HasSubstr;

struct ValueCase {
    const char* text;
    Scale scale;
    long long code;
    bool fromUnits;
};

class ValueAccepted : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueAccepted, GivesTheCode) {
    const ValueParse parse = ParseParamValue(GetParam().text, GetParam().scale);
    ASSERT_TRUE(parse.code) << GetParam().text << ": " << parse.error;
    EXPECT_EQ(*parse.code, GetParam().code) << GetParam().text;
    EXPECT_EQ(parse.fromUnits, GetParam().fromUnits) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValueAccepted,
    ::testing::Values(
        // Bare whole numbers are codes, whatever their range (the document limits them).
        ValueCase{"30", Scale::GraphicGain, 30, false},
        ValueCase{"-3", Scale::GraphicGain, -3, false}, ValueCase{"+7", Scale::None, 7, false},
        ValueCase{"300", Scale::Frequency, 300, false},
        ValueCase{"9223372036854775807", Scale::None, 9223372036854775807LL, false},
        // Values with units become the nearest code of the scale.
        ValueCase{"1000Hz", Scale::Frequency, 56, true},
        ValueCase{"1kHz", Scale::Frequency, 56, true},
        ValueCase{"1 kHz", Scale::Frequency, 56, true},
        ValueCase{"1KHZ", Scale::Frequency, 56, true},
        ValueCase{"1030Hz", Scale::Frequency, 56, true},
        ValueCase{"99999kHz", Scale::Frequency, 100, true},
        ValueCase{"0Hz", Scale::Frequency, 0, true},
        ValueCase{"-3dB", Scale::GraphicGain, 24, true},
        ValueCase{"+12dB", Scale::GraphicGain, 54, true},
        ValueCase{"-1000dB", Scale::GraphicGain, 0, true},
        ValueCase{"0dB", Scale::Level, 192, true}, ValueCase{"20ms", Scale::Delay, 960, true},
        ValueCase{"0.02s", Scale::Delay, 960, true}, ValueCase{"10s", Scale::Delay, 65536, true},
        ValueCase{"150ms", Scale::Release, 59, true}, ValueCase{"2.55s", Scale::Release, 82, true},
        ValueCase{"4:1", Scale::Ratio, 15, true}, ValueCase{"0.5Q", Scale::GraphicQ, 0, true},
        ValueCase{"1bw", Scale::Bandwidth, 19, true},
        ValueCase{"68F", Scale::Temperature, 680, true},
        ValueCase{"20C", Scale::Temperature, 680, true},
        ValueCase{"-40C", Scale::Temperature, 0, true},
        ValueCase{".5dB", Scale::GraphicGain, 31, true}));

struct RefusedCase {
    const char* text;
    Scale scale;
    const char* message;
};

class ValueRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(ValueRefused, SaysWhy) {
    const ValueParse parse = ParseParamValue(GetParam().text, GetParam().scale);
    EXPECT_FALSE(parse.code) << GetParam().text;
    EXPECT_THAT(parse.error, HasSubstr(GetParam().message)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValueRefused,
    ::testing::Values(
        RefusedCase{"", Scale::None, "the value is empty"},
        RefusedCase{"1.5", Scale::Frequency,
                    "not a whole code; give a value with a unit (Hz or kHz), e.g. 1.5Hz"},
        RefusedCase{"1.5", Scale::None, "is not a code"},
        RefusedCase{"+-3", Scale::GraphicGain, "is not a code"},
        RefusedCase{"99999999999999999999", Scale::None, "is not a code"},
        RefusedCase{"dB", Scale::GraphicGain, "dB is not a value"},
        RefusedCase{"abc", Scale::Frequency, "is not a value"},
        RefusedCase{"3dB", Scale::Frequency, "the unit must be Hz or kHz"},
        RefusedCase{"3ms", Scale::Temperature, "the unit must be F or C"},
        RefusedCase{"1Hz", Scale::None, "takes a plain code, without a unit"},
        RefusedCase{"1.2.3Hz", Scale::Frequency, "is not a number followed by a unit"},
        RefusedCase{"1e3Hz", Scale::Frequency, "is not a number followed by a unit"},
        RefusedCase{"--3dB", Scale::GraphicGain, "is not a number followed by a unit"},
        RefusedCase{"4:2", Scale::Ratio, "is not a code"}));

TEST(ParamValueFormat, PrintsTheShortestHonestValue) {
    struct Case {
        Scale scale;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {Scale::Frequency, 56, "1000Hz"},
        {Scale::Frequency, 57, "1077Hz"},
        {Scale::GraphicGain, 24, "-3dB"},
        {Scale::GraphicGain, 31, "0.5dB"},
        {Scale::Level, 192, "0dB"},
        {Scale::Bandwidth, 0, "0.05bw"},
        {Scale::Bandwidth, 1, "0.055bw"},
        {Scale::ParametricGain, 0, "-49.5dB"},
        {Scale::ParametricGain, 36, "-30.5dB"},
        // Codes 35 and 36 share -30.5 dB; a value would read back as 36, so 35 stays a code.
        {Scale::ParametricGain, 35, "35"},
        {Scale::Delay, 960, "20ms"},
        {Scale::Delay, 1, "0.02ms"},
        {Scale::Delay, 65536, "1365.33ms"},
        {Scale::Delay, 70000, "70000"},
        {Scale::Temperature, 685, "68.5F"},
        {Scale::Attack, 0, "0.05ms"},
        {Scale::Ratio, 15, "4:1"},
        {Scale::GraphicQ, 6, "4Q"},
        {Scale::None, 7, "7"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatParamValue(c.scale, c.code), c.text)
            << static_cast<int>(c.scale) << "/" << c.code;
    }
}

TEST(ParamValueFormat, EveryCodeOfEveryTableScaleReadsBack) {
    const Scale scales[] = {Scale::Frequency,      Scale::GraphicGain,    Scale::ParametricGain,
                            Scale::Bandwidth,      Scale::GraphicQ,       Scale::Attack,
                            Scale::Release,        Scale::Threshold,      Scale::Ratio,
                            Scale::CompressorGain, Scale::PinkNoiseLevel, Scale::Level,
                            Scale::Temperature};
    int bareCodes = 0;
    for (const Scale scale : scales) {
        const CodeRange codes = ScaleCodes(scale);
        for (int code = codes.lowest; code <= codes.highest; ++code) {
            const std::string text = FormatParamValue(scale, code);
            const ValueParse back = ParseParamValue(text, scale);
            ASSERT_TRUE(back.code) << text;
            EXPECT_EQ(*back.code, code) << text;
            if (!back.fromUnits) {
                ++bareCodes;
                continue;
            }
            // The printed number lies nearer the code's value than its neighbours' values.
            const double printed = std::strtod(text.c_str(), nullptr);
            const double distance = std::fabs(printed - valueOf(scale, code));
            for (const int neighbour : {code - 1, code + 1}) {
                if (neighbour < codes.lowest || neighbour > codes.highest) continue;
                EXPECT_LE(distance, std::fabs(printed - valueOf(scale, neighbour))) << text;
            }
        }
    }
    EXPECT_EQ(bareCodes, 1);  // parametric gain code 35
}

TEST(ParamValueFormat, DelaysReadBackAtEverySample) {
    for (int samples = 0; samples <= 65536; samples += 97) {
        const std::string text = FormatParamValue(Scale::Delay, samples);
        const ValueParse back = ParseParamValue(text, Scale::Delay);
        ASSERT_TRUE(back.code) << text;
        EXPECT_EQ(*back.code, samples) << text;
    }
}

TEST(ParamValueDistance, FeetAndMetresAreKeptForTheChannelsTemperature) {
    struct Case {
        const char* text;
        DistanceUnit unit;
        double value;
    };
    const Case cases[] = {{"12.5m", DistanceUnit::Metres, 12.5},
                          {"40 ft", DistanceUnit::Feet, 40.0},
                          {"3FT", DistanceUnit::Feet, 3.0},
                          {"-2m", DistanceUnit::Metres, -2.0},
                          {"0m", DistanceUnit::Metres, 0.0}};
    for (const Case& c : cases) {
        const ValueParse parse = ParseParamValue(c.text, Scale::Delay);
        ASSERT_TRUE(parse.distance) << c.text << ": " << parse.error;
        EXPECT_FALSE(parse.code) << c.text << ": a distance has no code before its temperature";
        EXPECT_EQ(parse.distance->unit, c.unit) << c.text;
        EXPECT_DOUBLE_EQ(parse.distance->value, c.value) << c.text;
    }
    // Only a delay time takes a distance; "m" is not "ms".
    EXPECT_FALSE(ParseParamValue("3m", Scale::Attack).distance);
    EXPECT_EQ(*ParseParamValue("3ms", Scale::Delay).code, 144);
    EXPECT_THAT(ParseParamValue("1e3m", Scale::Delay).error, HasSubstr("not a number"));
}

TEST(ParamValueUnits, NamesTheUnitsOfAScale) {
    EXPECT_EQ(UnitsOfScale(Scale::Frequency), "Hz or kHz");
    EXPECT_EQ(UnitsOfScale(Scale::Delay), "ms, s, ft or m");
    EXPECT_EQ(UnitsOfScale(Scale::Temperature), "F or C");
    EXPECT_EQ(UnitsOfScale(Scale::Ratio), ":1");
    EXPECT_EQ(UnitsOfScale(Scale::None), "");
}

}  // namespace
}  // namespace arvestra::cli
