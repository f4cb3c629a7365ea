#include "ui/ports/QtUiPort.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

#include <utility>

#include "ui/ports/GuardedMessageBox.h"

namespace arvestra {

namespace {

// Event types of the port: a question from another thread is waiting, and posted entries are
// waiting. Both are plain events so that a hold can copy them.
QEvent::Type ServeQuestionEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type ReleaseAnswersEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type DrainPostedEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// How often a wait loop lets pending repaints through.
constexpr int kRepaintIntervalMs = 50;

}  // namespace

CQtUiPort::CQtUiPort(QObject* parent) : QObject(parent) {
    hold.HoldType(DrainPostedEventType());
    repaintClock.start();
}

CQtUiPort::~CQtUiPort() {
    Shutdown();
    if (waitCursorShown) {
        QApplication::restoreOverrideCursor();
    }
}

void CQtUiPort::SetCommandSink(std::function<void(CommandId)> sink) {
    commandSink = std::move(sink);
}
void CQtUiPort::SetUpdateSink(std::function<void(int)> sink) {
    updateSink = std::move(sink);
}
void CQtUiPort::SetCloseSink(std::function<void()> sink) {
    closeSink = std::move(sink);
}
void CQtUiPort::SetMainWindow(QWidget* window) {
    mainWindow = window;
}

void CQtUiPort::Shutdown() {
    std::lock_guard<std::mutex> lock(questionMutex);
    shutDown = true;
    for (PendingQuestion* pending : pendingQuestions) {
        pending->answer = ShutdownAnswer(pending->question->buttons);
        pending->done = true;
    }
    pendingQuestions.clear();
    for (PendingQuestion* pending : answeredQuestions) {
        pending->done = true;  // keeps the answer the user gave
    }
    answeredQuestions.clear();
    questionWaiting = false;
    questionAnswered.notify_all();
}

UiAnswer CQtUiPort::ShutdownAnswer(ButtonSet buttons) {
    switch (buttons) {
        case ButtonSet::AbortRetryIgnore:
            return UiAnswer::Ignore;
        case ButtonSet::YesNo:
            return UiAnswer::Yes;
        case ButtonSet::YesNoCancel:
        case ButtonSet::OkCancel:
            return UiAnswer::Cancel;
        case ButtonSet::Ok:
            break;
    }
    return UiAnswer::Ok;
}

UiAnswer CQtUiPort::Ask(const UiQuestion& question) {
    if (OnGuiThread()) {
        return ShowBox(question);
    }
    PendingQuestion pending;
    pending.question = &question;
    std::unique_lock<std::mutex> lock(questionMutex);
    if (shutDown) {
        return ShutdownAnswer(question.buttons);
    }
    pendingQuestions.push_back(&pending);
    questionWaiting = true;
    // Wakes an idle GUI thread; a busy one finds the question in KeepResponsive.
    QCoreApplication::postEvent(this, new QEvent(ServeQuestionEventType()));
    questionAnswered.wait(lock, [&pending] { return pending.done; });
    return pending.answer;
}

UiAnswer CQtUiPort::ShowBox(const UiQuestion& question) {
    CGuardedMessageBox box(question, BoxParent());
    QMetaObject::invokeMethod(
        this, [this, &box] { emit questionShown(&box); }, Qt::QueuedConnection);
    return box.Run();
}

QWidget* CQtUiPort::BoxParent() const {
    // Every box is shown on this thread, also one a worker asked for, so each can belong to the
    // main window: centred on it, in front of it, without a task-bar entry of its own.
    return mainWindow.data();
}

void CQtUiPort::ReleaseAnswers() {
    std::lock_guard<std::mutex> lock(questionMutex);
    if (answeredQuestions.empty()) {
        return;
    }
    for (PendingQuestion* pending : answeredQuestions) {
        pending->done = true;
    }
    answeredQuestions.clear();
    questionAnswered.notify_all();
}

void CQtUiPort::ServePendingQuestions(bool fromWait) {
    if (serving) {
        return;  // a question is already on screen further up this stack
    }
    serving = true;
    for (;;) {
        PendingQuestion* pending = nullptr;
        {
            std::lock_guard<std::mutex> lock(questionMutex);
            if (pendingQuestions.empty()) {
                questionWaiting = false;
                break;
            }
            pending = pendingQuestions.front();
        }
        const UiQuestion& question = *pending->question;
        CGuardedMessageBox box(question, BoxParent());
        hold.Begin(&box);
        QMetaObject::invokeMethod(
            this, [this, &box] { emit questionShown(&box); }, Qt::QueuedConnection);
        const UiAnswer answer = box.Run();
        {
            std::lock_guard<std::mutex> lock(questionMutex);
            pendingQuestions.pop_front();
            pending->answer = answer;
            if (fromWait) {
                // The asking thread goes on only after the wait loop has looked at the shared
                // flags once more: until then they still say that the box is up, so the time the
                // box took is not counted against the wait's limit.
                answeredQuestions.push_back(pending);
                QCoreApplication::postEvent(this, new QEvent(ReleaseAnswersEventType()));
            } else {
                pending->done = true;
                questionAnswered.notify_all();
            }
        }
        hold.End();
    }
    serving = false;
}

void CQtUiPort::KeepResponsive() {
    ReleaseAnswers();
    if (questionWaiting.load()) {
        ServePendingQuestions(true);
    }
    if (repaintClock.elapsed() >= kRepaintIntervalMs && !serving) {
        repaintClock.restart();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
}

void CQtUiPort::ShowInformation(const std::string& text) {
    UiQuestion question;
    question.title = kAppTitle;
    question.text = text;
    question.buttons = ButtonSet::Ok;
    question.icon = IconKind::Information;
    Ask(question);
}

void CQtUiPort::Enqueue(const PostedEntry& entry) {
    {
        std::lock_guard<std::mutex> lock(postedMutex);
        posted.push_back(entry);
    }
    QCoreApplication::postEvent(this, new QEvent(DrainPostedEventType()));
}

void CQtUiPort::PostViewCommand(CommandId command) {
    Enqueue({command, false});
}

void CQtUiPort::PostCloseMainWindow() {
    Enqueue({CommandId{}, true});
}

void CQtUiPort::DrainPosted() {
    // One wake-up event runs one entry, so entries keep their places among the held-back events
    // they were posted between.
    PostedEntry entry;
    {
        std::lock_guard<std::mutex> lock(postedMutex);
        if (posted.empty()) {
            return;
        }
        entry = posted.front();
        posted.pop_front();
    }
    if (entry.isClose) {
        if (closeSink) {
            closeSink();
        }
    } else if (commandSink) {
        commandSink(entry.command);
    }
}

void CQtUiPort::UpdateAllViews(ViewHint hint) {
    if (updateSink) {
        updateSink(static_cast<int>(hint));
    }
}

void CQtUiPort::SetWaitCursor(bool on) {
    if (on == waitCursorShown) {
        return;
    }
    waitCursorShown = on;
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void CQtUiPort::customEvent(QEvent* event) {
    if (event->type() == ServeQuestionEventType()) {
        ServePendingQuestions(false);
    } else if (event->type() == ReleaseAnswersEventType()) {
        ReleaseAnswers();
    } else if (event->type() == DrainPostedEventType()) {
        DrainPosted();
    }
}

}  // namespace arvestra
