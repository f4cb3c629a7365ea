// What a Telnet server may send, split into line data, negotiation answers and COM port messages.
#include "link/TelnetDecoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace arvestra {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace telnet;

struct Fed {
    Bytes data;
    Bytes replies;
};

// Feeds the chunks one after another, as they might arrive.
Fed FeedChunks(TelnetDecoder& decoder, const std::vector<Bytes>& chunks) {
    Fed fed;
    for (const Bytes& chunk : chunks)
        decoder.Feed(chunk.data(), chunk.size(), fed.data, fed.replies);
    return fed;
}

TEST(TelnetDecoder, SeparatesDataNegotiationAndComPortAnswers) {
    struct Case {
        const char* what;
        std::vector<Bytes> chunks;
        Bytes data;
        Bytes replies;
    };
    const Case cases[] = {
        {"plain data", {{1, 2, 0xFB}}, {1, 2, 0xFB}, {}},
        {"doubled 0xFF is one data byte", {{kIac, kIac, 7}}, {0xFF, 7}, {}},
        {"doubling split across reads", {{9, kIac}, {kIac, 8}}, {9, 0xFF, 8}, {}},
        {"agreement to what was asked is not answered",
         {{kIac, kDo, kComPort, kIac, kWill, kBinary}},
         {},
         {}},
        {"unknown options are refused",
         {{kIac, kDo, 24, kIac, kWill, 1}},
         {},
         {kIac, kWont, 24, kIac, kDont, 1}},
        {"suppress-go-ahead is taken",
         {{kIac, kWill, kSuppressGoAhead}},
         {},
         {kIac, kDo, kSuppressGoAhead}},
        {"a repeated offer is not answered twice",
         {{kIac, kWill, kSuppressGoAhead, kIac, kWill, kSuppressGoAhead}},
         {},
         {kIac, kDo, kSuppressGoAhead}},
        {"NOP between data bytes vanishes", {{5, kIac, 241, 6}}, {5, 6}, {}},
        {"a command split across reads", {{kIac}, {kDo}, {31}}, {}, {kIac, kWont, 31}},
        {"outside binary CR NUL is a CR", {{0x0D, 0, 0x0D}, {0, 0}}, {0x0D, 0x0D, 0}, {}},
        {"in binary CR NUL is two bytes", {{kIac, kWill, kBinary, 0x0D, 0}}, {0x0D, 0}, {}},
    };
    for (const Case& c : cases) {
        TelnetDecoder decoder;
        decoder.OpeningRequests();
        const Fed fed = FeedChunks(decoder, c.chunks);
        EXPECT_EQ(fed.data, c.data) << c.what;
        EXPECT_EQ(fed.replies, c.replies) << c.what;
    }
}

TEST(TelnetDecoder, ComPortStateFollowsTheServer) {
    TelnetDecoder agreed;
    agreed.OpeningRequests();
    FeedChunks(agreed, {{kIac, kDo, kComPort}});
    EXPECT_EQ(agreed.ComPort(), ComPortState::Accepted);
    TelnetDecoder refused;
    refused.OpeningRequests();
    FeedChunks(refused, {{kIac, kDont, kComPort}});
    EXPECT_EQ(refused.ComPort(), ComPortState::Refused);
}

TEST(TelnetDecoder, ComPortAnswersKeepTheirValueWith0xFFUndoubled) {
    TelnetDecoder decoder;
    const Fed fed =
        FeedChunks(decoder, {{3, kIac, kSb, kComPort, 101, 0, 0, kIac}, {kIac, 0, kIac, kSe, 4}});
    EXPECT_EQ(fed.data, (Bytes{3, 4}));
    ASSERT_EQ(decoder.Answers().size(), 1u);
    EXPECT_EQ(decoder.Answers().front().command, 101);
    EXPECT_EQ(decoder.Answers().front().value, (Bytes{0, 0, 0xFF, 0}));
}

TEST(TelnetDecoder, EndlessSubnegotiationsAndAnswerFloodsStayBounded) {
    TelnetDecoder decoder;
    Bytes flood{kIac, kSb, kComPort, 101};
    flood.resize(100000, 7);
    flood.insert(flood.end(), {kIac, kSe, 42});
    const Fed fed = FeedChunks(decoder, {flood});
    EXPECT_EQ(fed.data, Bytes{42});
    EXPECT_TRUE(decoder.Answers().empty());  // too long to be ours: skipped
    for (int i = 0; i < 1000; ++i) FeedChunks(decoder, {{kIac, kSb, kComPort, 112, 3, kIac, kSe}});
    EXPECT_LE(decoder.Answers().size(), 64u);
}

TEST(TelnetDecoder, EscapeAndRequestDoubleEvery0xFF) {
    const Bytes data{0xFF, 1, 0xFF};
    EXPECT_EQ(TelnetEscape(data.data(), data.size()), (Bytes{0xFF, 0xFF, 1, 0xFF, 0xFF}));
    const Bytes cr{0x0D, 0xFF};
    EXPECT_EQ(TelnetEscape(cr.data(), cr.size(), false), (Bytes{0x0D, 0, 0xFF, 0xFF}));
    EXPECT_EQ(ComPortRequest(kSetBaudRate, {0, 0, 0xFF, 0xFF}),
              (Bytes{kIac, kSb, kComPort, 1, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, kIac, kSe}));
}

}  // namespace
}  // namespace arvestra
