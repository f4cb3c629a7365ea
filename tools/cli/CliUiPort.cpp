#include "cli/CliUiPort.h"

namespace arvestra::cli {

namespace {

constexpr char kPrefix[] = "arvestra-cli: ";

}  // namespace

CliUiPort::CliUiPort(AppState& app, CliConsole& console, AnswerPolicy policy)
    : app_(app), console_(console), decider_(policy) {}

UiAnswer CliUiPort::Ask(const UiQuestion& question) {
    Decision decision;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        decision = decider_.Decide(question);
        if (decision.failure) failed_ = true;
    }
    std::string text = kPrefix + WithPortAlias(question.text);
    if (!decision.note.empty()) text += std::string("\n") + kPrefix + decision.note;
    console_.Message(text);
    // Nobody answered: stop as a user who chose to continue offline would, so the operation
    // asking ends without sending anything more.
    if (decision.unanswered) app_.ClearOnlineFlag();
    return decision.answer;
}

void CliUiPort::ShowInformation(const std::string& text) {
    console_.Message(kPrefix + WithPortAlias(text));
}

void CliUiPort::PostCloseMainWindow() {
    std::lock_guard<std::mutex> lock(mutex_);
    failed_ = true;
}

void CliUiPort::SetPortAlias(const std::string& comName, const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    aliasName_ = comName;
    aliasPath_ = path;
}

bool CliUiPort::Failed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
}

void CliUiPort::Fail(const std::string& message) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        failed_ = true;
    }
    console_.Message(kPrefix + message);
}

void CliUiPort::Note(const std::string& message) {
    console_.Message(kPrefix + message);
}

std::string CliUiPort::WithPortAlias(const std::string& text) const {
    std::string name;
    std::string path;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        name = aliasName_;
        path = aliasPath_;
    }
    if (name.empty()) return text;
    // "serial port COM1" but not "serial port COM12".
    const std::string mention = "serial port " + name;
    for (std::size_t at = text.find(mention); at != std::string::npos;
         at = text.find(mention, at + 1)) {
        const std::size_t after = at + mention.size();
        if (after == text.size() || text[after] < '0' || text[after] > '9') {
            return text + "\n(" + name + " is " + path + " here)";
        }
    }
    return text;
}

}  // namespace arvestra::cli
