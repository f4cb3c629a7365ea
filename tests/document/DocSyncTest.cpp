// Edit state and the synchronisation worker: the dirty range, the pause/resume handshake with
// its time limit, flush and poll over a fake port, and the online operations of the document.
#include <gtest/gtest.h>

#include <atomic>

#include "document/DocTestSupport.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;
using namespace std::chrono_literals;

// ---- Dirty range ------------------------------------------------------------------------------

struct MarkCase {
    const char* name;
    std::vector<int> offsets;
    int first;
    int last;
};

class MarkDirty : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkDirty, WidensTheRangeAsUnsignedBytes) {
    const MarkCase& c = GetParam();
    DocBench t(false);
    for (int offset : c.offsets)
        EXPECT_EQ(t.doc.Edits().MarkDirty(static_cast<std::uint8_t>(offset)), 1);
    const auto range = t.doc.Edits().DirtyRange();
    EXPECT_EQ(range.first, c.first);
    EXPECT_EQ(range.second, c.last);
}

INSTANTIATE_TEST_SUITE_P(Ranges, MarkDirty,
                         ::testing::Values(MarkCase{"Empty", {}, 255, 0},
                                           MarkCase{"HighThenLow", {200, 10}, 10, 200},
                                           MarkCase{"OnlyTheTopByte", {255}, 255, 255},
                                           MarkCase{"OnlyByteZero", {0}, 0, 0},
                                           MarkCase{"InsideStaysTheSame", {10, 200, 50}, 10, 200}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PauseWorker, BeforeTheWorkerExistsReturnsAtOnceWithTheSavedFlag) {
    DocBench t(false);
    t.app.SetOnline(1);  // a resume wakes the worker only while online
    t.doc.Bus().EnableSync();
    const PauseResult pause = t.doc.Bus().PauseWorker(true);
    EXPECT_EQ(pause.ok, 1);
    EXPECT_EQ(pause.saved, 1);
    EXPECT_EQ(t.doc.Bus().Worker().syncEnabled.load(), 0);
    t.doc.Bus().ResumeWorker(pause.saved);
    EXPECT_EQ(t.doc.Bus().Worker().syncEnabled.load(), 1);
    EXPECT_TRUE(t.ui.Questions().empty());
}

TEST(StartWorker, OnlyOnlineAndOnlyOnce) {
    DocBench t;
    EXPECT_EQ(t.doc.Bus().StartWorker(), 1);
    EXPECT_EQ(t.doc.Bus().IsWorkerStarted(), 0) << "offline: no thread";
    t.GoOnline();
    EXPECT_EQ(t.doc.Bus().IsWorkerStarted(), 1);
    EXPECT_TRUE(t.doc.Bus().Worker().IsStarted());
    EXPECT_EQ(t.doc.Bus().StartWorker(), 1);
}

// ---- Flush and poll -----------------------------------------------------------------------

TEST(Worker, EditsBetweenTwoPassesGoOutAsOneFrame) {
    DocBench t;
    t.GoOnline();
    t.doc.Edits().Set(PF::EqGraphicGain, 0, 6, 12);  // byte 10
    t.doc.Edits().Set(PF::PinkNoiseLevel, 0, 0, 9);  // byte 194
    t.doc.Edits().Set(PF::EqGraphicGain, 1, 0, 5);   // byte 69
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(WaitUntil([&] { return !t.device.RequestsOf(CMD_WRITE_IMAGE).empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return t.device.RequestsOf(CMD_READ_STATUS).size() >= 2; }));
    const auto writes = t.device.RequestsOf(CMD_WRITE_IMAGE);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].address, 1);
    ASSERT_EQ(writes[0].payload.size(), 2u + 185u);
    EXPECT_EQ(writes[0].payload[0], 0) << "the edit buffer";
    EXPECT_EQ(writes[0].payload[1], 10);
    const std::uint8_t* image = t.doc.Devices().Location().Image(0, 0);
    for (int i = 10; i <= 194; ++i) EXPECT_EQ(t.device.images[0][i], image[i]) << i;
    const auto range = t.doc.Edits().DirtyRange();
    EXPECT_LT(range.second, range.first);
}

