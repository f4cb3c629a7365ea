#include <gtest/gtest.h>

#include <cerrno>

#include "LinkTestSupport.h"
#include "app/ErrorMessages.h"

namespace arvestra {
namespace {

using testing::Bytes;
using testing::LinkBench;
using testing::MakeReply;

constexpr std::uint8_t kIdentify = 2;
constexpr std::uint8_t kWriteImage = 160;
constexpr std::uint8_t kReadStatus = 35;

TEST(Transact, ClosedPortSucceedsWithoutTouchingAnything) {
    LinkBench b;
    std::uint8_t reply[2] = {0xAA, 0xBB};
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, reply, 2), 1);
    EXPECT_EQ(reply[0], 0xAA);
    EXPECT_EQ(reply[1], 0xBB);
    EXPECT_TRUE(b.Script().writes.empty());
    EXPECT_TRUE(b.ui.Questions().empty());
}

TEST(Transact, SendsTheFrameAndCopiesTheReplyPayload) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.link.SetAddress(5);
    b.Script().QueueReply(MakeReply({34, 56}));
    std::uint8_t reply[2] = {};
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, reply, 2), 1);
    EXPECT_EQ(b.Script().AllWritten(), (Bytes{0xFB, 0x05, 0x00, 0x02, 0x02, 0xFC}));
    EXPECT_EQ(b.Script().readCounts, std::vector<int>{9});
    EXPECT_EQ(reply[0], 34);
    EXPECT_EQ(reply[1], 56);
    EXPECT_TRUE(b.ui.Questions().empty());
}

TEST(Transact, InputWaitingBeforeTheRequestIsDropped) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().input = testing::MakeReplyTo(1, kIdentify, {1, 1});  // left by a killed program
    b.Script().QueueReply(MakeReply({34, 56}));
    std::uint8_t reply[2] = {};
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, reply, 2), 1);
    EXPECT_EQ(reply[0], 34);
    EXPECT_EQ(reply[1], 56);
    EXPECT_EQ(b.Script().inputDiscards, 1);
}

// Replies whose start byte, address or command is not the request's, as the first answers.
struct StaleCase {
    const char* name;
    int staleReplies;  // how many come before the device's own
    int requestsSent;  // the exchange asks again after each skipped one
    bool ownAccepted;  // the device's own reply is what the caller gets
};

class StaleReplies : public ::testing::TestWithParam<StaleCase> {};

TEST_P(StaleReplies, AreSkippedWithoutADialogAndTheRequestSentAgain) {
    const StaleCase& c = GetParam();
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().echoRequest = false;
    const Bytes stale[] = {testing::MakeReplyTo(3, kIdentify, {1, 1}),     // another address
                           testing::MakeReplyTo(1, kReadStatus, {2, 2}),   // another command
                           testing::MakeReplyTo(1, kIdentify, {3, 3}),     // no start byte
                           testing::MakeReplyTo(4, kWriteImage, {4, 4})};  // both
    for (int i = 0; i < c.staleReplies; ++i) {
        Bytes reply = stale[i % 4];
        if (i % 4 == 2) {
            reply.back() = static_cast<std::uint8_t>(reply.back() + reply[0] - 0x00);
            reply[0] = 0x00;
        }
        b.Script().QueueReply(reply);
    }
    b.Script().QueueReply(testing::MakeReplyTo(1, kIdentify, {34, 56}));
    std::uint8_t reply[2] = {};
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, reply, 2), 1);
    EXPECT_EQ(static_cast<int>(b.Script().writes.size()), c.requestsSent);
    EXPECT_EQ(reply[0] == 34 && reply[1] == 56, c.ownAccepted);
    EXPECT_TRUE(b.ui.Questions().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Counts, StaleReplies,
    ::testing::Values(StaleCase{"One", 1, 2, true}, StaleCase{"Three", 3, 4, true},
                      // Past three the reply is judged by the length, status and checksum alone,
                      // so a device that does not echo still works.
                      StaleCase{"Four", 4, 4, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Transact, AcknowledgementOnlyReadsSevenBytes) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().QueueReply(MakeReply({}));
    EXPECT_EQ(b.link.SendByte(130, 3), 1);
    EXPECT_EQ(b.Script().AllWritten(), (Bytes{0xFB, 0x01, 0x00, 0x03, 0x82, 0x03, 0x78}));
    EXPECT_EQ(b.Script().readCounts, std::vector<int>{7});
}

TEST(Transact, PayloadFBIsStuffedOnTheWire) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().QueueReply(MakeReply({}));
    const std::uint8_t payload[3] = {0x00, 0x0A, 0xFB};
    EXPECT_EQ(b.link.Transact(kWriteImage, payload, 3, nullptr, 0), 1);
    EXPECT_EQ(b.Script().AllWritten(),
              (Bytes{0xFB, 0x01, 0x00, 0x05, 0xA0, 0x00, 0x0A, 0xFB, 0xFB, 0x56}));
}

