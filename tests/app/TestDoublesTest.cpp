// The shared test doubles other test folders rely on: the scripted user never answers "none of
// the buttons" and never lets a loop run forever; the fake clock reaches a time limit by yields.
#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/ScriptedUi.h"

namespace arvestra {
namespace {

using testing::FakeClock;
using testing::ScriptedUi;

struct DryCase {
    ButtonSet buttons;
    UiAnswer ending;
};

class ScriptRunsDry : public ::testing::TestWithParam<DryCase> {};

TEST_P(ScriptRunsDry, AnswersTheButtonThatEndsTheActionAndCountsIt) {
    ScriptedUi ui;
    UiQuestion question;
    question.buttons = GetParam().buttons;
    EXPECT_EQ(ui.Ask(question), GetParam().ending);
    EXPECT_TRUE(IsAnswerOf(GetParam().buttons, GetParam().ending));
    EXPECT_EQ(ui.UnscriptedQuestions(), 1);
}

INSTANTIATE_TEST_SUITE_P(Sets, ScriptRunsDry,
                         ::testing::Values(DryCase{ButtonSet::Ok, UiAnswer::Ok},
                                           DryCase{ButtonSet::OkCancel, UiAnswer::Cancel},
                                           DryCase{ButtonSet::YesNo, UiAnswer::No},
                                           DryCase{ButtonSet::YesNoCancel, UiAnswer::Cancel},
                                           DryCase{ButtonSet::AbortRetryIgnore, UiAnswer::Abort}));

TEST(ScriptedUi, SkipsScriptedAnswersThatAreNotOffered) {
    ScriptedUi ui{UiAnswer::Yes, UiAnswer::Retry};
    UiQuestion question;
    question.buttons = ButtonSet::AbortRetryIgnore;
    question.text = "t";
    EXPECT_EQ(ui.Ask(question), UiAnswer::Retry);
    EXPECT_EQ(ui.SkippedAnswers(), 1);
    EXPECT_EQ(ui.UnscriptedQuestions(), 0);
    ASSERT_EQ(ui.Questions().size(), 1u);
    EXPECT_EQ(ui.Questions()[0].text, "t");
}

TEST(FakeClock, YieldsReachATenSecondLimitWithoutSleeping) {
    FakeClock clock(100, 10);
    const std::int64_t start = clock.NowSeconds();
    int turns = 0;
    while (clock.NowSeconds() - start <= 10) {
        clock.Sleep(0);
        ++turns;
    }
    EXPECT_EQ(clock.NowSeconds() - start, 11);
    EXPECT_EQ(turns, 1100);
    EXPECT_EQ(clock.YieldCount(), 1100);
    clock.Sleep(100);
    EXPECT_EQ(clock.NowMs(), 100 * 1000 + 11000 + 100);
}

}  // namespace
}  // namespace arvestra
