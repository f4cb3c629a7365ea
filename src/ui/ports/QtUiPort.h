#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "app/UiPort.h"
#include "ui/ports/EventHold.h"

class QWidget;

namespace arvestra {

// The Qt side of the user-interface port. Questions asked on the GUI thread show a guarded
// message box at once. A question asked on the worker thread is handed to the GUI thread and the
// worker blocks until it is answered; the GUI thread shows it either from its event loop or,
// when it is busy in a wait loop, from KeepResponsive. While such a question is on screen,
// input, timers and posted commands for the rest of the application are held back and run after
// it, in order, so nothing can start a second wait underneath the box. Posted view commands and
// close requests go through one queue and run on the GUI thread in the order they were posted.
class CQtUiPort : public QObject, public UiPort {
    Q_OBJECT
  public:
    explicit CQtUiPort(QObject* parent = nullptr);
    ~CQtUiPort() override;

    // Where commands, view updates and close requests go (GUI thread); set by the main frame.
    void SetCommandSink(std::function<void(CommandId)> sink);
    void SetUpdateSink(std::function<void(int)> sink);
    void SetCloseSink(std::function<void()> sink);
    // The window every box belongs to (may be null).
    void SetMainWindow(QWidget* window);

    // From now on questions from other threads are answered at once with the choice that drops
    // to offline (Ignore, Yes, Cancel or OK), so a worker can never block the exit.
    void Shutdown();

    UiAnswer Ask(const UiQuestion& question) override;
    void ShowInformation(const std::string& text) override;
    void PostViewCommand(CommandId command) override;
    void UpdateAllViews(ViewHint hint) override;
    void PostCloseMainWindow() override;
    void SetWaitCursor(bool on) override;
    void KeepResponsive() override;

    // True while a question from another thread is on screen.
    bool IsHolding() const { return hold.IsHolding(); }
    // The answer a question from another thread gets after Shutdown.
    static UiAnswer ShutdownAnswer(ButtonSet buttons);

  signals:
    // Emitted on the GUI thread right after a question's box is shown (tests answer it here).
    void questionShown(QWidget* box);

  protected:
    void customEvent(QEvent* event) override;

  private:
    struct PendingQuestion {
        const UiQuestion* question = nullptr;
        UiAnswer answer = UiAnswer::Ok;
        bool done = false;
    };
    // One entry of the posted queue: a view command, or a close request when isClose is set.
    struct PostedEntry {
        CommandId command{};
        bool isClose = false;
    };

    bool OnGuiThread() const { return QThread::currentThread() == thread(); }
    UiAnswer ShowBox(const UiQuestion& question);
    // The parent of every box: the main window, or none before there is one.
    QWidget* BoxParent() const;
    // Shows every question waiting from other threads; from a wait loop the answers are handed
    // back at the loop's next turn (or the next event-loop pass).
    void ServePendingQuestions(bool fromWait);
    // Lets the threads whose questions were answered in a wait loop go on.
    void ReleaseAnswers();
    void DrainPosted();
    void Enqueue(const PostedEntry& entry);

    std::function<void(CommandId)> commandSink;
    std::function<void(int)> updateSink;
    std::function<void()> closeSink;
    QPointer<QWidget> mainWindow;

    std::mutex questionMutex;
    std::condition_variable questionAnswered;
    std::deque<PendingQuestion*> pendingQuestions;
    std::vector<PendingQuestion*> answeredQuestions;
    std::atomic<bool> questionWaiting{false};
    bool shutDown = false;  // guarded by questionMutex
    bool serving = false;   // GUI thread only

    std::mutex postedMutex;
    std::deque<PostedEntry> posted;

    CEventHold hold;
    QElapsedTimer repaintClock;
    bool waitCursorShown = false;
};

}  // namespace arvestra