TEST(Transact, LongReplyReadIsCappedAt266Bytes) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    // The length field must say M + 2 = 302; 259 payload bytes fit in the capped read.
    Bytes reply{0xFB, 0, 0, 0x01, 0x2E};  // the echo bytes are filled in by the fake
    reply.resize(264, 0x10);
    reply.push_back(0);
    std::uint8_t sum = 0;
    for (std::uint8_t x : reply) sum = static_cast<std::uint8_t>(sum + x);
    reply.push_back(static_cast<std::uint8_t>(0u - sum));
    b.Script().QueueReply(reply);
    std::vector<std::uint8_t> buffer(300, 0xEE);
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, buffer.data(), 300), 1);
    EXPECT_EQ(b.Script().readCounts, std::vector<int>{266});
    EXPECT_EQ(buffer[258], 0x10);
    EXPECT_EQ(buffer[259], 0xEE);  // never written past the capped payload
}

TEST(Transact, PayloadBeyondTheProtocolSendsNothing) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    const Bytes payload(261, 0);
    EXPECT_EQ(b.link.Transact(kWriteImage, payload.data(), 261, nullptr, 0), 0);
    EXPECT_EQ(b.link.Transact(kWriteImage, payload.data(), -1, nullptr, 0), 0);
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, nullptr, -1), 0);
    EXPECT_TRUE(b.Script().writes.empty());
}

// A reply with one fault, its expected error number, and how each answer ends.
struct ReplyFaultCase {
    const char* name;
    std::uint8_t command;
    int replyLength;
    Bytes badReply;
    const char* errorNumber;
};

Bytes WithChecksumBroken(Bytes reply) {
    reply.back() = static_cast<std::uint8_t>(reply.back() + 3);
    return reply;
}

Bytes WithLength(Bytes reply, int length) {
    const std::uint8_t before = static_cast<std::uint8_t>(reply[3] + reply[4]);
    reply[3] = static_cast<std::uint8_t>(length >> 8);
    reply[4] = static_cast<std::uint8_t>(length & 0xFF);
    // Keep the sum at zero so only the length is wrong.
    reply.back() = static_cast<std::uint8_t>(reply.back() + before - reply[3] - reply[4]);
    return reply;
}

const ReplyFaultCase kReplyFaults[] = {
    {"WrongLength", kIdentify, 2, WithLength(MakeReply({34, 56}), 3), "41 - 2 - 4 - 3"},
    {"BadStatus", kWriteImage, 0, MakeReply({}, 5), "42 - a0 - 5 - 0"},
    {"BadChecksum", kReadStatus, 2, WithChecksumBroken(MakeReply({1, 2})), "43 - 23 - 3 - 0"},
};

class ReplyFaults : public ::testing::TestWithParam<ReplyFaultCase> {};

TEST_P(ReplyFaults, RetryRepeatsTheExchangeUntilItSucceeds) {
    const ReplyFaultCase& c = GetParam();
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().QueueReply(c.badReply);
    b.Script().QueueReply(MakeReply(Bytes(static_cast<std::size_t>(c.replyLength), 0x42)));
    b.ui.Push(UiAnswer::Retry);
    std::vector<std::uint8_t> reply(static_cast<std::size_t>(c.replyLength) + 1, 0);
    EXPECT_EQ(b.link.Transact(c.command, nullptr, 0, reply.data(), c.replyLength), 1);
    ASSERT_EQ(b.ui.Questions().size(), 1u);
    EXPECT_EQ(b.ErrorNumber(0), c.errorNumber);
    EXPECT_EQ(b.ui.Questions()[0].buttons, ButtonSet::AbortRetryIgnore);
    // The same frame went out twice, and the port was purged before the second (and at the
    // open).
    ASSERT_EQ(b.Script().writes.size(), 2u);
    EXPECT_EQ(b.Script().writes[0], b.Script().writes[1]);
    EXPECT_EQ(b.Script().purges, 2);
    if (c.replyLength > 0) {
        EXPECT_EQ(reply[0], 0x42);
    }
    EXPECT_EQ(b.app.IsOnline(), 1);
}

