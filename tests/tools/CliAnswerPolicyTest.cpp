// How arvestra-cli answers the editor's questions, and its user-interface port.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/ErrorMessages.h"
#include "app/ErrorReporter.h"
#include "cli/AnswerPolicy.h"
#include "cli/CliConsole.h"
#include "cli/CliUiPort.h"
#include "document/CQ7310Doc.h"
#include "document/LocationMessages.h"
#include "document/TextFormat.h"

namespace arvestra::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

UiQuestion Box(const std::string& text, ButtonSet buttons, IconKind icon) {
    UiQuestion question;
    question.title = kAppTitle;
    question.text = text;
    question.buttons = buttons;
    question.icon = icon;
    return question;
}

UiQuestion CommunicationError() {
    return Box(ErrorReporter::FormatErrorText(kMsgCannotCommunicate, true, 50, 32, 0, 0),
               ButtonSet::AbortRetryIgnore, IconKind::Stop);
}

UiQuestion Reconcile() {
    return Box(FormatText(kMsgNotInFileFormat, 3), ButtonSet::YesNo, IconKind::Question);
}

struct KindCase {
    UiQuestion question;
    QuestionKind kind;
};

TEST(AnswerPolicy, TellsTheQuestionsApart) {
    const KindCase cases[] = {
        {CommunicationError(), QuestionKind::CommunicationError},
        {Box(ErrorReporter::FormatErrorText(kMsgNoDevicesFound, false, 257, 0, 0, 0),
             ButtonSet::YesNo, IconKind::Stop),
         QuestionKind::ErrorYesNo},
        {Box(ErrorReporter::FormatFatalText(kMsgCorruptLocationFile, 295, 0, 0, 0), ButtonSet::Ok,
             IconKind::Stop),
         QuestionKind::FileError},
        {Box(kMsgSavePreset, ButtonSet::YesNo, IconKind::Question), QuestionKind::SavePreset},
        {Box(kMsgSavePreset, ButtonSet::YesNoCancel, IconKind::Question), QuestionKind::SavePreset},
        {Reconcile(), QuestionKind::Reconcile},
        {Box(FormatText(kMsgNotOnNetworkFormat, 5), ButtonSet::YesNo, IconKind::Question),
         QuestionKind::Reconcile},
        {Box(FormatText(kMsgOldVersionFormat, "/x/hall.kvx"), ButtonSet::YesNoCancel,
             IconKind::Warning),
         QuestionKind::OldVersion},
        // The same texts with other buttons, and texts the tool does not know.
        {Box(FormatText(kMsgNotInFileFormat, 3), ButtonSet::OkCancel, IconKind::Question),
         QuestionKind::Unexpected},
        {Box(FormatText(kMsgOverwriteAddressFormat, 4), ButtonSet::OkCancel, IconKind::Question),
         QuestionKind::Unexpected},
        {Box(kMsgUploadBeforeOffline, ButtonSet::YesNoCancel, IconKind::Question),
         QuestionKind::Unexpected},
        {Box("anything", ButtonSet::OkCancel, IconKind::Stop), QuestionKind::Unexpected},
    };
    for (const KindCase& c : cases) {
        EXPECT_EQ(ClassifyQuestion(c.question), c.kind) << c.question.text;
    }
}

TEST(AnswerPolicy, RetriesTheGivenNumberOfTimesThenIgnores) {
    AnswerDecider decider(AnswerPolicy{2, std::nullopt});
    const UiAnswer expected[] = {UiAnswer::Retry, UiAnswer::Retry, UiAnswer::Ignore,
                                 UiAnswer::Ignore};
    for (int i = 0; i < 4; ++i) {
        const Decision d = decider.Decide(CommunicationError());
        EXPECT_EQ(d.answer, expected[i]) << i;
        EXPECT_EQ(d.failure, i >= 2) << i;
        EXPECT_FALSE(d.unanswered);
    }
    AnswerDecider never(AnswerPolicy{});
    EXPECT_EQ(never.Decide(CommunicationError()).answer, UiAnswer::Ignore);
}

TEST(AnswerPolicy, ReconcileQuestionsFollowTheFlagOrStayUnanswered) {
    const Decision yes = AnswerDecider(AnswerPolicy{0, true}).Decide(Reconcile());
    EXPECT_EQ(yes.answer, UiAnswer::Yes);
    EXPECT_FALSE(yes.failure);
    const Decision no = AnswerDecider(AnswerPolicy{0, false}).Decide(Reconcile());
    EXPECT_EQ(no.answer, UiAnswer::No);
    EXPECT_FALSE(no.failure);
    const Decision none = AnswerDecider(AnswerPolicy{}).Decide(Reconcile());
    EXPECT_EQ(none.answer, UiAnswer::No);
    EXPECT_TRUE(none.failure);
    EXPECT_TRUE(none.unanswered);
    EXPECT_THAT(none.note, HasSubstr("--yes or --no"));
}

