// The wire format: messages through liblo both ways, bundles taken apart, and malformed
// datagrams refused without reading past their end.
#include <gtest/gtest.h>

#include <lo/lo.h>

#include <cstdlib>
#include <cstring>

#include "osc/OscPacket.h"

namespace arvestra::osc {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Append32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A bundle of elements (each a whole message or bundle datagram), with a zero time tag.
Bytes Bundle(const std::vector<Bytes>& elements) {
    Bytes out{'#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 1};
    for (const Bytes& element : elements) {
        Append32(out, static_cast<std::uint32_t>(element.size()));
        out.insert(out.end(), element.begin(), element.end());
    }
    return out;
}

Bytes Message(const std::string& path, std::vector<OscArg> args = {}) {
    return EncodeOscMessage(OscMessage{path, std::move(args)});
}

TEST(OscPacket, AMessageComesBackAsItWasWritten) {
    const OscMessage sent{"/arvestra/3/ch1.input.level",
                          {OscArg::Float(-6.5), OscArg::Int(-7), OscArg::String("-6dB")}};
    const OscDecode got = DecodeOscPacket(EncodeOscMessage(sent), 8);
    ASSERT_EQ(got.error, "");
    ASSERT_EQ(got.messages.size(), 1u);
    EXPECT_EQ(got.messages[0], sent);
}

TEST(OscPacket, ReadsTheTypesLibloWrites) {
    lo_message m = lo_message_new();
    lo_message_add_double(m, 2.5);
    lo_message_add_int64(m, 1LL << 40);
    lo_message_add_true(m);
    lo_message_add_symbol(m, "sym");
    lo_message_add_nil(m);
    std::size_t size = 0;
    void* data = lo_message_serialise(m, "/x", nullptr, &size);
    lo_message_free(m);
    const Bytes bytes(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    std::free(data);
    const OscDecode got = DecodeOscPacket(bytes, 8);
    ASSERT_EQ(got.messages.size(), 1u) << got.error;
    const std::vector<OscArg>& args = got.messages[0].args;
    ASSERT_EQ(args.size(), 5u);
    EXPECT_EQ(args[0].type, 'd');
    EXPECT_DOUBLE_EQ(args[0].number, 2.5);
    EXPECT_EQ(args[1].whole, 1LL << 40);
    EXPECT_EQ(args[2].whole, 1);
    EXPECT_EQ(args[3].text, "sym");
    EXPECT_EQ(args[4].type, 'N');
}

// liblo's argument pointers are only 4-byte aligned: an argument after an odd number of 4-byte
// ones must be read by copying (an address sanitizer build reports the misaligned read).
TEST(OscPacket, ArgumentsAfterOddOnesAreReadWhole) {
    const OscMessage sent{"/arvestra/subscribe", {OscArg::Float(20), OscArg::Int(9100)}};
    const OscDecode got = DecodeOscPacket(EncodeOscMessage(sent), 1);
    ASSERT_EQ(got.messages.size(), 1u) << got.error;
    EXPECT_EQ(got.messages[0], sent);

    lo_message m = lo_message_new();
    lo_message_add_int32(m, 7);
    lo_message_add_double(m, -6.25);
    std::size_t size = 0;
    void* data = lo_message_serialise(m, "/x", nullptr, &size);
    lo_message_free(m);
    const Bytes bytes(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    std::free(data);
    const OscDecode mixed = DecodeOscPacket(bytes, 1);
    ASSERT_EQ(mixed.messages.size(), 1u) << mixed.error;
    EXPECT_EQ(mixed.messages[0].args[0].whole, 7);
    EXPECT_DOUBLE_EQ(mixed.messages[0].args[1].number, -6.25);
}

TEST(OscPacket, ABundleGivesItsMessagesInOrderNestedOnesIncluded) {
    const Bytes packet =
        Bundle({Message("/a"), Bundle({Message("/b"), Message("/c")}), Message("/d")});
    const OscDecode got = DecodeOscPacket(packet, 8);
    ASSERT_EQ(got.error, "");
    std::string paths;
    for (const OscMessage& m : got.messages) paths += m.path;
    EXPECT_EQ(paths, "/a/b/c/d");
}

TEST(OscPacket, BundlesNestedTooDeepStopTheReading) {
    Bytes packet = Message("/deep");
    for (int depth = 0; depth <= kMaxBundleDepth; ++depth) packet = Bundle({packet});
    const OscDecode got = DecodeOscPacket(packet, 8);
    EXPECT_TRUE(got.messages.empty());
    EXPECT_NE(got.error.find("deep"), std::string::npos);
    Bytes allowed = Message("/ok");
    for (int depth = 0; depth < kMaxBundleDepth; ++depth) allowed = Bundle({allowed});
    EXPECT_EQ(DecodeOscPacket(allowed, 8).messages.size(), 1u);
}

TEST(OscPacket, MessagesBeyondTheLimitAreRefusedAndTheFirstKept) {
    const Bytes packet = Bundle({Message("/1"), Message("/2"), Message("/3")});
    const OscDecode got = DecodeOscPacket(packet, 2);
    EXPECT_EQ(got.messages.size(), 2u);
    EXPECT_NE(got.error.find("too many"), std::string::npos);
}

struct Malformed {
    const char* name;
    Bytes bytes;
};

class MalformedPacket : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedPacket, IsRefusedWithAReason) {
    const OscDecode got = DecodeOscPacket(GetParam().bytes, 8);
    EXPECT_FALSE(got.error.empty()) << GetParam().name;
}

Bytes WithElementSize(std::uint32_t size) {
    Bytes out = Bundle({});
    Append32(out, size);
    const Bytes m = Message("/a");
    out.insert(out.end(), m.begin(), m.end());
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Datagrams, MalformedPacket,
    ::testing::Values(Malformed{"empty", {}}, Malformed{"not a multiple of four", {'/', 'a', 0}},
                      Malformed{"no type tags", {'/', 'a', 0, 0, 'x', 0, 0, 0}},
                      Malformed{"string not ended", {'/', 'a', 'b', 'c'}},
                      Malformed{"missing argument", {'/', 'a', 0, 0, ',', 'i', 0, 0}},
                      Malformed{"bundle without time tag", {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0}},
                      Malformed{"element longer than the bundle", WithElementSize(4096)},
                      Malformed{"element of size zero", WithElementSize(0)},
                      Malformed{"element size not a multiple of four", WithElementSize(6)}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

}  // namespace
}  // namespace arvestra::osc