TEST_P(ReplyFaults, IgnoreTakesTheApplicationOffline) {
    const ReplyFaultCase& c = GetParam();
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().QueueReply(c.badReply);
    b.ui.Push(UiAnswer::Ignore);
    std::uint8_t reply[4] = {};
    EXPECT_EQ(b.link.Transact(c.command, nullptr, 0, reply, c.replyLength), 0);
    EXPECT_EQ(b.app.IsOnline(), 0);
    EXPECT_EQ(b.ui.ViewCommands(), std::vector<CommandId>{CommandId::MeterRefresh});
    EXPECT_EQ(b.ui.CloseRequests(), 0);
    EXPECT_EQ(b.Script().writes.size(), 1u);
    EXPECT_EQ(b.Script().purges, 1);  // only at the open
}

TEST_P(ReplyFaults, AbortPostsTheClose) {
    const ReplyFaultCase& c = GetParam();
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().QueueReply(c.badReply);
    b.ui.Push(UiAnswer::Abort);
    std::uint8_t reply[4] = {};
    EXPECT_EQ(b.link.Transact(c.command, nullptr, 0, reply, c.replyLength), 0);
    EXPECT_EQ(b.app.IsOnline(), 0);
    EXPECT_EQ(b.ui.CloseRequests(), 1);
    EXPECT_TRUE(b.ui.ViewCommands().empty());
}

TEST_P(ReplyFaults, AreShownEvenWithPortReportingOff) {
    const ReplyFaultCase& c = GetParam();
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.link.reportErrors = 0;
    b.Script().QueueReply(c.badReply);
    b.ui.Push(UiAnswer::Ignore);
    std::uint8_t reply[4] = {};
    EXPECT_EQ(b.link.Transact(c.command, nullptr, 0, reply, c.replyLength), 0);
    EXPECT_EQ(b.ui.Questions().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Checks, ReplyFaults, ::testing::ValuesIn(kReplyFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Transact, ChecksumFailureCopiesThePayloadBeforeTheVerdict) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().QueueReply(WithChecksumBroken(MakeReply({7, 8})));
    b.ui.Push(UiAnswer::Ignore);
    std::uint8_t reply[2] = {};
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, reply, 2), 0);
    EXPECT_EQ(reply[0], 7);
    EXPECT_EQ(reply[1], 8);
}

TEST(Transact, FirstFailedCheckEndsTheExchange) {
    // The reporter never answers "carry on", so the first fault already ends the exchange.
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().QueueReply(WithLength(MakeReply({}, 9), 5));
    b.ui.Push(UiAnswer::Ignore);
    EXPECT_EQ(b.link.Transact(kWriteImage, nullptr, 0, nullptr, 0), 0);
    ASSERT_EQ(b.ui.Questions().size(), 1u);
    EXPECT_EQ(b.ErrorNumber(0), "41 - a0 - 2 - 5");
}

TEST(Transact, ErrorDialogFlagIsUpWhileAskingAndRestoredAfter) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().QueueReply(MakeReply({}, 1));
    int seenWhileAsking = -1;
    b.ui.OnAsk([&] { seenWhileAsking = b.link.errorDialogShowing.load(); });
    b.ui.Push(UiAnswer::Ignore);
    b.link.Transact(kWriteImage, nullptr, 0, nullptr, 0);
    EXPECT_EQ(seenWhileAsking, 1);
    EXPECT_EQ(b.link.errorDialogShowing.load(), 0);
}

// Port-level failures of the write and the read, with the numbers they carry.
struct IoFaultCase {
    const char* name;
    bool onWrite;
    IoResult result;
    const char* errorNumber;  // command 2, 10000 ms exchange time-out
};

const IoFaultCase kIoFaults[] = {
    {"WriteStartFails", true, {IoOutcome::StartFailed, EIO, 0, 0}, "21 - 2 - 5 - 0"},
    {"WriteTimesOut", true, {IoOutcome::TimedOut, 0, kWaitTimedOut, 3}, "22 - 2 - 102 - 2710"},
    {"WriteShort", true, {IoOutcome::Completed, 0, 0, 4}, "23 - 2 - 6 - 4"},
    {"ReadStartFails", false, {IoOutcome::StartFailed, EBADF, 0, 0}, "31 - 2 - 9 - 0"},
    {"ReadTimesOut", false, {IoOutcome::TimedOut, 0, kWaitTimedOut, 0}, "32 - 2 - 102 - 2710"},
    {"ReadShort", false, {IoOutcome::Completed, 0, 0, 3}, "33 - 2 - 0 - 3"},
    {"ReadShortWithError", false, {IoOutcome::Completed, EIO, 0, 1}, "33 - 2 - 5 - 1"},
};

