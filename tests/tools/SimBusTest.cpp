#include "devsim/SimBus.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "DevsimFrames.h"

namespace arvestra::devsim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

Request MakeRequest(int address, std::uint8_t command, Bytes payload = {}) {
    Request request;
    request.address = static_cast<std::uint8_t>(address);
    request.command = command;
    request.payload = std::move(payload);
    request.wire = testing::WireFrame(request.address, command, request.payload);
    return request;
}

unsigned Sum(const Bytes& bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), 0u) & 0xFF;
}

int LengthField(const Bytes& frame) {
    return frame.at(3) * 256 + frame.at(4);
}

TEST(ReplyFrame, CarriesLengthPayloadStatusAndZeroSum) {
    const Bytes frame = BuildReplyFrame(3, 32, Reply{kStatusOk, Bytes(250, 0xFB)});
    ASSERT_EQ(frame.size(), 257u);  // 250 + 7, not stuffed
    EXPECT_EQ(LengthField(frame), 252);
    EXPECT_EQ(frame[frame.size() - 2], 0);
    EXPECT_EQ(Sum(frame), 0u);
    const Bytes empty = BuildReplyFrame(126, 130, Reply{kStatusBadRequest, {}});
    ASSERT_EQ(empty.size(), 7u);
    EXPECT_EQ(LengthField(empty), 2);
    EXPECT_EQ(empty[5], kStatusBadRequest);
    EXPECT_EQ(Sum(empty), 0u);
}

TEST(SimBus, OnlyConfiguredAddressesAnswer) {
    const std::vector<int> addresses{3, 7, 7, 0, 127};
    CSimBus bus(addresses, {}, 0ms);
    EXPECT_EQ(bus.Addresses(), (std::vector<int>{3, 7}));
    EXPECT_FALSE(bus.Answer(MakeRequest(1, 2), 0).answered);
    EXPECT_EQ(bus.RequestCount(1), 0);
    const Outgoing out = bus.Answer(MakeRequest(7, 2), 0);
    ASSERT_TRUE(out.answered);
    EXPECT_EQ(out.bytes.size(), 9u);
    EXPECT_EQ(bus.RequestCount(7), 1);
    EXPECT_EQ(bus.RequestCount(3), 0);
}

struct FaultCase {
    FaultKind kind;
    std::uint8_t command;
    // Checks the damaged frame against the healthy one.
    void (*check)(const Outgoing& faulty, const Bytes& healthy);
};

TEST(SimBus, EachFaultDamagesTheReplyItsOwnWay) {
    const std::vector<FaultCase> cases{
        {FaultKind::NoReply, 2,
         [](const Outgoing& o, const Bytes&) {
             EXPECT_FALSE(o.answered);
             EXPECT_TRUE(o.bytes.empty());
         }},
        {FaultKind::ShortReply, 35,
         [](const Outgoing& o, const Bytes& h) {
             EXPECT_TRUE(o.answered);
             EXPECT_EQ(o.bytes.size(), h.size() / 2);
         }},
        {FaultKind::BadChecksum, 2,
         [](const Outgoing& o, const Bytes& h) {
             EXPECT_EQ(o.bytes.size(), h.size());
             EXPECT_EQ(Sum(o.bytes), 1u);
         }},
        {FaultKind::BadStatus, 36,
         [](const Outgoing& o, const Bytes& h) {
             EXPECT_EQ(o.bytes.size(), h.size());
             EXPECT_EQ(o.bytes[o.bytes.size() - 2], kStatusInjectedFault);
             EXPECT_EQ(Sum(o.bytes), 0u);
         }},
        {FaultKind::WrongLength, 18,
         [](const Outgoing& o, const Bytes& h) {
             EXPECT_EQ(o.bytes.size(), h.size());
             EXPECT_EQ(LengthField(o.bytes), LengthField(h) + 1);
             EXPECT_EQ(Sum(o.bytes), 0u);
         }},
        {FaultKind::SlowReply, 2,
         [](const Outgoing& o, const Bytes& h) {
             EXPECT_EQ(o.bytes, h);
             EXPECT_EQ(o.extraDelay, 40ms);
         }},
        {FaultKind::WrongType, 2,
         [](const Outgoing& o, const Bytes&) {
             EXPECT_EQ(o.bytes[5], 35);
             EXPECT_EQ(o.bytes[6], 56);
             EXPECT_EQ(Sum(o.bytes), 0u);
         }},
        {FaultKind::WrongMaker, 2,
         [](const Outgoing& o, const Bytes&) {
             EXPECT_EQ(o.bytes[5], 34);
             EXPECT_EQ(o.bytes[6], 57);
         }},
        {FaultKind::OldFirmware, 36,
         [](const Outgoing& o, const Bytes& h) {
             EXPECT_EQ(o.bytes[7], 10);
             EXPECT_EQ(o.bytes[8], h[8]);
             EXPECT_EQ(Sum(o.bytes), 0u);
         }},
    };
    for (const auto& c : cases) {
        const std::vector<int> addresses{2, 5};
        CSimBus bus(addresses, {FaultSpec{5, c.kind, 0}}, 40ms);
        const Outgoing healthy = bus.Answer(MakeRequest(2, c.command), 0);
        ASSERT_TRUE(healthy.answered);
        const Outgoing faulty = bus.Answer(MakeRequest(5, c.command), 0);
        SCOPED_TRACE(std::string(FaultName(c.kind)));
        // Compare with the healthy frame of the same device type, address byte aside.
        Bytes reference = healthy.bytes;
        reference[1] = 5;
        SealReplyFrame(reference);
        c.check(faulty, reference);
    }
}

