// Values as OSC carries them: a float in the parameter's unit reads as the command line reads
// the same number with that unit; ints are codes; steps move and stop at the ends.
#include <gtest/gtest.h>

#include <cmath>

#include "model/ParamValue.h"
#include "osc/OscValue.h"

namespace arvestra::osc {
namespace {

ParamRef Ref(const char* name) {
    return *ParseParamName(name).ref;
}

struct UnitCase {
    const char* param;
    double number;
    const char* typed;  // the same value as typed on the command line
};

class FloatInUnit : public ::testing::TestWithParam<UnitCase> {};

TEST_P(FloatInUnit, MeansWhatTheNumberWithItsUnitMeansOnTheCommandLine) {
    const UnitCase& c = GetParam();
    const ParamRef ref = Ref(c.param);
    const OscValueParse fromFloat = ValueToSet(ref, OscArg::Float(c.number));
    const OscValueParse fromText = ValueToSet(ref, OscArg::String(c.typed));
    ASSERT_TRUE(fromFloat.code) << c.param << ": " << fromFloat.error;
    ASSERT_TRUE(fromText.code) << c.typed << ": " << fromText.error;
    EXPECT_EQ(*fromFloat.code, *fromText.code) << c.param;
    EXPECT_EQ(fromFloat.limited, "");
}

INSTANTIATE_TEST_SUITE_P(Scales, FloatInUnit,
                         ::testing::Values(UnitCase{"ch1.input.level", -6, "-6dB"},
                                           UnitCase{"ch2.output.level", 3.5, "3.5dB"},
                                           UnitCase{"ch1.eq.graphic_gain.12", -3, "-3dB"},
                                           UnitCase{"ch1.lp.cutoff", 16000, "16kHz"},
                                           UnitCase{"ch1.eq.param_frequency.1", 1000, "1000Hz"},
                                           UnitCase{"ch1.delay.time", 12.5, "12.5ms"},
                                           UnitCase{"ch1.delay.temperature", 68, "68F"},
                                           UnitCase{"ch2.cl.ratio.1", 4, "4:1"},
                                           UnitCase{"ch2.cl.attack.1", 20, "20ms"},
                                           UnitCase{"ch1.eq.graphic_q", 4, "4Q"},
                                           UnitCase{"config.pink_noise_level", -20, "-20dB"}));

struct SetCase {
    const char* name;
    const char* param;
    OscArg arg;
    long long code;  // -1: no code (an error)
    bool limited;
};

class SetValue : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetValue, GivesTheCodeAndSaysWhenItWasLimited) {
    const SetCase& c = GetParam();
    const ParamRef ref = Ref(c.param);
    const OscValueParse parse = ValueToSet(ref, c.arg);
    if (c.code < 0) {
        EXPECT_FALSE(parse.code);
        EXPECT_FALSE(parse.error.empty());
        return;
    }
    ASSERT_TRUE(parse.code) << parse.error;
    EXPECT_EQ(*parse.code, c.code);
    EXPECT_EQ(!parse.limited.empty(), c.limited) << parse.limited;
}

const ParamCodes kLevel = CodesOfParam(*ParseParamName("ch1.input.level").ref);

INSTANTIATE_TEST_SUITE_P(
    Values, SetValue,
    ::testing::Values(
        SetCase{"code", "ch1.input.level", OscArg::Int(200), 200, false},
        SetCase{"lowest_code", "ch1.input.level", OscArg::Int(kLevel.lowest), kLevel.lowest, false},
        SetCase{"code_below", "ch1.input.level", OscArg::Int(kLevel.lowest - 1), kLevel.lowest,
                true},
        SetCase{"code_above", "ch1.input.level", OscArg::Int(1000000), kLevel.highest, true},
        SetCase{"decibels_above", "ch1.input.level", OscArg::Float(100), kLevel.highest, true},
        SetCase{"decibels_below", "ch1.input.level", OscArg::Float(-1000), kLevel.lowest, true},
        SetCase{"text_above", "ch1.input.level", OscArg::String("+100dB"), kLevel.highest, true},
        SetCase{"flag_float", "ch1.eq.bypass", OscArg::Float(1), 1, false},
        SetCase{"flag_fraction", "ch1.eq.bypass", OscArg::Float(0.5), -1, false},
        SetCase{"nan", "ch1.input.level", OscArg::Float(std::nan("")), -1, false},
        SetCase{"wrong_unit", "ch1.input.level", OscArg::String("-6Hz"), -1, false},
        SetCase{"not_a_value", "ch1.input.level", OscArg::String("loud"), -1, false},
        SetCase{"blob", "ch1.input.level", OscArg{'b', 0, 0.0, {}}, -1, false},
        SetCase{"distance_elsewhere", "ch1.input.level", OscArg::String("3m"), -1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetValue, ADelayTakesADistanceAndTheNameATextCutToItsLength) {
    const OscValueParse distance = ValueToSet(Ref("ch1.delay.time"), OscArg::String("12.5m"));
    ASSERT_TRUE(distance.distance);
    EXPECT_DOUBLE_EQ(distance.distance->value, 12.5);
    EXPECT_EQ(distance.distance->unit, DistanceUnit::Metres);

    const OscValueParse name = ValueToSet(Ref("name"), OscArg::String("Sunday"));
    EXPECT_EQ(name.text, "Sunday");
    EXPECT_EQ(name.limited, "");
    EXPECT_NE(ValueToSet(Ref("name"), OscArg::String(std::string(40, 'x'))).limited, "");
    EXPECT_NE(ValueToSet(Ref("name"), OscArg::Int(3)).error, "");
}

struct StepCase {
    const char* name;
    const char* param;
    int from;
    OscArg step;
    int to;
};

class StepValue : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepValue, MovesByTheStepAndStopsAtTheEnds) {
    const StepCase& c = GetParam();
    const OscValueParse parse = ValueAfterStep(Ref(c.param), c.from, c.step);
    ASSERT_TRUE(parse.code) << parse.error;
    EXPECT_EQ(*parse.code, c.to);
    EXPECT_EQ(parse.limited, "");
}

const double kLevelStepDb =
    ValueInPrintedUnit(Scale::Level, 201) - ValueInPrintedUnit(Scale::Level, 200);

INSTANTIATE_TEST_SUITE_P(
    Steps, StepValue,
    ::testing::Values(
        StepCase{"two_steps_up", "ch1.input.level", 200, OscArg::Float(2 * kLevelStepDb), 202},
        StepCase{"one_step_down", "ch1.input.level", 200, OscArg::Float(-kLevelStepDb), 199},
        StepCase{"finer_than_a_step_up", "ch1.input.level", 200, OscArg::Float(0.01), 201},
        StepCase{"finer_than_a_step_down", "ch1.input.level", 200, OscArg::Float(-0.01), 199},
        StepCase{"zero", "ch1.input.level", 200, OscArg::Float(0), 200},
        StepCase{"past_the_top", "ch1.input.level", kLevel.highest, OscArg::Float(6),
                 kLevel.highest},
        StepCase{"past_the_bottom", "ch1.input.level", kLevel.lowest + 1, OscArg::Float(-60),
                 kLevel.lowest},
        StepCase{"codes", "ch1.eq.graphic_gain.1", 30, OscArg::Int(-3), 27},
        StepCase{"codes_past_the_end", "ch1.eq.graphic_gain.1", 58, OscArg::Int(1000), 60},
        StepCase{"flag", "ch1.eq.bypass", 0, OscArg::Float(1), 1},
        StepCase{"frequency", "ch1.lp.cutoff", 50, OscArg::Float(0.1), 51}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StepValue, TheNameAndNonNumbersHaveNoSteps) {
    EXPECT_NE(ValueAfterStep(Ref("name"), 0, OscArg::Float(1)).error, "");
    EXPECT_NE(ValueAfterStep(Ref("ch1.input.level"), 200, OscArg::String("1dB")).error, "");
    EXPECT_NE(ValueAfterStep(Ref("ch1.input.level"), 200, OscArg::Float(INFINITY)).error, "");
}

}  // namespace
}  // namespace arvestra::osc
