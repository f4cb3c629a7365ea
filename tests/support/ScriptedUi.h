#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/UiPort.h"

namespace arvestra::testing {

// A user interface for tests: answers come from a queue, and every question, post and call is
// recorded. An answer that is not one of the buttons offered is skipped in favour of the next.
// When the queue runs dry it counts an unscripted question and answers the button that ends
// the action (Abort, No, Cancel or OK), so a loop under test cannot run forever. It never
// answers "none of the buttons". Thread-safe: the worker may ask while the test thread reads.
class ScriptedUi final : public arvestra::UiPort {
  public:
    ScriptedUi() = default;
    explicit ScriptedUi(std::initializer_list<arvestra::UiAnswer> answers) : answers_(answers) {}

    // Appends answers to the queue.
    void Push(arvestra::UiAnswer answer) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_.push_back(answer);
    }

    arvestra::UiAnswer Ask(const arvestra::UiQuestion& question) override {
        std::function<void()> hook;
        arvestra::UiAnswer answer = arvestra::UiAnswer::Ok;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            questions_.push_back(question);
            answer = NextAnswerLocked(question.buttons);
            hook = onAsk_;
        }
        if (hook) hook();
        return answer;
    }
    void ShowInformation(const std::string& text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        information_.push_back(text);
    }
    void PostViewCommand(CommandId command) override {
        std::lock_guard<std::mutex> lock(mutex_);
        viewCommands_.push_back(command);
    }
    void UpdateAllViews(arvestra::ViewHint hint) override {
        std::function<void(arvestra::ViewHint)> hook;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            viewUpdates_.push_back(hint);
            hook = onUpdate_;
        }
        if (hook) hook(hint);
    }
    // Runs inside every UpdateAllViews, after the hint is recorded (a view's refresh).
    void OnUpdateAllViews(std::function<void(arvestra::ViewHint)> hook) {
        std::lock_guard<std::mutex> lock(mutex_);
        onUpdate_ = std::move(hook);
    }
    void PostCloseMainWindow() override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++closeRequests_;
    }
    void SetWaitCursor(bool on) override {
        std::lock_guard<std::mutex> lock(mutex_);
        waitCursor_.push_back(on);
    }
    void KeepResponsive() override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++keepResponsiveCalls_;
    }

    // Runs inside every Ask, after the question is recorded (a test can look at flags then).
    void OnAsk(std::function<void()> hook) {
        std::lock_guard<std::mutex> lock(mutex_);
        onAsk_ = std::move(hook);
    }

    std::vector<arvestra::UiQuestion> Questions() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return questions_;
    }
    std::vector<std::string> Information() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return information_;
    }
    std::vector<arvestra::CommandId> ViewCommands() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return viewCommands_;
    }
    std::vector<arvestra::ViewHint> ViewUpdates() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return viewUpdates_;
    }
    std::vector<bool> WaitCursor() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return waitCursor_;
    }
    int CloseRequests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return closeRequests_;
    }
    int KeepResponsiveCalls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return keepResponsiveCalls_;
    }
    int UnscriptedQuestions() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return unscripted_;
    }
    // Scripted answers dropped because they were not among the buttons offered.
    int SkippedAnswers() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return skipped_;
    }
    std::size_t AnswersLeft() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return answers_.size();
    }

    // The button that ends the action for each button set.
    static arvestra::UiAnswer EndingAnswer(arvestra::ButtonSet buttons) {
        switch (buttons) {
            case arvestra::ButtonSet::Ok:
                return arvestra::UiAnswer::Ok;
            case arvestra::ButtonSet::OkCancel:
            case arvestra::ButtonSet::YesNoCancel:
                return arvestra::UiAnswer::Cancel;
            case arvestra::ButtonSet::YesNo:
                return arvestra::UiAnswer::No;
            case arvestra::ButtonSet::AbortRetryIgnore:
                return arvestra::UiAnswer::Abort;
        }
        return arvestra::UiAnswer::Ok;
    }

  private:
    arvestra::UiAnswer NextAnswerLocked(arvestra::ButtonSet buttons) {
        while (!answers_.empty()) {
            arvestra::UiAnswer answer = answers_.front();
            answers_.pop_front();
            if (arvestra::IsAnswerOf(buttons, answer)) return answer;
            ++skipped_;
        }
        ++unscripted_;
        return EndingAnswer(buttons);
    }

    mutable std::mutex mutex_;
    std::deque<arvestra::UiAnswer> answers_;
    std::vector<arvestra::UiQuestion> questions_;
    std::vector<std::string> information_;
    std::vector<arvestra::CommandId> viewCommands_;
    std::vector<arvestra::ViewHint> viewUpdates_;
    std::vector<bool> waitCursor_;
    std::function<void()> onAsk_;
    std::function<void(arvestra::ViewHint)> onUpdate_;
    int closeRequests_ = 0;
    int keepResponsiveCalls_ = 0;
    int unscripted_ = 0;
    int skipped_ = 0;
};

}  // namespace arvestra::testing