// A short reply combined with another wire fault on the same address: the other fault damages
// the whole frame and the cut comes last, whatever order the faults were given in, so no fault
// ever writes past the end of the cut frame or into its payload.
struct ComboCase {
    const char* name;
    std::vector<FaultKind> faults;  // ShortReply among them
    FaultKind other;
    std::uint8_t command;
    Bytes payload;
};

class ShortReplyWithAnotherFault : public ::testing::TestWithParam<ComboCase> {};

TEST_P(ShortReplyWithAnotherFault, IsTheFirstHalfOfTheOtherFaultsFrame) {
    const ComboCase& c = GetParam();
    const std::vector<int> addresses{5};
    std::vector<FaultSpec> specs;
    for (FaultKind kind : c.faults) specs.push_back(FaultSpec{5, kind, 0});
    CSimBus combined(addresses, specs, 40ms);
    CSimBus single(addresses, {FaultSpec{5, c.other, 0}}, 40ms);
    const Outgoing whole = single.Answer(MakeRequest(5, c.command, c.payload), 0);
    const Outgoing cut = combined.Answer(MakeRequest(5, c.command, c.payload), 0);
    ASSERT_TRUE(cut.answered);
    EXPECT_EQ(cut.bytes, Bytes(whole.bytes.begin(), whole.bytes.begin() + whole.bytes.size() / 2));
    EXPECT_EQ(cut.extraDelay, whole.extraDelay);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ShortReplyWithAnotherFault,
    ::testing::Values(ComboCase{"ShortThenWrongLengthOnAStatusOnlyReply",
                                {FaultKind::ShortReply, FaultKind::WrongLength},
                                FaultKind::WrongLength,
                                130,
                                {5}},
                      ComboCase{"WrongLengthThenShortOnAStatusOnlyReply",
                                {FaultKind::WrongLength, FaultKind::ShortReply},
                                FaultKind::WrongLength,
                                130,
                                {5}},
                      ComboCase{"ShortThenBadStatus",
                                {FaultKind::ShortReply, FaultKind::BadStatus},
                                FaultKind::BadStatus,
                                35,
                                {}},
                      ComboCase{"ShortThenBadStatusOnAStatusOnlyReply",
                                {FaultKind::ShortReply, FaultKind::BadStatus},
                                FaultKind::BadStatus,
                                130,
                                {5}},
                      ComboCase{"ShortThenBadChecksum",
                                {FaultKind::ShortReply, FaultKind::BadChecksum},
                                FaultKind::BadChecksum,
                                35,
                                {}},
                      ComboCase{"ShortThenSlow",
                                {FaultKind::ShortReply, FaultKind::SlowReply},
                                FaultKind::SlowReply,
                                2,
                                {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimBus, ContentFaultsLeaveOtherCommandsAlone) {
    const std::vector<int> addresses{1};
    CSimBus bus(addresses, {{1, FaultKind::WrongType, 0}, {1, FaultKind::OldFirmware, 0}}, 0ms);
    const Outgoing status = bus.Answer(MakeRequest(1, 35), 0);
    EXPECT_EQ(status.bytes.size(), 23u);
    EXPECT_EQ(Sum(status.bytes), 0u);
    EXPECT_EQ(bus.Answer(MakeRequest(1, 36), 0).bytes[7], 10);
    EXPECT_EQ(bus.Answer(MakeRequest(1, 2), 0).bytes[5], 35);
}

TEST(SimBus, FaultStartsAfterTheGivenNumberOfRequests) {
    const std::vector<int> addresses{3};
    CSimBus bus(addresses, {{3, FaultKind::NoReply, 5}}, 0ms);
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(bus.Answer(MakeRequest(3, 35), 0).answered) << i;
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(bus.Answer(MakeRequest(3, 35), 0).answered) << i;
    }
    EXPECT_EQ(bus.RequestCount(3), 8);
}

TEST(SimBus, FaultWindowEndsAtTheGivenRequest) {
    const std::vector<int> addresses{3};
    // Silent for requests 3 and 4 (counted from 1), checksums bad for request 5 only.
    CSimBus bus(addresses, {{3, FaultKind::NoReply, 2, 4}, {3, FaultKind::BadChecksum, 4, 5}}, 0ms);
    const std::vector<int> expected{1, 1, 0, 0, 2, 1, 1};  // 1 good, 0 silent, 2 damaged
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Outgoing out = bus.Answer(MakeRequest(3, 35), 0);
        const int seen = !out.answered ? 0 : (Sum(out.bytes) == 0 ? 1 : 2);
        EXPECT_EQ(seen, expected[i]) << "request " << i + 1;
    }
}

TEST(SimBus, SilentDeviceDoesNotActOnRequests) {
    const std::vector<int> addresses{4};
    CSimBus bus(addresses, {{4, FaultKind::NoReply, 1}}, 0ms);
    ASSERT_TRUE(bus.Answer(MakeRequest(4, 160, {0, 0, 0x11}), 0).answered);
    EXPECT_FALSE(bus.Answer(MakeRequest(4, 160, {0, 1, 0x22}), 0).answered);
    EXPECT_EQ(bus.Device(4)->Image(0)[0], 0x11);
    EXPECT_NE(bus.Device(4)->Image(0)[1], 0x22);
}

TEST(SimBus, DamagedRepliesStillChangeTheDevice) {
    const std::vector<int> addresses{4};
    CSimBus bus(addresses, {{4, FaultKind::BadChecksum, 0}}, 0ms);
    bus.Answer(MakeRequest(4, 130, {5}), 0);
    EXPECT_EQ(bus.Device(4)->CurrentPreset(), 5);
}

}  // namespace
}  // namespace arvestra::devsim
