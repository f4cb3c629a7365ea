#include "devsim/FrameParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DevsimFrames.h"

namespace arvestra::devsim {
namespace {

using testing::PlainFrame;
using testing::WireFrame;
using Bytes = std::vector<std::uint8_t>;

// Everything the parser reported for a byte stream.
struct Parsed {
    std::vector<ParseEvent> events;  // every event other than None, in order
    std::vector<Request> requests;
};

Parsed FeedAll(CFrameParser& parser, const Bytes& stream) {
    Parsed parsed;
    for (const std::uint8_t byte : stream) {
        const ParseEvent event = parser.Feed(byte);
        if (event == ParseEvent::None) continue;
        parsed.events.push_back(event);
        if (event == ParseEvent::Request) parsed.requests.push_back(parser.LastRequest());
    }
    return parsed;
}

Parsed FeedAll(const Bytes& stream) {
    CFrameParser parser;
    return FeedAll(parser, stream);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct WorkedExample {
    Bytes wire;
    int address;
    int command;
    Bytes payload;
};

TEST(FrameParser, ReadsTheWorkedExamples) {
    const std::vector<WorkedExample> examples{
        {{0xFB, 0x01, 0x00, 0x02, 0x02, 0xFC}, 1, 2, {}},
        {{0xFB, 0x05, 0x00, 0x03, 0x82, 0x03, 0x78}, 5, 130, {0x03}},
        {{0xFB, 0x01, 0x00, 0x05, 0x20, 0x01, 0xDA, 0x20, 0xE0}, 1, 32, {0x01, 0xDA, 0x20}},
        {{0xFB, 0x01, 0x00, 0x05, 0xA0, 0x00, 0x0A, 0xFB, 0xFB, 0x56}, 1, 160, {0x00, 0x0A, 0xFB}},
    };
    for (const auto& example : examples) {
        const Parsed parsed = FeedAll(example.wire);
        ASSERT_EQ(parsed.requests.size(), 1u) << int(example.command);
        const Request& request = parsed.requests.front();
        EXPECT_EQ(request.address, example.address);
        EXPECT_EQ(request.command, example.command);
        EXPECT_EQ(request.payload, example.payload);
        EXPECT_EQ(request.wire, example.wire);
    }
}

TEST(FrameParser, UndoesStuffingInEveryField) {
    struct Case {
        std::string what;
        std::uint8_t address;
        std::uint8_t command;
        Bytes payload;
    };
    const std::vector<Case> cases{
        {"length low byte 0xFB", 1, 160, Bytes(249, 0x11)},
        {"payload all 0xFB", 2, 160, Bytes(40, 0xFB)},
        {"command 0xFB", 3, 0xFB, {1, 2}},
        {"address 0xFB", 0xFB, 2, {}},
        {"largest payload", 126, 160, Bytes(258, 0xFB)},
    };
    for (const auto& c : cases) {
        const Bytes wire = WireFrame(c.address, c.command, c.payload);
        const Parsed parsed = FeedAll(wire);
        ASSERT_EQ(parsed.requests.size(), 1u) << c.what;
        EXPECT_EQ(parsed.requests[0].address, c.address) << c.what;
        EXPECT_EQ(parsed.requests[0].command, c.command) << c.what;
        EXPECT_EQ(parsed.requests[0].payload, c.payload) << c.what;
        EXPECT_EQ(parsed.requests[0].wire.size(), wire.size()) << c.what;
    }
}

TEST(FrameParser, FindsChecksumByteEqualToStart) {
    // Some command makes the checksum of a one-byte payload 0xFB; it must go out doubled.
    Bytes payload{0x00};
    std::uint8_t command = 0;
    for (int c = 0; c < 256; ++c) {
        if (PlainFrame(1, static_cast<std::uint8_t>(c), payload).back() == 0xFB) {
            command = static_cast<std::uint8_t>(c);
            break;
        }
    }
    const Bytes wire = WireFrame(1, command, payload);
    ASSERT_EQ(wire[wire.size() - 1], 0xFB);
    ASSERT_EQ(wire[wire.size() - 2], 0xFB);
    const Parsed parsed = FeedAll(wire);
    ASSERT_EQ(parsed.requests.size(), 1u);
    EXPECT_EQ(parsed.requests[0].command, command);
}

TEST(FrameParser, SkipsNoiseBeforeAFrame) {
    CFrameParser parser;
    const Parsed parsed = FeedAll(parser, Concat({{0x00, 0x55, 0xFC, 0x12}, WireFrame(7, 35, {})}));
    ASSERT_EQ(parsed.requests.size(), 1u);
    EXPECT_EQ(parsed.requests[0].address, 7);
    EXPECT_EQ(parser.NoiseBytes(), 4u);
    EXPECT_FALSE(parser.InFrame());
}

TEST(FrameParser, ResynchronisesOnALoneStartByte) {
    struct Case {
        std::string what;
        Bytes before;  // a frame cut short
    };
    const std::vector<Case> cases{
        {"after the address", {0xFB, 0x03}},
        {"inside the length", {0xFB, 0x03, 0x00}},
        {"inside the payload", {0xFB, 0x03, 0x00, 0x10, 0xA0, 0x00, 0x05, 0x01}},
        {"after a doubled 0xFB", {0xFB, 0x03, 0x00, 0x10, 0xA0, 0xFB, 0xFB}},
    };
    for (const auto& c : cases) {
        const Parsed parsed = FeedAll(Concat({c.before, WireFrame(9, 36, {})}));
        ASSERT_EQ(parsed.requests.size(), 1u) << c.what;
        EXPECT_EQ(parsed.requests[0].address, 9) << c.what;
        EXPECT_EQ(parsed.requests[0].command, 36) << c.what;
        ASSERT_FALSE(parsed.events.empty()) << c.what;
        EXPECT_EQ(parsed.events.front(), ParseEvent::Resync) << c.what;
    }
}

TEST(FrameParser, DropsFramesWithBadChecksumOrLength) {
    Bytes badChecksum = WireFrame(1, 2, {});
    badChecksum.back() ^= 0x01;
    const Bytes zeroLength{0xFB, 0x01, 0x00, 0x00};
    const Bytes oneLength{0xFB, 0x01, 0x00, 0x01};
    const Bytes hugeLength{0xFB, 0x01, 0x01, 0x07};  // 263: one more than a frame may carry
    struct Case {
        std::string what;
        Bytes bad;
        ParseEvent event;
    };
    const std::vector<Case> cases{{"checksum", badChecksum, ParseEvent::BadChecksum},
                                  {"length 0", zeroLength, ParseEvent::BadLength},
                                  {"length 1", oneLength, ParseEvent::BadLength},
                                  {"length 263", hugeLength, ParseEvent::BadLength}};
    for (const auto& c : cases) {
        const Parsed parsed = FeedAll(Concat({c.bad, WireFrame(4, 18, {})}));
        ASSERT_EQ(parsed.events.size(), 2u) << c.what;
        EXPECT_EQ(parsed.events[0], c.event) << c.what;
        EXPECT_EQ(parsed.events[1], ParseEvent::Request) << c.what;
        EXPECT_EQ(parsed.requests[0].address, 4) << c.what;
    }
}

TEST(FrameParser, AcceptsTheLongestLengthField) {
    const Bytes payload(260, 0x42);
    const Parsed parsed = FeedAll(WireFrame(1, 160, payload));
    ASSERT_EQ(parsed.requests.size(), 1u);
    EXPECT_EQ(parsed.requests[0].payload.size(), 260u);
}

TEST(FrameParser, ReadsBackToBackFrames) {
    const Parsed parsed = FeedAll(
        Concat({WireFrame(1, 35, {}), WireFrame(2, 130, {4}), WireFrame(3, 160, {0, 0xFB, 0xFB})}));
    ASSERT_EQ(parsed.requests.size(), 3u);
    EXPECT_EQ(parsed.requests[0].address, 1);
    EXPECT_EQ(parsed.requests[1].payload, Bytes{4});
    EXPECT_EQ(parsed.requests[2].payload, (Bytes{0, 0xFB, 0xFB}));
}

TEST(FrameParser, ResetForgetsAPartialFrame) {
    CFrameParser parser;
    FeedAll(parser, {0xFB, 0x01, 0x00, 0x10, 0xA0, 0xFB});  // ends on an undecided 0xFB
    ASSERT_TRUE(parser.InFrame());
    parser.Reset();
    EXPECT_FALSE(parser.InFrame());
    const Parsed parsed = FeedAll(parser, WireFrame(6, 2, {}));
    ASSERT_EQ(parsed.events.size(), 1u);
    EXPECT_EQ(parsed.requests[0].address, 6);
}

}  // namespace
}  // namespace arvestra::devsim
