#include "app/ErrorReporter.h"

#include <cstdint>
#include <cstdio>

namespace arvestra {
namespace {

constexpr char kAdviceAbortRetryIgnore[] =
    "Click Abort to exit Arvestra,\nclick Retry to retry the action, or\nclick Ignore to continue "
    "working offline.";
constexpr char kAdviceYesNo[] =
    "Click Yes to continue working offline or click No to exit Arvestra.";
constexpr char kContactLine[] =
    "If you cannot resolve this problem, please contact Korvanex and tell us this\nerror number: ";

// "%x - %x - %x - %x": each field as the 32-bit pattern of the int, so -1 shows as ffffffff.
std::string FormatErrorNumber(int n1, int n2, int n3, int n4) {
    char number[64];
    std::snprintf(number, sizeof number, "%x - %x - %x - %x", static_cast<std::uint32_t>(n1),
                  static_cast<std::uint32_t>(n2), static_cast<std::uint32_t>(n3),
                  static_cast<std::uint32_t>(n4));
    return number;
}

}  // namespace

std::string ErrorReporter::FormatErrorText(const std::string& message, bool abortRetryIgnore,
                                           int n1, int n2, int n3, int n4) {
    const char* advice = abortRetryIgnore ? kAdviceAbortRetryIgnore : kAdviceYesNo;
    return message + "\n\n" + advice + "\n\n" + kContactLine + FormatErrorNumber(n1, n2, n3, n4);
}

std::string ErrorReporter::FormatFatalText(const std::string& message, int n1, int n2, int n3,
                                           int n4) {
    return message + "\n\n" + kContactLine + FormatErrorNumber(n1, n2, n3, n4);
}

int ErrorReporter::ReportError(const std::string& message, bool abortRetryIgnore, int n1, int n2,
                               int n3, int n4, int /*n5: accepted, never shown*/) {
    UiQuestion question;
    question.title = kAppTitle;
    question.text = FormatErrorText(message, abortRetryIgnore, n1, n2, n3, n4);
    question.buttons = abortRetryIgnore ? ButtonSet::AbortRetryIgnore : ButtonSet::YesNo;
    question.icon = IconKind::Stop;
    question.owner = BoxOwner::None;  // may run on the worker thread
    const UiAnswer answer = ui_.Ask(question);

    if (answer == UiAnswer::Retry) return kAnswerRetry;
    if (answer == UiAnswer::Abort || answer == UiAnswer::No) {
        app_.ClearOnlineFlag();
        CloseMainWindow();
        return kAnswerExit;
    }
    // Ignore, Yes, and any answer that is not a button of this box: the failure must never be
    // taken as "carry on", so the safe choice is to continue offline. The view's refresh handler
    // sees the cleared flag and closes the link on the user-interface thread.
    app_.ClearOnlineFlag();
    ui_.MetersChanged();
    return kAnswerOffline;
}

void ErrorReporter::ReportFatalError(const std::string& message, int n1, int n2, int n3, int n4) {
    UiQuestion question;
    question.title = kAppTitle;
    question.text = FormatFatalText(message, n1, n2, n3, n4);
    question.buttons = ButtonSet::Ok;
    question.icon = IconKind::Stop;
    question.owner = BoxOwner::MainWindow;
    ui_.Ask(question);
    CloseMainWindow();
}

void ErrorReporter::CloseMainWindow() {
    ui_.PostCloseMainWindow();
}

}  // namespace arvestra
