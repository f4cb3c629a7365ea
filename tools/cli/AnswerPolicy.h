// How the command-line tool answers the questions the editor would put to its user. Nobody is
// there to ask, so every question has an answer fixed in advance:
//   - a communication error (Abort/Retry/Ignore): Retry for the first --retries N of them, then
//     Ignore (continue offline); the verb fails;
//   - any other error box (Yes/No, stop icon): Yes (continue offline); the verb fails;
//   - a file error (OK, stop icon): OK; the verb fails;
//   - a reconcile question of discovery (Yes/No): the --yes or --no flag; without one the
//     question is unanswered, the verb fails and the tool stops talking to the bus;
//   - "save the modified preset?": No (the "set" verb has --store for storing);
//   - "convert the older file version?": Yes (only the working copy changes until a save);
//   - anything else: unanswered, as above.
#pragma once

#include <optional>
#include <string>

#include "app/UiPort.h"

namespace arvestra::cli {

// The flags that answer questions.
struct AnswerPolicy {
    int retries = 0;                // Retry answers to communication errors before Ignore
    std::optional<bool> reconcile;  // --yes (true) or --no (false)
};

enum class QuestionKind {
    CommunicationError,  // Abort/Retry/Ignore
    ErrorYesNo,          // an error box offering to continue offline (Yes) or exit (No)
    FileError,           // an error box with OK only
    Reconcile,           // discovery asks whether to add or delete a device in the file
    SavePreset,          // the current preset has been modified
    OldVersion,          // the file was made by an older version
    Unexpected,          // nothing the tool knows an answer to
};

// Tells the kinds apart by buttons, icon and text.
QuestionKind ClassifyQuestion(const UiQuestion& question);

// The tool's answer to one question, and what follows from it.
struct Decision {
    UiAnswer answer = UiAnswer::Ok;
    bool failure = false;     // the verb must end with status 1
    bool unanswered = false;  // no flag answers it: the tool must stop talking to the bus
    std::string note;         // what the tool says about its answer
};

// Decides the answers; counts the Retry answers given so far.
class AnswerDecider {
  public:
    explicit AnswerDecider(AnswerPolicy policy) : policy_(policy) {}

    // The answer to one question (always one of the question's buttons).
    Decision Decide(const UiQuestion& question);

  private:
    AnswerPolicy policy_;
    int retriesGiven_ = 0;
};

}  // namespace arvestra::cli
