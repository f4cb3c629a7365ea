// The Qt user-interface port: boxes with the exact texts, buttons and icons that close only
// through their buttons; questions from another thread; posted commands in order; and a
// worker's question answered while the user-interface thread waits for the worker.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/ErrorMessages.h"
#include "app/ErrorReporter.h"
#include "document/CQ7310Doc.h"
#include "support/FakeClock.h"
#include "ui/ShellTestSupport.h"
#include "ui/UiTestSupport.h"
#include "ui/ports/EventHold.h"
#include "ui/ports/GuardedMessageBox.h"
#include "ui/ports/QtUiPort.h"

namespace arvestra {
namespace {

using shelltest::BoxAnswerer;

UiQuestion Question(const std::string& text, ButtonSet buttons, IconKind icon) {
    UiQuestion question;
    question.title = kAppTitle;
    question.text = text;
    question.buttons = buttons;
    question.icon = icon;
    return question;
}

struct BoxCase {
    ButtonSet buttons;
    IconKind icon;
    QMessageBox::StandardButtons expectButtons;
    QMessageBox::Icon expectIcon;
    QMessageBox::StandardButton click;
    UiAnswer expectAnswer;
};

class QtUiPortBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(QtUiPortBoxTest, ShowsTheButtonsAndIconAndReturnsTheButtonClicked) {
    const BoxCase& c = GetParam();
    CQtUiPort port;
    BoxAnswerer answerer(port, {c.click});
    const UiAnswer answer = port.Ask(Question("Line one.\nLine two.", c.buttons, c.icon));
    EXPECT_EQ(answer, c.expectAnswer);
    ASSERT_EQ(answerer.Shown().size(), 1u);
    const shelltest::ShownBox& box = answerer.Shown().front();
    EXPECT_EQ(box.title, QStringLiteral("Korvanex Arvestra"));
    EXPECT_EQ(box.text, QStringLiteral("Line one.\nLine two."));
    EXPECT_EQ(box.buttons, c.expectButtons);
    EXPECT_EQ(box.icon, c.expectIcon);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, QtUiPortBoxTest,
    ::testing::Values(BoxCase{ButtonSet::Ok, IconKind::Information, QMessageBox::Ok,
                              QMessageBox::Information, QMessageBox::Ok, UiAnswer::Ok},
                      BoxCase{ButtonSet::OkCancel, IconKind::Warning,
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Warning,
                              QMessageBox::Cancel, UiAnswer::Cancel},
                      BoxCase{ButtonSet::YesNo, IconKind::Stop, QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::Critical, QMessageBox::No, UiAnswer::No},
                      BoxCase{ButtonSet::YesNoCancel, IconKind::Question,
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                              QMessageBox::Question, QMessageBox::Yes, UiAnswer::Yes},
                      BoxCase{ButtonSet::AbortRetryIgnore, IconKind::Stop,
                              QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                              QMessageBox::Critical, QMessageBox::Retry, UiAnswer::Retry},
                      BoxCase{ButtonSet::AbortRetryIgnore, IconKind::None,
                              QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                              QMessageBox::NoIcon, QMessageBox::Abort, UiAnswer::Abort}));

// Escape and the window's close request end a box only where that means Cancel (or the lone OK);
// a Yes/No or Abort/Retry/Ignore box stays up, since No and Abort end the application.
TEST(QtUiPortBoxes, EscapeAndCloseNeverChooseNoOrAbort) {
    struct Case {
        ButtonSet buttons;
        bool escapeCloses;
        UiAnswer escapeAnswer;
        UiAnswer laterClick;
    };
    const Case cases[] = {
        {ButtonSet::YesNo, false, UiAnswer::Yes, UiAnswer::Yes},
        {ButtonSet::AbortRetryIgnore, false, UiAnswer::Retry, UiAnswer::Retry},
        {ButtonSet::YesNoCancel, true, UiAnswer::Cancel, UiAnswer::Cancel},
        {ButtonSet::OkCancel, true, UiAnswer::Cancel, UiAnswer::Cancel},
        {ButtonSet::Ok, true, UiAnswer::Ok, UiAnswer::Ok},
    };
    for (const Case& c : cases) {
        CQtUiPort port;
        bool stillVisibleAfterKeys = false;
        QObject::connect(&port, &CQtUiPort::questionShown, [&](QWidget* widget) {
            auto* box = static_cast<QMessageBox*>(widget);
            QTest::keyClick(box, Qt::Key_Escape);
            box->close();
            stillVisibleAfterKeys = box->isVisible();
            if (box->isVisible()) {
                const auto button =
                    c.laterClick == UiAnswer::Yes ? QMessageBox::Yes : QMessageBox::Retry;
                box->button(button)->click();
            }
        });
        const UiAnswer answer = port.Ask(Question("?", c.buttons, IconKind::Stop));
        EXPECT_EQ(stillVisibleAfterKeys, !c.escapeCloses) << static_cast<int>(c.buttons);
        EXPECT_EQ(answer, c.escapeCloses ? c.escapeAnswer : c.laterClick)
            << static_cast<int>(c.buttons);
    }
}

TEST(QtUiPortBoxes, EnterPressesRetryNotAbortAndYesNotNo) {
    EXPECT_EQ(CGuardedMessageBox::DefaultButtonOf(ButtonSet::AbortRetryIgnore), QMessageBox::Retry);
    EXPECT_EQ(CGuardedMessageBox::DefaultButtonOf(ButtonSet::YesNo), QMessageBox::Yes);
    CQtUiPort port;
    QObject::connect(&port, &CQtUiPort::questionShown,
                     [](QWidget* widget) { QTest::keyClick(widget, Qt::Key_Return); });
    EXPECT_EQ(port.Ask(Question("?", ButtonSet::AbortRetryIgnore, IconKind::Stop)),
              UiAnswer::Retry);
}

TEST(QtUiPortThreads, AQuestionFromAnotherThreadIsShownOnTheGuiThread) {
    CQtUiPort port;
    std::atomic<bool> shownOnGuiThread{false};
    QObject::connect(&port, &CQtUiPort::questionShown, [&](QWidget* widget) {
        shownOnGuiThread = QThread::currentThread() == qApp->thread();
        static_cast<QMessageBox*>(widget)->button(QMessageBox::Ignore)->click();
    });
    std::atomic<int> answer{0};
    std::thread worker([&] {
        answer =
            static_cast<int>(port.Ask(Question("x", ButtonSet::AbortRetryIgnore, IconKind::Stop)));
    });
    EXPECT_TRUE(test::WaitUntil([&] { return answer.load() != 0; }, 10000));
    worker.join();
    EXPECT_TRUE(shownOnGuiThread.load());
    EXPECT_EQ(answer.load(), static_cast<int>(UiAnswer::Ignore));
}

TEST(QtUiPortThreads, AfterShutdownAWorkerQuestionIsAnsweredWithTheOfflineChoice) {
    CQtUiPort port;
    port.Shutdown();
    std::atomic<int> answered{0};
    std::thread worker([&] {
        answered =
            static_cast<int>(port.Ask(Question("x", ButtonSet::AbortRetryIgnore, IconKind::Stop)));
    });
    worker.join();  // never blocks: nobody serves the question
    EXPECT_EQ(answered.load(), static_cast<int>(UiAnswer::Ignore));
    EXPECT_EQ(CQtUiPort::ShutdownAnswer(ButtonSet::YesNo), UiAnswer::Yes);
    EXPECT_EQ(CQtUiPort::ShutdownAnswer(ButtonSet::YesNoCancel), UiAnswer::Cancel);
}

TEST(QtUiPortPosting, CommandsFromAnyThreadRunInOrderOnTheGuiThread) {
    CQtUiPort port;
    std::vector<int> received;
    bool allOnGuiThread = true;
    int closes = 0;
    port.SetCommandSink([&](CommandId id) {
        received.push_back(static_cast<int>(id));
        allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
    });
    port.SetCloseSink([&] { received.push_back(-1), ++closes; });
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) port.PostViewCommand(static_cast<CommandId>(1000 + i));
        port.PostCloseMainWindow();
    });
    worker.join();
    EXPECT_TRUE(received.empty());  // posted, never run on the caller's thread
    test::FlushEvents();
    ASSERT_EQ(received.size(), 201u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(received[static_cast<std::size_t>(i)], 1000 + i);
    EXPECT_EQ(received.back(), -1);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(allOnGuiThread);
}

