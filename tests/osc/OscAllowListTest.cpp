// Allow-lists: parsed from text, and matched against senders' addresses.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include "osc/OscAllowList.h"

namespace arvestra::osc {
namespace {

OscPeer Peer(const char* text) {
    OscPeer peer;
    if (::inet_pton(AF_INET, text, peer.address.data()) != 1) {
        peer.v6 = true;
        EXPECT_EQ(::inet_pton(AF_INET6, text, peer.address.data()), 1) << text;
    }
    peer.port = 9000;
    return peer;
}

struct MatchCase {
    const char* list;
    const char* sender;
    bool allowed;
};

class AllowMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(AllowMatch, LetsInExactlyTheListedHostsAndNetworks) {
    const MatchCase& c = GetParam();
    std::string error;
    const auto list = OscAllowList::Parse(c.list, &error);
    ASSERT_TRUE(list) << c.list << ": " << error;
    EXPECT_EQ(list->Allows(Peer(c.sender)), c.allowed) << c.list << " / " << c.sender;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AllowMatch,
    ::testing::Values(
        MatchCase{"", "192.0.2.7", true}, MatchCase{"127.0.0.1", "127.0.0.1", true},
        MatchCase{"127.0.0.1", "127.0.0.2", false}, MatchCase{"10.0.0.0/24", "10.0.0.255", true},
        MatchCase{"10.0.0.0/24", "10.0.1.0", false}, MatchCase{"10.0.0.0/23", "10.0.1.9", true},
        MatchCase{"127.0.0.0/8, 10.0.0.0/24", "127.45.0.1", true},
        MatchCase{"0.0.0.0/0", "203.0.113.1", true}, MatchCase{"10.0.0.1/31", "10.0.0.0", true},
        MatchCase{"10.0.0.1/31", "10.0.0.2", false},
        MatchCase{"127.0.0.1", "::ffff:127.0.0.1", true}, MatchCase{"127.0.0.1", "::1", false},
        MatchCase{"::1", "::1", true}, MatchCase{"::1", "127.0.0.1", false},
        MatchCase{"fd00::/8", "fd12::5", true}, MatchCase{"fd00::/8", "fe80::1", false}));

struct BadList {
    const char* text;
    const char* says;
};

class AllowParseError : public ::testing::TestWithParam<BadList> {};

TEST_P(AllowParseError, NamesTheWrongItem) {
    std::string error;
    EXPECT_FALSE(OscAllowList::Parse(GetParam().text, &error)) << GetParam().text;
    EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AllowParseError,
    ::testing::Values(BadList{"10.0.0.0/33", "0 to 32"}, BadList{"::1/129", "0 to 128"},
                      BadList{"10.0.0.0/", "prefix"}, BadList{"10.0.0.0/x", "prefix"},
                      BadList{"127.0.0.1,hall-desk", "hall-desk"}, BadList{"10.0.0", "10.0.0"},
                      BadList{"10.0.0.0/-1", "prefix"}));

TEST(AllowList, WritesItselfBackCanonically) {
    const auto list = OscAllowList::Parse(" 127.0.0.1 ,, 10.0.0.0/24,::1 ");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->ToString(), "127.0.0.1,10.0.0.0/24,::1");
    EXPECT_TRUE(OscAllowList::Parse("")->Empty());
}

}  // namespace
}  // namespace arvestra::osc
