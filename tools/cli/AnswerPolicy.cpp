#include "cli/AnswerPolicy.h"

#include <string_view>

#include "document/DocumentMessages.h"

namespace arvestra::cli {

namespace {

constexpr std::string_view kReconcileStart = "A device was found at address ";
constexpr std::string_view kOldVersionStart = "The location file ";
constexpr std::string_view kOldVersionPart = "was created with an older version";

// The answer that ends an action, from the buttons offered: Cancel, No, Ignore or OK.
UiAnswer EndingAnswer(ButtonSet buttons) {
    switch (buttons) {
        case ButtonSet::OkCancel:
        case ButtonSet::YesNoCancel:
            return UiAnswer::Cancel;
        case ButtonSet::YesNo:
            return UiAnswer::No;
        case ButtonSet::AbortRetryIgnore:
            return UiAnswer::Ignore;
        case ButtonSet::Ok:
            break;
    }
    return UiAnswer::Ok;
}

Decision Unanswered(const UiQuestion& question, std::string note) {
    Decision decision;
    decision.answer = EndingAnswer(question.buttons);
    decision.failure = true;
    decision.unanswered = true;
    decision.note = std::move(note);
    return decision;
}

}  // namespace

QuestionKind ClassifyQuestion(const UiQuestion& question) {
    const std::string_view text = question.text;
    if (question.buttons == ButtonSet::AbortRetryIgnore) return QuestionKind::CommunicationError;
    if (question.icon == IconKind::Stop) {
        if (question.buttons == ButtonSet::YesNo) return QuestionKind::ErrorYesNo;
        if (question.buttons == ButtonSet::Ok) return QuestionKind::FileError;
        return QuestionKind::Unexpected;
    }
    if (text == kMsgSavePreset &&
        (question.buttons == ButtonSet::YesNo || question.buttons == ButtonSet::YesNoCancel)) {
        return QuestionKind::SavePreset;
    }
    if (question.buttons == ButtonSet::YesNo && text.starts_with(kReconcileStart)) {
        return QuestionKind::Reconcile;
    }
    if (question.buttons == ButtonSet::YesNoCancel && text.starts_with(kOldVersionStart) &&
        text.find(kOldVersionPart) != std::string_view::npos) {
        return QuestionKind::OldVersion;
    }
    return QuestionKind::Unexpected;
}

Decision AnswerDecider::Decide(const UiQuestion& question) {
    Decision decision;
    switch (ClassifyQuestion(question)) {
        case QuestionKind::CommunicationError:
            decision.failure = true;
            if (retriesGiven_ < policy_.retries) {
                ++retriesGiven_;
                decision.answer = UiAnswer::Retry;
                decision.note = "answered Retry (" + std::to_string(retriesGiven_) + " of " +
                                std::to_string(policy_.retries) + ")";
                // A retry that then succeeds is no failure of the verb.
                decision.failure = false;
            } else {
                decision.answer = UiAnswer::Ignore;
                decision.note = "answered Ignore: continuing offline";
            }
            return decision;
        case QuestionKind::ErrorYesNo:
            decision.answer = UiAnswer::Yes;
            decision.failure = true;
            decision.note = "answered Yes: continuing offline";
            return decision;
        case QuestionKind::FileError:
            decision.answer = UiAnswer::Ok;
            decision.failure = true;
            return decision;
        case QuestionKind::Reconcile:
            if (!policy_.reconcile) {
                return Unanswered(question,
                                  "no answer given: add --yes or --no to answer such questions");
            }
            decision.answer = *policy_.reconcile ? UiAnswer::Yes : UiAnswer::No;
            decision.note = *policy_.reconcile ? "answered Yes (--yes)" : "answered No (--no)";
            return decision;
        case QuestionKind::SavePreset:
            decision.answer = UiAnswer::No;
            decision.note = "answered No: the preset stays as stored (\"set --store\" stores it)";
            return decision;
        case QuestionKind::OldVersion:
            decision.answer = UiAnswer::Yes;
            decision.note =
                "answered Yes: the gains are converted in the working copy (saved "
                "only by a verb that saves the file)";
            return decision;
        case QuestionKind::Unexpected:
            break;
    }
    return Unanswered(question, "arvestra-cli has no answer to this question");
}

}  // namespace arvestra::cli