TEST(QtUiPortPosting, UpdateAllViewsRunsAtOnceWithTheHint) {
    CQtUiPort port;
    std::vector<int> hints;
    port.SetUpdateSink([&](int hint) { hints.push_back(hint); });
    port.UpdateAllViews(ViewHint::Loaded);
    port.UpdateAllViews(ViewHint::Change);
    EXPECT_EQ(hints, (std::vector<int>{3, 0}));
}

// The user-interface thread pauses the worker while the worker is showing a communication
// error: the pause keeps the box alive through KeepResponsive, the user answers Retry, and the
// pause then succeeds. Neither the click made nor the meter refresh posted meanwhile runs inside
// the pause; both run afterwards, in the order they came.
TEST(QtUiPortWait, WorkerRetryWhileTheUiThreadPausesNeitherDeadlocksNorRunsInputInside) {
    AppState app;
    CQtUiPort port;
    ErrorReporter reporter(app, port);
    // Time moves only while the box is up (below), so a pause that ignored the open box would
    // give up at once; a yield really yields so the worker thread gets to run.
    testing::FakeClock clock(1000, 0);
    clock.OnSleep([] { std::this_thread::yield(); });
    CQ7310Doc doc(reporter, clock);
    app.SetActiveDocument(&doc.Bus());

    QPushButton button(QStringLiteral("Elsewhere"));
    button.show();
    std::vector<std::string> order;
    bool inPause = false;
    int clicksInPause = 0;
    int commandsInPause = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        order.push_back("click");
        clicksInPause += inPause ? 1 : 0;
    });
    port.SetCommandSink([&](CommandId id) {
        order.push_back("command " + std::to_string(static_cast<int>(id)));
        commandsInPause += inPause ? 1 : 0;
    });

    std::atomic<bool> boxUp{false};
    BoxAnswerer answerer(port, {QMessageBox::Retry});
    answerer.onShown = [&](QWidget*) {
        boxUp = true;
        // Time runs on while the box is up: the pause must not give up meanwhile.
        clock.Advance(30'000);
        // A click on another window, queued while the box is up.
        const QPoint centre = button.rect().center();
        QCoreApplication::postEvent(
            &button, new QMouseEvent(QEvent::MouseButtonPress, centre, button.mapToGlobal(centre),
                                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            &button, new QMouseEvent(QEvent::MouseButtonRelease, centre, button.mapToGlobal(centre),
                                     Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        test::FlushEvents();  // let everything that may run, run now
    };

    std::atomic<int> workerAnswer{-1};
    doc.Bus().Worker().workerBusy = 1;
    std::thread worker([&] {
        port.PostViewCommand(CommandId::MeterRefresh);
        workerAnswer = doc.Bus().Link().ReportLinkError(50, 160, 258, 10000, 0);
        // The worker retries, then sees the pause and goes idle.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        doc.Bus().Worker().workerBusy = 0;
    });
    while (!boxUp.load() && doc.Bus().Link().errorDialogShowing.load() == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    inPause = true;
    const PauseResult pause = doc.Bus().PauseWorker(true);
    inPause = false;
    worker.join();

    EXPECT_EQ(pause.ok, 1);
    EXPECT_EQ(workerAnswer.load(), kAnswerRetry);
    ASSERT_EQ(answerer.Shown().size(), 1u);  // no time-out report (321) followed
    EXPECT_TRUE(
        answerer.Shown().front().text.startsWith(QString::fromLatin1(kMsgCannotCommunicate)));
    EXPECT_EQ(answerer.Unexpected(), 0);
    EXPECT_EQ(app.IsOnline(), 0);  // Retry changes nothing
    EXPECT_EQ(clicksInPause, 0);
    EXPECT_EQ(commandsInPause, 0);

    test::FlushEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"command 32809", "click"}));
    app.SetActiveDocument(nullptr);
}

// The same question while the user-interface thread is idle is shown from the event loop; a
// command posted while the box is up waits until the box is answered.
TEST(QtUiPortWait, WorkerQuestionFromTheEventLoopHoldsPostedCommandsUntilAnswered) {
    CQtUiPort port;
    std::vector<CommandId> received;
    bool boxWasUp = false;
    int receivedWhileUp = -1;
    port.SetCommandSink([&](CommandId id) { received.push_back(id); });
    BoxAnswerer answerer(port, {QMessageBox::Ignore});
    answerer.onShown = [&](QWidget*) {
        boxWasUp = true;
        port.PostViewCommand(CommandId::MeterRefresh);
        test::FlushEvents();
        receivedWhileUp = static_cast<int>(received.size());
    };
    std::atomic<bool> done{false};
    std::thread worker([&] {
        port.Ask(Question("x", ButtonSet::AbortRetryIgnore, IconKind::Stop));
        done = true;
    });
    EXPECT_TRUE(test::WaitUntil([&] { return done.load(); }, 10000));
    worker.join();
    test::FlushEvents();
    EXPECT_TRUE(boxWasUp);
    EXPECT_EQ(receivedWhileUp, 0);
    EXPECT_EQ(received, (std::vector<CommandId>{CommandId::MeterRefresh}));
}

}  // namespace
}  // namespace arvestra

