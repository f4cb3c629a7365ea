#include "link/FrameCodec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

namespace arvestra {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct FrameOnWire {
    Bytes frame;
    Bytes stuffed;
};

FrameOnWire Encode(std::uint8_t address, std::uint8_t command, const Bytes& payload) {
    std::uint8_t staging[kStagingSize];
    std::uint8_t stuffed[kStuffedSize];
    const int size = BuildRequestFrame(address, command, payload.data(),
                                       static_cast<int>(payload.size()), staging);
    const int stuffedSize = StuffFrame(staging, size, stuffed);
    return {Bytes(staging, staging + size), Bytes(stuffed, stuffed + stuffedSize)};
}

struct ExampleCase {
    std::uint8_t address;
    std::uint8_t command;
    Bytes payload;
    Bytes unstuffed;
    Bytes sent;
};

class WorkedExamples : public ::testing::TestWithParam<ExampleCase> {};

TEST_P(WorkedExamples, GoOutAsListed) {
    const ExampleCase& c = GetParam();
    const FrameOnWire wire = Encode(c.address, c.command, c.payload);
    EXPECT_EQ(wire.frame, c.unstuffed);
    EXPECT_EQ(wire.stuffed, c.sent);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, WorkedExamples,
    ::testing::Values(
        ExampleCase{
            1, 2, {}, {0xFB, 0x01, 0x00, 0x02, 0x02, 0xFC}, {0xFB, 0x01, 0x00, 0x02, 0x02, 0xFC}},
        ExampleCase{5,
                    130,
                    {0x03},
                    {0xFB, 0x05, 0x00, 0x03, 0x82, 0x03, 0x78},
                    {0xFB, 0x05, 0x00, 0x03, 0x82, 0x03, 0x78}},
        ExampleCase{1,
                    32,
                    {0x01, 0xDA, 0x20},
                    {0xFB, 0x01, 0x00, 0x05, 0x20, 0x01, 0xDA, 0x20, 0xE0},
                    {0xFB, 0x01, 0x00, 0x05, 0x20, 0x01, 0xDA, 0x20, 0xE0}},
        ExampleCase{1,
                    160,
                    {0x00, 0x0A, 0xFB},
                    {0xFB, 0x01, 0x00, 0x05, 0xA0, 0x00, 0x0A, 0xFB, 0x56},
                    {0xFB, 0x01, 0x00, 0x05, 0xA0, 0x00, 0x0A, 0xFB, 0xFB, 0x56}},
        // The checksum itself is 0xFB: 00 02 02 + FB = 0 mod 256 needs command 3.
        ExampleCase{1,
                    3,
                    {},
                    {0xFB, 0x01, 0x00, 0x02, 0x03, 0xFB},
                    {0xFB, 0x01, 0x00, 0x02, 0x03, 0xFB, 0xFB}},
        // The command byte 0xFB is doubled too.
        ExampleCase{2,
                    0xFB,
                    {},
                    {0xFB, 0x02, 0x00, 0x02, 0xFB, 0x03},
                    {0xFB, 0x02, 0x00, 0x02, 0xFB, 0xFB, 0x03}}));

TEST(FrameCodec, LengthLowByteOf251IsSentTwice) {
    const Bytes payload(249, 0x00);
    const FrameOnWire wire = Encode(1, 160, payload);
    ASSERT_EQ(wire.frame.size(), 255u);
    EXPECT_EQ(wire.frame[2], 0x00);
    EXPECT_EQ(wire.frame[3], 0xFB);
    // FB 01 00 FB FB A0 ...: the start byte once, the length byte twice.
    EXPECT_EQ(wire.stuffed[0], 0xFB);
    EXPECT_EQ(wire.stuffed[1], 0x01);
    EXPECT_EQ(wire.stuffed[2], 0x00);
    EXPECT_EQ(wire.stuffed[3], 0xFB);
    EXPECT_EQ(wire.stuffed[4], 0xFB);
    EXPECT_EQ(wire.stuffed[5], 0xA0);
}

TEST(FrameCodec, BytesAfterTheAddressSumToZero) {
    for (int n : {0, 1, 2, 16, 97, 252, 258, 260}) {
        Bytes payload(static_cast<std::size_t>(n));
        std::iota(payload.begin(), payload.end(), static_cast<std::uint8_t>(n * 7));
        const FrameOnWire wire = Encode(0x7E, 160, payload);
        ASSERT_EQ(wire.frame.size(), static_cast<std::size_t>(n + 6)) << n;
        EXPECT_EQ((wire.frame[2] << 8) | wire.frame[3], n + 2) << n;
        const unsigned sum = std::accumulate(wire.frame.begin() + 2, wire.frame.end(), 0u);
        EXPECT_EQ(sum % 256, 0u) << n;
    }
}

TEST(FrameCodec, WriteOfAWholeImageIs258BytesBeforeStuffing) {
    const Bytes payload(252, 0x11);
    EXPECT_EQ(Encode(1, 160, payload).frame.size(), 258u);
}

TEST(FrameCodec, LargestPayloadOfAllFBFitsTheStuffingBuffer) {
    const Bytes payload(kMaxPayload, 0xFB);
    const FrameOnWire wire = Encode(0xFB, 0xFB, payload);
    ASSERT_EQ(wire.frame.size(), static_cast<std::size_t>(kMaxPayload + 6));
    // Every byte after the start byte that is 0xFB appears twice.
    std::size_t doubled = 0;
    for (std::size_t i = 1; i < wire.frame.size(); ++i) doubled += wire.frame[i] == 0xFB ? 2 : 1;
    EXPECT_EQ(wire.stuffed.size(), 1 + doubled);
    EXPECT_LE(wire.stuffed.size(), static_cast<std::size_t>(kStuffedSize));
}

TEST(FrameCodec, PayloadOutsideTheBuffersIsRefused) {
    std::uint8_t staging[kStagingSize];
    const Bytes payload(kMaxPayload + 1, 0);
    EXPECT_EQ(BuildRequestFrame(1, 160, payload.data(), kMaxPayload + 1, staging), 0);
    EXPECT_EQ(BuildRequestFrame(1, 160, payload.data(), -1, staging), 0);
    EXPECT_EQ(BuildRequestFrame(1, 160, nullptr, 3, staging), 0);
}

struct ReadLengthCase {
    int replyPayload;
    int readLength;
};

class ReplyRead : public ::testing::TestWithParam<ReadLengthCase> {};

TEST_P(ReplyRead, IsPayloadPlusSevenCappedAt266) {
    EXPECT_EQ(ReplyReadLength(GetParam().replyPayload), GetParam().readLength);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReplyRead,
                         ::testing::Values(ReadLengthCase{0, 7}, ReadLengthCase{2, 9},
                                           ReadLengthCase{16, 23}, ReadLengthCase{95, 102},
                                           ReadLengthCase{250, 257}, ReadLengthCase{259, 266},
                                           ReadLengthCase{260, 266}, ReadLengthCase{100000, 266}));

TEST(FrameCodec, NegatedSumCompletesToZero) {
    const Bytes bytes{0x00, 0x05, 0x20, 0x01, 0xDA, 0x20};
    EXPECT_EQ(NegatedSum(bytes.data(), bytes.size()), 0xE0);
    EXPECT_EQ(NegatedSum(bytes.data(), 0), 0x00);
}

}  // namespace
}  // namespace arvestra