TEST(Worker, EmptyRangeSendsNothingButPollsAndRefreshes) {
    DocBench t;
    t.device.status[11] = 30;  // level A
    t.device.preset = 4;
    t.GoOnline();
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(WaitUntil([&] { return t.device.RequestsOf(CMD_READ_STATUS).size() >= 3; }));
    EXPECT_TRUE(t.device.RequestsOf(CMD_WRITE_IMAGE).empty());
    ASSERT_TRUE(WaitUntil([&] { return t.doc.Bus().DevicePreset() == 4; }));
    EXPECT_EQ(t.doc.Bus().Meters().levelA, 60);
    const auto commands = t.ui.ViewCommands();
    EXPECT_FALSE(commands.empty());
    for (CommandId c : commands) EXPECT_EQ(c, CommandId::MeterRefresh);
}

TEST(Worker, StatusPollingOffMeansFlushOnly) {
    DocBench t;
    t.GoOnline();
    t.doc.Bus().SetStatusPolling(0);
    t.doc.Bus().EnableSync();
    t.doc.Edits().Set(PF::InputLevel, 1, 160);
    ASSERT_TRUE(WaitUntil([&] { return !t.device.RequestsOf(CMD_WRITE_IMAGE).empty(); }));
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(t.device.RequestsOf(CMD_READ_STATUS).empty());
}

TEST(Worker, SyncLiveOffExchangesNothingAndKeepsTheRange) {
    DocBench t;
    t.GoOnline();
    t.doc.Bus().SetSyncLive(0);
    t.doc.Edits().MarkDirty(5);
    t.device.ClearRequests();
    EXPECT_EQ(t.doc.Bus().FlushDirty(), 1);
    EXPECT_EQ(t.doc.Bus().PollStatus(), 1);
    EXPECT_TRUE(t.device.Requests().empty());
    EXPECT_EQ(t.doc.Edits().DirtyRange(), (std::pair<std::uint8_t, std::uint8_t>(5, 5)));
}

TEST(Worker, PollWithThePortClosedLeavesTheMetersAndPresetAlone) {
    DocBench t;
    t.app.SetOnline(1);  // the flag only: the port stays closed
    t.doc.Bus().SetSyncLive(1);
    MeterRecord meters;
    meters.levelA = 50;
    meters.reduction1[1] = 7;
    meters.devicePreset = 4;
    t.doc.Bus().StoreMeters(meters);
    EXPECT_EQ(t.doc.Bus().PollAndRefresh(), 1);
    EXPECT_EQ(t.doc.Bus().Meters().levelA, 50);
    EXPECT_EQ(t.doc.Bus().Meters().reduction1[1], 7);
    EXPECT_EQ(t.doc.Bus().DevicePreset(), 4) << "nothing was reported";
    EXPECT_TRUE(t.device.Requests().empty());
}

TEST(Worker, PauseStopsTrafficAndResumeRestartsIt) {
    DocBench t;
    t.GoOnline();
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(WaitUntil([&] { return !t.device.RequestsOf(CMD_READ_STATUS).empty(); }));
    const PauseResult pause = t.doc.Bus().PauseWorker(true);
    ASSERT_EQ(pause.ok, 1);
    EXPECT_EQ(pause.saved, 1);
    EXPECT_EQ(t.doc.Bus().Worker().workerBusy.load(), 0);
    const std::size_t seen = t.device.Requests().size();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(t.device.Requests().size(), seen) << "a paused worker leaves the port alone";
    t.doc.Bus().ResumeWorker(pause.saved);
    EXPECT_TRUE(WaitUntil([&] { return t.device.Requests().size() > seen; }));
}

struct FailureCase {
    const char* name;
    int silentCommand;
};

class WorkerFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(WorkerFailure, LeavesTheWorkerIdleUntilTheNextGoOnline) {
    const FailureCase& c = GetParam();
    DocBench t;
    t.device.silentCommands = {c.silentCommand};
    t.ui.Push(UiAnswer::Ignore);
    t.GoOnline();
    t.doc.Edits().Set(PF::InputLevel, 0, 150);
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(WaitUntil([&] { return t.doc.Bus().Worker().syncEnabled.load() == 0; }));
    ASSERT_TRUE(WaitUntil([&] { return t.doc.Bus().Worker().workerBusy.load() == 0; }));
    EXPECT_EQ(t.app.IsOnline(), 0) << "Ignore continues offline";
    // A pause taken and resumed afterwards must not wake the worker again.
    const PauseResult pause = t.doc.Bus().PauseWorker(true);
    t.doc.Bus().ResumeWorker(1);
    EXPECT_EQ(pause.ok, 1);
    EXPECT_EQ(t.doc.Bus().Worker().syncEnabled.load(), 0);
    const std::size_t seen = t.device.Requests().size();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(t.device.Requests().size(), seen);
    // The next go-online enables it.
    t.device.silentCommands.clear();
    t.doc.Bus().EnableSync();
    EXPECT_TRUE(WaitUntil([&] { return t.device.Requests().size() > seen; }));
}