class IoFaults : public ::testing::TestWithParam<IoFaultCase> {};

TEST_P(IoFaults, AreReportedWithTheirNumbersAndRetried) {
    const IoFaultCase& c = GetParam();
    LinkBench b;
    ASSERT_TRUE(b.Open());
    if (c.onWrite) {
        b.Script().ForceWrite(c.result);
    } else {
        b.Script().QueueReply({});  // the first request meets the forced read
        b.Script().ForceRead(c.result);
    }
    b.Script().QueueReply(MakeReply({34, 56}));
    b.ui.Push(UiAnswer::Retry);
    std::uint8_t reply[2] = {};
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, reply, 2), 1);
    ASSERT_EQ(b.ui.Questions().size(), 1u);
    EXPECT_EQ(b.ErrorNumber(0), c.errorNumber);
    EXPECT_EQ(reply[0], 34);
    EXPECT_EQ(b.Script().purges, 2);  // at the open, and on Retry
}

TEST_P(IoFaults, ReturnZeroSilentlyWithReportingOff) {
    const IoFaultCase& c = GetParam();
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.link.reportErrors = 0;
    if (c.onWrite) {
        b.Script().ForceWrite(c.result);
    } else {
        b.Script().ForceRead(c.result);
    }
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, nullptr, 2), 0);
    EXPECT_TRUE(b.ui.Questions().empty());
    EXPECT_EQ(b.app.IsOnline(), 1);
}

INSTANTIATE_TEST_SUITE_P(Port, IoFaults, ::testing::ValuesIn(kIoFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Transact, SilentDeviceIsAShortReadOfNothing) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.ui.Push(UiAnswer::Ignore);
    EXPECT_EQ(b.link.Transact(kReadStatus, nullptr, 0, nullptr, 16), 0);
    EXPECT_EQ(b.ErrorNumber(0), "33 - 23 - 0 - 0");
    EXPECT_EQ(b.QuestionText(0).rfind(kMsgCannotCommunicate, 0), 0u);
}

TEST(Transact, SimulatedTimeOutFailsExactlyOneReadWithWaitResultZero) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.link.simulateTimeoutOnce = 1;
    b.Script().QueueReply(MakeReply({34, 56}));
    b.Script().QueueReply(MakeReply({34, 56}));
    b.ui.Push(UiAnswer::Retry);
    std::uint8_t reply[2] = {};
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, reply, 2), 1);
    ASSERT_EQ(b.ui.Questions().size(), 1u);
    EXPECT_EQ(b.ErrorNumber(0), "32 - 2 - 0 - 2710");
    EXPECT_EQ(b.link.simulateTimeoutOnce.load(), 0);
    EXPECT_EQ(b.Script().writes.size(), 2u);
}

TEST(Transact, SimulatedTimeOutIsConsumedSilentlyWithReportingOff) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.link.reportErrors = 0;
    b.link.simulateTimeoutOnce = 1;
    b.Script().QueueReply(MakeReply({34, 56}));
    EXPECT_EQ(b.link.Transact(kIdentify, nullptr, 0, nullptr, 2), 0);
    EXPECT_EQ(b.link.simulateTimeoutOnce.load(), 0);
    EXPECT_TRUE(b.ui.Questions().empty());
}

TEST(Transact, RetryRebuildsTheFrameWithTheCurrentAddress) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.link.SetAddress(3);
    b.Script().QueueReply(MakeReply({}, 1));
    b.Script().QueueReply(MakeReply({}));
    b.ui.Push(UiAnswer::Retry);
    EXPECT_EQ(b.link.SendByte(150, 0xFB), 1);
    const Bytes expected{0xFB, 0x03, 0x00, 0x03, 0x96, 0xFB, 0xFB, 0x6C};
    ASSERT_EQ(b.Script().writes.size(), 2u);
    EXPECT_EQ(b.Script().writes[0], expected);
    EXPECT_EQ(b.Script().writes[1], expected);
}

}  // namespace
}  // namespace arvestra
