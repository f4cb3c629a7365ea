// The user-interface port of the command-line tool: questions are answered by the policy of
// AnswerPolicy and printed with their answers on standard error; failures are remembered for
// the exit status. Nothing here ends the process: a request to close the main window is only
// remembered as a failure.
#pragma once

#include <mutex>
#include <string>

#include "app/AppState.h"
#include "app/UiPort.h"
#include "cli/AnswerPolicy.h"
#include "cli/CliConsole.h"

namespace arvestra::cli {

class CliUiPort final : public UiPort {
  public:
    CliUiPort(AppState& app, CliConsole& console, AnswerPolicy policy);

    // Prints the question and the tool's answer; any thread.
    UiAnswer Ask(const UiQuestion& question) override;
    // Prints the text as a note (devices skipped by discovery and the like).
    void ShowInformation(const std::string& text) override;
    // No views: the meters are not shown.
    void PostViewCommand(CommandId) override {}
    void UpdateAllViews(ViewHint) override {}
    // Remembered as a failure; the verb ends and the tool exits with status 1.
    void PostCloseMainWindow() override;
    void SetWaitCursor(bool) override {}
    // No worker question waits for this thread: the worker's questions are answered at once.
    void KeepResponsive() override {}

    // Adds "(COMn is PATH here)" to messages that name the port, when --port was a path.
    void SetPortAlias(const std::string& comName, const std::string& path);
    // True once anything made the verb fail.
    bool Failed() const;
    // Marks the verb failed with a message of the tool's own.
    void Fail(const std::string& message);
    // Prints a note of the tool's own; the verb goes on.
    void Note(const std::string& message);

  private:
    std::string WithPortAlias(const std::string& text) const;

    AppState& app_;
    CliConsole& console_;
    mutable std::mutex mutex_;
    AnswerDecider decider_;
    bool failed_ = false;
    std::string aliasName_;
    std::string aliasPath_;
};

}  // namespace arvestra::cli