INSTANTIATE_TEST_SUITE_P(Exchanges, WorkerFailure,
                         ::testing::Values(FailureCase{"Flush", CMD_WRITE_IMAGE},
                                           FailureCase{"Poll", CMD_READ_STATUS}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The pause time limit ------------------------------------------------------------------

// Blocks the worker inside its next status exchange until the gate opens.
void StickInStatusPoll(DocBench& t, Gate& gate) {
    t.device.onRequest = [&gate](const Request& r) {
        if (r.command == CMD_READ_STATUS) gate.Wait();
    };
}

TEST(PauseWorker, StuckWorkerIsReportedAs321AndStaysPaused) {
    Gate gate;  // outlives the bench, whose worker may still call the hook
    DocBench t;
    StickInStatusPoll(t, gate);
    t.GoOnline();
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(gate.WaitEntered());
    t.clock.SetYieldStep(1000);
    t.ui.Push(UiAnswer::Yes);
    const std::int64_t start = t.clock.NowSeconds();
    const PauseResult pause = t.doc.Bus().PauseWorker(true);
    const std::int64_t waited = t.clock.NowSeconds() - start;
    gate.Open();
    EXPECT_EQ(pause.ok, 0);
    EXPECT_EQ(pause.saved, 1);
    EXPECT_GE(waited, 11);
    EXPECT_LE(waited, 12);
    ASSERT_EQ(t.ui.Questions().size(), 1u);
    const UiQuestion q = t.ui.Questions()[0];
    EXPECT_EQ(q.buttons, ButtonSet::YesNo);
    EXPECT_NE(q.text.find("Cannot communicate with the Device"), std::string::npos);
    EXPECT_NE(q.text.find("error number: 141 - a - b - 0"), std::string::npos) << q.text;
    EXPECT_GT(t.ui.KeepResponsiveCalls(), 0);
    EXPECT_TRUE(WaitUntil([&] { return t.doc.Bus().Worker().workerBusy.load() == 0; }));
    EXPECT_EQ(t.doc.Bus().Worker().syncEnabled.load(), 0);
}

TEST(PauseWorker, WithoutReportStuckWorkerFailsSilently) {
    Gate gate;  // outlives the bench, whose worker may still call the hook
    DocBench t;
    StickInStatusPoll(t, gate);
    t.GoOnline();
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(gate.WaitEntered());
    t.clock.SetYieldStep(1000);
    EXPECT_EQ(t.doc.Bus().PauseWorker(false).ok, 0);
    gate.Open();
    EXPECT_TRUE(t.ui.Questions().empty());
}

TEST(PauseWorker, KeepsWaitingWhileALinkErrorDialogIsUp) {
    Gate gate;  // outlives the bench, whose worker may still call the hook
    DocBench t;
    StickInStatusPoll(t, gate);
    t.GoOnline();
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(gate.WaitEntered());
    t.doc.Bus().Link().errorDialogShowing.store(1);
    t.clock.SetYieldStep(1000);
    const std::int64_t start = t.clock.NowSeconds();
    t.clock.OnSleep([&t, &gate, start] {
        std::this_thread::sleep_for(200us);
        if (t.clock.NowSeconds() - start >= 40 &&
            t.doc.Bus().Link().errorDialogShowing.load() != 0) {
            t.doc.Bus().Link().errorDialogShowing.store(0);
            t.clock.SetYieldStep(0);
            gate.Open();
        }
    });
    const PauseResult pause = t.doc.Bus().PauseWorker(true);
    EXPECT_EQ(pause.ok, 1);
    EXPECT_GE(t.clock.NowSeconds() - start, 40);
    EXPECT_TRUE(t.ui.Questions().empty());
}

TEST(PauseWorker, WorkerRaisedRetryDuringAPauseNeitherDeadlocksNorTimesOut) {
    Gate release;
    std::atomic<int> badReplies{1};
    DocBench t;
    // The first status reply comes back with a bad status byte: the worker shows the link
    // error (Abort/Retry/Ignore) on its own thread while the user-interface thread pauses.
    t.ports.Script().responder = [&t, &badReplies](const Bytes& wire) {
        Bytes reply = t.device.Answer(wire);
        Request r;
        if (ParseRequest(wire, r) && r.command == CMD_READ_STATUS && badReplies.fetch_sub(1) > 0) {
            reply = DeviceReply(Bytes(16, 0), 5);
        }
        return reply;
    };
    t.ui.OnAsk([&release] { release.Wait(); });
    t.ui.Push(UiAnswer::Retry);
    t.GoOnline();
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(WaitUntil([&] { return t.doc.Bus().Link().errorDialogShowing.load() != 0; }));
    t.clock.SetYieldStep(1000);
    const std::int64_t start = t.clock.NowSeconds();
    t.clock.OnSleep([&t, &release, start] {
        std::this_thread::sleep_for(200us);
        if (t.clock.NowSeconds() - start >= 30) {
            t.clock.SetYieldStep(0);
            release.Open();
        }
    });
    const PauseResult pause = t.doc.Bus().PauseWorker(true);
    EXPECT_EQ(pause.ok, 1);
    ASSERT_EQ(t.ui.Questions().size(), 1u) << "only the link error, no 321";
    EXPECT_EQ(t.ui.Questions()[0].buttons, ButtonSet::AbortRetryIgnore);
    EXPECT_EQ(t.app.IsOnline(), 1) << "Retry keeps the application online";
    EXPECT_EQ(t.doc.Bus().Worker().workerBusy.load(), 0);
    EXPECT_EQ(t.doc.Bus().Link().errorDialogShowing.load(), 0);
}

// ---- Waiting for the flush, waiting for idle ----------------------------------------------

TEST(WaitDirtyFlushed, EmptyRangeReturnsAtOnce) {
    DocBench t;
    EXPECT_EQ(t.doc.Bus().WaitDirtyFlushed(), 1);
}

TEST(WaitDirtyFlushed, ReturnsOnceTheWorkerSentTheRange) {
    DocBench t;
    t.GoOnline();
    t.doc.Bus().EnableSync();
    t.doc.Edits().Set(PF::EqSource, 1, 4);
    EXPECT_EQ(t.doc.Bus().WaitDirtyFlushed(), 1);
    ASSERT_TRUE(WaitUntil([&] { return !t.device.RequestsOf(CMD_WRITE_IMAGE).empty(); }));
    EXPECT_EQ(t.device.images[0][66] & 0x3F, 4);
}

TEST(WaitDirtyFlushed, PausedWorkerIsReportedAs337) {
    DocBench t;
    t.GoOnline();
    t.doc.Edits().Set(PF::EqSource, 1, 4);
    t.clock.SetYieldStep(1000);
    t.ui.Push(UiAnswer::Yes);
    EXPECT_EQ(t.doc.Bus().WaitDirtyFlushed(), 0);
    ASSERT_EQ(t.ui.Questions().size(), 1u);
    EXPECT_NE(t.ui.Questions()[0].text.find("error number: 151 - a - "), std::string::npos)
        << t.ui.Questions()[0].text;
    EXPECT_GT(t.ui.KeepResponsiveCalls(), 0);
}

// The range waits for a worker that will never send it: each case returns at once, and none
// shows the 337 box (a failure has been reported already, or there is nothing to send).
struct NoWaitCase {
    const char* name;
    int syncLive;
    int online;
    int workerFailed;
    int result;
};

class WaitDirtyFlushedAtOnce : public ::testing::TestWithParam<NoWaitCase> {};

TEST_P(WaitDirtyFlushedAtOnce, NeitherWaitsNorAsks) {
    const NoWaitCase& c = GetParam();
    DocBench t;
    t.GoOnline();
    t.doc.Edits().MarkDirty(40);
    t.doc.Bus().SetSyncLive(c.syncLive);
    t.app.SetOnline(c.online);  // no active document: only the flag changes
    t.doc.Bus().Worker().failed.store(c.workerFailed);
    t.clock.SetYieldStep(1000);
    const std::int64_t start = t.clock.NowSeconds();
    EXPECT_EQ(t.doc.Bus().WaitDirtyFlushed(), c.result);
    EXPECT_LT(t.clock.NowSeconds() - start, 2);
    EXPECT_TRUE(t.ui.Questions().empty());
}

INSTANTIATE_TEST_SUITE_P(States, WaitDirtyFlushedAtOnce,
                         ::testing::Values(NoWaitCase{"NotLive", 0, 1, 0, 1},
                                           NoWaitCase{"NotLiveOffline", 0, 0, 0, 1},
                                           NoWaitCase{"WorkerFailed", 1, 1, 1, 0},
                                           NoWaitCase{"OfflineAfterAReportedFailure", 1, 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WaitWorkerIdle, StuckWorkerTimesOutWithoutADialog) {
    Gate gate;  // outlives the bench, whose worker may still call the hook
    DocBench t;
    StickInStatusPoll(t, gate);
    t.GoOnline();
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(gate.WaitEntered());
    t.clock.SetYieldStep(1000);
    EXPECT_EQ(t.doc.Bus().WaitWorkerIdle(), 0);
    gate.Open();
    EXPECT_TRUE(t.ui.Questions().empty());
    t.clock.SetYieldStep(1);
    EXPECT_EQ(t.doc.Bus().WaitWorkerIdle(), 1);
}

// ---- Online state ------------------------------------------------------------------------

TEST(OnlineState, SetOnlineOpensAndClosesTheLinkThroughTheObserver) {
    DocBench t;
    t.app.SetActiveDocument(&t.doc.Bus());
    t.app.SetOnline(1);
    EXPECT_TRUE(t.doc.Bus().Link().IsOpen());
    EXPECT_EQ(t.doc.Bus().IsSyncLive(), 1);
    MeterRecord meters;
    meters.levelA = 50;
    meters.reduction2[1] = 7;
    meters.indicatorBits = 3;
    t.doc.Bus().StoreMeters(meters);
    t.app.SetOnline(0);
    EXPECT_FALSE(t.doc.Bus().Link().IsOpen());
    EXPECT_EQ(t.doc.Bus().IsSyncLive(), 0);
    EXPECT_EQ(t.doc.Bus().Meters().levelA, 0);
    EXPECT_EQ(t.doc.Bus().Meters().reduction2[1], 0);
    EXPECT_EQ(t.doc.Bus().Meters().indicatorBits, 0);
    const auto commands = t.ui.ViewCommands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back(), CommandId::MeterRefresh);
    const auto updates = t.ui.ViewUpdates();
    ASSERT_FALSE(updates.empty());
    EXPECT_EQ(updates.back(), ViewHint::Change);
    t.app.SetActiveDocument(nullptr);
}

// Edits still pending when the link goes away belong to a device the user has left; they must
// not reach whatever device the link talks to at the next go-online.
struct DropCase {
    const char* name;
    void (*leave)(DocBench& t);
};

class PendingEdits : public ::testing::TestWithParam<DropCase> {};

TEST_P(PendingEdits, AreDroppedWhenTheLinkGoesAway) {
    DocBench t;
    t.app.SetActiveDocument(&t.doc.Bus());
    t.GoOnline();
    t.doc.Edits().Set(PF::InputLevel, 0, 170);  // the worker is not enabled: the edit waits
    ASSERT_LE(t.doc.Edits().DirtyRange().first, t.doc.Edits().DirtyRange().second);
    GetParam().leave(t);
    const auto range = t.doc.Edits().DirtyRange();
    EXPECT_LT(range.second, range.first);
    EXPECT_EQ(t.doc.Bus().WaitDirtyFlushed(), 1);
    t.app.SetActiveDocument(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, PendingEdits,
    ::testing::Values(DropCase{"GoingOffline", [](DocBench& t) { t.app.SetOnline(0); }},
                      DropCase{"ClosingTheLink",
                               [](DocBench& t) { ASSERT_EQ(t.doc.Bus().CloseLink(), 1); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OnlineState, PurgeLinkResumesTheWorker) {
    DocBench t;
    t.GoOnline();
    t.doc.Bus().EnableSync();
    EXPECT_EQ(t.doc.Bus().PurgeLink(), 1);
    EXPECT_EQ(t.doc.Bus().Worker().syncEnabled.load(), 1);
    EXPECT_EQ(t.doc.Bus().CloseLink(), 1);
    EXPECT_EQ(t.doc.Bus().Worker().syncEnabled.load(), 0)
        << "the worker stays paused after a close";
}

}  // namespace
}  // namespace arvestra::testing
