#include "app/ErrorReporter.h"

#include <gtest/gtest.h>

#include "app/ErrorMessages.h"
#include "support/ScriptedUi.h"

namespace arvestra {
namespace {

using testing::ScriptedUi;

constexpr char kAriAdvice[] =
    "Click Abort to exit Arvestra,\nclick Retry to retry the action, or\nclick Ignore to continue "
    "working offline.";
constexpr char kYesNoAdvice[] =
    "Click Yes to continue working offline or click No to exit Arvestra.";
constexpr char kContact[] =
    "If you cannot resolve this problem, please contact Korvanex and tell us this\nerror number: ";

struct Fixture {
    AppState app;
    ScriptedUi ui;
    ErrorReporter reporter{app, ui};
    Fixture() { app.SetOnline(1); }
};

struct AnswerCase {
    const char* name;
    bool abortRetryIgnore;
    UiAnswer userAnswer;
    int expectedResult;
    int expectedOnline;
    std::vector<CommandId> expectedPosts;
    int expectedCloseRequests;
};

class ReportErrorAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(ReportErrorAnswers, TakeTheirEffectBeforeReturning) {
    const AnswerCase& c = GetParam();
    Fixture f;
    f.ui.Push(c.userAnswer);
    const int result =
        f.reporter.ReportError(kMsgCannotCommunicate, c.abortRetryIgnore, 66, 160, 5, 0);
    EXPECT_EQ(result, c.expectedResult);
    EXPECT_EQ(f.app.IsOnline(), c.expectedOnline);
    EXPECT_EQ(f.ui.ViewCommands(), c.expectedPosts);
    EXPECT_EQ(f.ui.CloseRequests(), c.expectedCloseRequests);
    EXPECT_EQ(f.ui.UnscriptedQuestions(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    AllButtons, ReportErrorAnswers,
    ::testing::Values(
        AnswerCase{"Retry", true, UiAnswer::Retry, kAnswerRetry, 1, {}, 0},
        AnswerCase{
            "Ignore", true, UiAnswer::Ignore, kAnswerOffline, 0, {CommandId::MeterRefresh}, 0},
        AnswerCase{"Abort", true, UiAnswer::Abort, kAnswerExit, 0, {}, 1},
        AnswerCase{"Yes", false, UiAnswer::Yes, kAnswerOffline, 0, {CommandId::MeterRefresh}, 0},
        AnswerCase{"No", false, UiAnswer::No, kAnswerExit, 0, {}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportError, AbortRetryIgnoreFormShowsAdviceNumberAndStopBoxWithoutOwner) {
    Fixture f;
    f.ui.Push(UiAnswer::Retry);
    f.reporter.ReportError(kMsgCannotCommunicate, true, 66, 160, 5, 0, 77);
    const auto questions = f.ui.Questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, std::string(kMsgCannotCommunicate) + "\n\n" + kAriAdvice + "\n\n" +
                                     kContact + "42 - a0 - 5 - 0");
    EXPECT_EQ(questions[0].title, "Korvanex Arvestra");
    EXPECT_EQ(questions[0].buttons, ButtonSet::AbortRetryIgnore);
    EXPECT_EQ(questions[0].icon, IconKind::Stop);
    EXPECT_EQ(questions[0].owner, BoxOwner::None);
}

TEST(ReportError, YesNoFormShowsItsAdvice) {
    Fixture f;
    f.ui.Push(UiAnswer::Yes);
    f.reporter.ReportError("Error: No Devices were found to be connected to your computer.", false,
                           257, 0, 0, 0);
    const auto questions = f.ui.Questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].buttons, ButtonSet::YesNo);
    EXPECT_EQ(questions[0].text,
              std::string("Error: No Devices were found to be connected to your computer.\n\n") +
                  kYesNoAdvice + "\n\n" + kContact + "101 - 0 - 0 - 0");
}

TEST(ReportError, TheWorkerStartFailureReadsLikeEveryCommunicationFailure) {
    Fixture f;
    f.ui.Push(UiAnswer::Yes);
    f.reporter.ReportError(kMsgCannotStartWorker, false, 305, 11, 0, 0);
    const auto questions = f.ui.Questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text.rfind("Error: Cannot communicate with the Device.\n", 0), 0u)
        << questions[0].text;
}

struct NumberCase {
    int n1, n2, n3, n4;
    const char* shown;
};

class ErrorNumberFields : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ErrorNumberFields, AreLowerCaseHexOfTheirBitPattern) {
    const NumberCase& c = GetParam();
    const std::string text = ErrorReporter::FormatErrorText("m", true, c.n1, c.n2, c.n3, c.n4);
    const std::string tail = std::string("error number: ") + c.shown;
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

INSTANTIATE_TEST_SUITE_P(Edges, ErrorNumberFields,
                         ::testing::Values(NumberCase{0, 0, 0, 0, "0 - 0 - 0 - 0"},
                                           NumberCase{-1, -1, 0, 0, "ffffffff - ffffffff - 0 - 0"},
                                           NumberCase{50, 35, 258, 10000, "32 - 23 - 102 - 2710"},
                                           NumberCase{295, 0x7fffffff, -2, 255,
                                                      "127 - 7fffffff - fffffffe - ff"}));

// A user interface that breaks the port's rule and answers with a button that was not offered.
class OffScriptUi final : public UiPort {
  public:
    UiAnswer Ask(const UiQuestion&) override { return UiAnswer::Ok; }
    void ShowInformation(const std::string&) override {}
    void PostViewCommand(CommandId command) override { posts.push_back(command); }
    void UpdateAllViews(ViewHint) override {}
    void PostCloseMainWindow() override { ++closes; }
    void SetWaitCursor(bool) override {}
    void KeepResponsive() override {}
    std::vector<CommandId> posts;
    int closes = 0;
};

TEST(ReportError, AnswerOutsideTheButtonsContinuesOfflineInsteadOfCarryingOn) {
    AppState app;
    app.SetOnline(1);
    OffScriptUi ui;
    ErrorReporter reporter(app, ui);
    EXPECT_EQ(reporter.ReportError(kMsgCannotCommunicate, true, 67, 35, 1, 0), kAnswerOffline);
    EXPECT_EQ(app.IsOnline(), 0);
    EXPECT_EQ(ui.posts, std::vector<CommandId>{CommandId::MeterRefresh});
    EXPECT_EQ(ui.closes, 0);
}

TEST(ReportFatalError, ShowsOkBoxOwnedByMainWindowThenClosesIt) {
    Fixture f;
    f.ui.Push(UiAnswer::Ok);
    f.reporter.ReportFatalError("Error: bad file.", 295, 1, -1, 0);
    const auto questions = f.ui.Questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text,
              std::string("Error: bad file.\n\n") + kContact + "127 - 1 - ffffffff - 0");
    EXPECT_EQ(questions[0].buttons, ButtonSet::Ok);
    EXPECT_EQ(questions[0].icon, IconKind::Stop);
    EXPECT_EQ(questions[0].owner, BoxOwner::MainWindow);
    EXPECT_EQ(f.ui.CloseRequests(), 1);
    // A file error does not touch the online flag.
    EXPECT_EQ(f.app.IsOnline(), 1);
}

TEST(CloseMainWindow, PostsOneCloseRequest) {
    Fixture f;
    f.reporter.CloseMainWindow();
    EXPECT_EQ(f.ui.CloseRequests(), 1);
    EXPECT_TRUE(f.ui.Questions().empty());
}

}  // namespace
}  // namespace arvestra