namespace arvestra {
namespace {

// While a hold is on, input and application timers aimed outside the box wait and then arrive
// in their order; events for the box itself, and the toolkit's own, pass at once.
TEST(EventHold, HeldEventsRunAfterTheHoldInOrderAndTheBoxStillGetsItsOwn) {
    QWidget box;
    QPushButton inside(QStringLiteral("in"), &box);
    QPushButton outside(QStringLiteral("out"));
    std::vector<std::string> order;
    QObject::connect(&inside, &QPushButton::clicked, [&] { order.push_back("inside"); });
    QObject::connect(&outside, &QPushButton::clicked, [&] { order.push_back("outside"); });
    int timerRuns = 0;
    QTimer repeating;
    repeating.setInterval(1);
    QObject::connect(&repeating, &QTimer::timeout, [&] {
        ++timerRuns;
        repeating.stop();
        order.push_back("timer");
    });

    CEventHold hold;
    hold.Begin(&box);
    repeating.start();
    QTest::qSleep(20);
    auto click = [](QWidget* target) {
        const QPoint centre = target->rect().center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(
                target,
                new QMouseEvent(type, centre, target->mapToGlobal(centre), Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
        }
    };
    click(&outside);
    click(&inside);
    test::FlushEvents();
    QTest::qSleep(20);
    test::FlushEvents();  // the repeating timer ticks again: one held tick stands for all
    EXPECT_EQ(order, (std::vector<std::string>{"inside"}));
    EXPECT_EQ(timerRuns, 0);
    hold.End();
    EXPECT_FALSE(hold.IsHolding());
    test::FlushEvents();
    // Posted events are delivered before timers, so the click was held before the tick.
    EXPECT_EQ(order, (std::vector<std::string>{"inside", "outside", "timer"}));
    EXPECT_EQ(timerRuns, 1);
}

}  // namespace
}  // namespace arvestra