TEST(AnswerPolicy, EveryAnswerIsOneOfTheButtons) {
    struct Case {
        UiQuestion question;
        UiAnswer answer;
        bool failure;
    };
    const Case cases[] = {
        {Box("x", ButtonSet::YesNo, IconKind::Stop), UiAnswer::Yes, true},
        {Box("x", ButtonSet::Ok, IconKind::Stop), UiAnswer::Ok, true},
        {Box(kMsgSavePreset, ButtonSet::YesNoCancel, IconKind::Question), UiAnswer::No, false},
        {Box(FormatText(kMsgOldVersionFormat, "f"), ButtonSet::YesNoCancel, IconKind::Warning),
         UiAnswer::Yes, false},
        {Box("x", ButtonSet::YesNoCancel, IconKind::Question), UiAnswer::Cancel, true},
        {Box("x", ButtonSet::OkCancel, IconKind::Question), UiAnswer::Cancel, true},
        {Box("x", ButtonSet::YesNo, IconKind::Question), UiAnswer::No, true},
        {Box("x", ButtonSet::Ok, IconKind::Information), UiAnswer::Ok, true},
    };
    for (const Case& c : cases) {
        const Decision d = AnswerDecider(AnswerPolicy{3, true}).Decide(c.question);
        EXPECT_EQ(d.answer, c.answer) << c.question.text;
        EXPECT_EQ(d.failure, c.failure) << c.question.text;
        EXPECT_TRUE(IsAnswerOf(c.question.buttons, d.answer)) << c.question.text;
    }
}

// The port writes to a temporary file standing in for standard error.
class CliUiPortTest : public ::testing::Test {
  protected:
    CliUiPortTest() : stream_(std::tmpfile()), console_(stream_) {}
    ~CliUiPortTest() override { std::fclose(stream_); }

    std::string Shown() {
        std::fflush(stream_);
        std::rewind(stream_);
        std::string text;
        int c = 0;
        while ((c = std::fgetc(stream_)) != EOF) text += static_cast<char>(c);
        return text;
    }

    std::FILE* stream_;
    CliConsole console_;
    AppState app_;
};

TEST_F(CliUiPortTest, ErrorsArePrintedInFullAndFailTheVerb) {
    CliUiPort ui(app_, console_, AnswerPolicy{});
    app_.SetOnline(1);
    ErrorReporter reporter(app_, ui);
    EXPECT_EQ(reporter.ReportError(kMsgCannotCommunicate, true, 50, 32, 0, 0), kAnswerOffline);
    EXPECT_TRUE(ui.Failed());
    EXPECT_EQ(app_.IsOnline(), 0);
    const std::string shown = Shown();
    EXPECT_THAT(shown, HasSubstr("arvestra-cli: Error: Cannot communicate with the Device.\n"));
    EXPECT_THAT(shown, HasSubstr("error number: 32 - 20 - 0 - 0\n"));
    EXPECT_THAT(shown, HasSubstr("arvestra-cli: answered Ignore: continuing offline\n"));
    EXPECT_FALSE(console_.ShowsProgress());
}

TEST_F(CliUiPortTest, AnUnansweredQuestionTakesTheToolOffline) {
    CliUiPort ui(app_, console_, AnswerPolicy{});
    app_.SetOnline(1);
    EXPECT_EQ(ui.Ask(Reconcile()), UiAnswer::No);
    EXPECT_TRUE(ui.Failed());
    EXPECT_EQ(app_.IsOnline(), 0);
}

TEST_F(CliUiPortTest, AnsweredQuestionsAndNotesDoNotFail) {
    CliUiPort ui(app_, console_, AnswerPolicy{0, true});
    app_.SetOnline(1);
    EXPECT_EQ(ui.Ask(Reconcile()), UiAnswer::Yes);
    ui.ShowInformation("The device at address 9 reports an unknown Manufacturer Code of 57");
    ui.Note("ch1.lp.cutoff: code 300 limited to 100");
    EXPECT_FALSE(ui.Failed());
    EXPECT_EQ(app_.IsOnline(), 1);
    EXPECT_THAT(Shown(), HasSubstr("arvestra-cli: answered Yes (--yes)\n"));
    ui.PostCloseMainWindow();
    EXPECT_TRUE(ui.Failed());
}

TEST_F(CliUiPortTest, APortGivenAsAPathIsNamedInPortMessages) {
    CliUiPort ui(app_, console_, AnswerPolicy{});
    ui.SetPortAlias("COM1", "/dev/ttyUSB0");
    ui.ShowInformation("Error: Couldn't open serial port COM1. Please make sure");
    ui.ShowInformation("Error: Couldn't open serial port COM12. Other port");
    ui.ShowInformation("No port here");
    const std::string shown = Shown();
    EXPECT_THAT(shown,
                HasSubstr("serial port COM1. Please make sure\n(COM1 is /dev/ttyUSB0 here)"));
    EXPECT_THAT(shown, HasSubstr("serial port COM12. Other port\narvestra-cli: No port here\n"));
    EXPECT_THAT(shown, Not(HasSubstr("No port here\n(COM1")));
}

}  // namespace
}  // namespace arvestra::cli
