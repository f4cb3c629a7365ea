#pragma once

#include <string>

#include "app/AppState.h"
#include "app/UiPort.h"

namespace arvestra {

// Answers of ReportError and of the link's report and port operations.
inline constexpr int kAnswerProceed = 0;          // no error
inline constexpr int kAnswerRetry = 1;            // repeat the exchange
inline constexpr int kAnswerOffline = 2;          // online flag cleared, refresh posted
inline constexpr int kAnswerNotReported = 3;      // link failure while reporting is off
inline constexpr int kAnswerExit = 4;             // online flag cleared, main window closing
inline constexpr int kAnswerPortNotReported = 5;  // port-open failure while reporting is off

// Shows every failure the user must see, each with an error number of four hexadecimal fields,
// and carries out the offline or exit choice before returning.
class ErrorReporter {
  public:
    ErrorReporter(AppState& app, UiPort& ui) : app_(app), ui_(ui) {}

    // Shows message + advice + error number in an owner-less stop box (Abort/Retry/Ignore or
    // Yes/No) and returns 1 Retry, 2 Offline (Ignore/Yes) or 4 Exit (Abort/No). Safe on the
    // worker thread: it only clears the atomic online flag and posts window messages.
    int ReportError(const std::string& message, bool abortRetryIgnore, int n1, int n2, int n3,
                    int n4, int n5 = 0);

    // Shows a file error with an OK button in a box owned by the main window, then closes the
    // main window (user-interface thread only).
    void ReportFatalError(const std::string& message, int n1, int n2, int n3, int n4);

    // Posts a close request to the main window, if there is one.
    void CloseMainWindow();

    // The text ReportError shows for these arguments.
    static std::string FormatErrorText(const std::string& message, bool abortRetryIgnore, int n1,
                                       int n2, int n3, int n4);

    // The text ReportFatalError shows for these arguments.
    static std::string FormatFatalText(const std::string& message, int n1, int n2, int n3, int n4);

    // The user-interface port the reports go through.
    UiPort& Ui() { return ui_; }

    // The application state whose online flag the reports clear.
    AppState& App() { return app_; }

  private:
    AppState& app_;
    UiPort& ui_;
};

}  // namespace arvestra
