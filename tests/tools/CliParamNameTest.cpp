// The parameter naming scheme of arvestra-cli: parsing, formatting and the full list.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "cli/ParamName.h"

namespace arvestra::cli {
namespace {

using ::testing::HasSubstr;

struct GoodName {
    const char* text;
    ParamRef ref;
};

class ParamNameAccepts : public ::testing::TestWithParam<GoodName> {};

TEST_P(ParamNameAccepts, ParsesToTheField) {
    const ParamNameParse parse = ParseParamName(GetParam().text);
    ASSERT_TRUE(parse.ref) << parse.error;
    EXPECT_EQ(*parse.ref, GetParam().ref);
    EXPECT_EQ(FormatParamName(*parse.ref), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ParamNameAccepts,
    ::testing::Values(
        GoodName{"ch1.eq.graphic_gain.12",
                 {ParamKind::Field, ParamField::EqGraphicGain, kChannelA, 11}},
        GoodName{"ch2.eq.graphic_gain.31",
                 {ParamKind::Field, ParamField::EqGraphicGain, kChannelB, 30}},
        GoodName{"ch2.lp.cutoff", {ParamKind::Field, ParamField::LpCutoff, kChannelB, 0}},
        GoodName{"ch1.cl.attack.2", {ParamKind::Field, ParamField::ClAttack, kChannelA, 1}},
        GoodName{"config.chain_slot.1", {ParamKind::Field, ParamField::ChainSlot, kNoChannel, 0}},
        GoodName{"config.chain_slot.16", {ParamKind::Field, ParamField::ChainSlot, kNoChannel, 15}},
        GoodName{"config.pink_noise_level",
                 {ParamKind::Field, ParamField::PinkNoiseLevel, kNoChannel, 0}},
        GoodName{"name.char.32", {ParamKind::Field, ParamField::NameChar, kNoChannel, 31}},
        GoodName{"ch1.delay.temperature_high",
                 {ParamKind::Field, ParamField::TemperatureHigh, kChannelA, 0}},
        GoodName{"ch1.delay.time", {ParamKind::DelayTime, ParamField::EqType, kChannelA, 0}},
        GoodName{"ch2.delay.temperature",
                 {ParamKind::Temperature, ParamField::EqType, kChannelB, 0}},
        GoodName{"name", {ParamKind::PresetName, ParamField::EqType, kNoChannel, 0}}));

struct BadName {
    const char* text;
    const char* message;
};

class ParamNameRefuses : public ::testing::TestWithParam<BadName> {};

TEST_P(ParamNameRefuses, SaysWhy) {
    const ParamNameParse parse = ParseParamName(GetParam().text);
    EXPECT_FALSE(parse.ref);
    EXPECT_THAT(parse.error, HasSubstr(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ParamNameRefuses,
    ::testing::Values(BadName{"", "empty parameter name"},
                      BadName{"ch3.lp.cutoff", "unknown parameter ch3.lp.cutoff"},
                      BadName{"CH1.lp.cutoff", "unknown parameter"},
                      BadName{"ch1.lp", "unknown parameter"}, BadName{"ch1.", "unknown parameter"},
                      BadName{"lp.cutoff",
                              "lp.cutoff is per channel: write ch1.lp.cutoff or ch2.lp.cutoff"},
                      BadName{"eq.graphic_gain.3", "is per channel"},
                      BadName{"ch1.config.reserved", "config.reserved belongs to no channel"},
                      BadName{"ch2.name.char.1", "belongs to no channel"},
                      BadName{"ch1.eq.graphic_gain", "has elements 1 to 31: add .N"},
                      BadName{"ch1.eq.graphic_gain.0", "the element number must be 1 to 31"},
                      BadName{"ch1.eq.graphic_gain.32", "the element number must be 1 to 31"},
                      BadName{"ch1.cl.ratio.3", "must be 1 to 2"},
                      BadName{"ch1.eq.graphic_gain.99999999999", "too large"},
                      BadName{"ch1.lp.cutoff.1", "lp.cutoff is a single value"},
                      BadName{"delay.time", "delay.time is per channel"},
                      BadName{"ch1.delay.time.2", "delay.time takes no element number"},
                      BadName{"ch1.name", "name belongs to no channel"},
                      BadName{"name.3", "name takes no element number"}));

TEST(ParamNames, EveryParameterFormatsToANameThatParsesBack) {
    const std::vector<ParamRef> all = AllParams();
    std::set<std::string> names;
    std::size_t expected = 5;  // two delay times, two temperatures, the name
    for (const FieldDescriptor& f : AllFields()) {
        expected += static_cast<std::size_t>(f.indexCount) * (f.perChannel() ? 2 : 1);
    }
    EXPECT_EQ(all.size(), expected);
    for (const ParamRef& ref : all) {
        const std::string name = FormatParamName(ref);
        EXPECT_TRUE(names.insert(name).second) << "twice: " << name;
        const ParamNameParse parse = ParseParamName(name);
        ASSERT_TRUE(parse.ref) << name << ": " << parse.error;
        EXPECT_EQ(*parse.ref, ref) << name;
    }
}

TEST(ParamNames, CompoundParametersHaveTheirScalesAndCodes) {
    const ParamRef delay{ParamKind::DelayTime, ParamField::EqType, kChannelA, 0};
    const ParamRef temperature{ParamKind::Temperature, ParamField::EqType, kChannelB, 0};
    const ParamRef cutoff{ParamKind::Field, ParamField::LpCutoff, kChannelA, 0};
    const ParamRef level{ParamKind::Field, ParamField::InputLevel, kChannelB, 0};
    EXPECT_EQ(ScaleOfParam(delay), Scale::Delay);
    EXPECT_EQ(ScaleOfParam(temperature), Scale::Temperature);
    EXPECT_EQ(ScaleOfParam(cutoff), Scale::Frequency);
    EXPECT_EQ(CodesOfParam(delay).highest, 65536);
    EXPECT_EQ(CodesOfParam(temperature).highest, 1500);
    EXPECT_EQ(CodesOfParam(level).lowest, 152);
    EXPECT_EQ(CodesOfParam(level).highest, 232);
    // The high bytes reach no further than the whole values: 65536 samples, 150.0 deg F.
    const ParamRef delayHigh{ParamKind::Field, ParamField::DelayHigh, kChannelA, 0};
    const ParamRef temperatureHigh{ParamKind::Field, ParamField::TemperatureHigh, kChannelB, 0};
    EXPECT_EQ(CodesOfParam(delayHigh).highest, 1);
    EXPECT_EQ(CodesOfParam(temperatureHigh).highest, 5);
}

}  // namespace
}  // namespace arvestra::cli
