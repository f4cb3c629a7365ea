#include "model/Latin1.h"

#include <gtest/gtest.h>

#include <string>

namespace arvestra {
namespace {

struct Utf8Case {
    const char* label;
    std::string utf8;
    std::string latin1;
};

class Utf8ToLatin1Cases : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToLatin1Cases, UnrepresentableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToLatin1(GetParam().utf8), GetParam().latin1) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(Edges, Utf8ToLatin1Cases,
                         ::testing::Values(Utf8Case{"ascii", "Preset 1", "Preset 1"},
                                           Utf8Case{"e acute", "caf\xC3\xA9", "caf\xE9"},
                                           Utf8Case{"y diaeresis, last Latin-1", "\xC3\xBF",
                                                    "\xFF"},
                                           Utf8Case{"euro sign", "5\xE2\x82\xAC", "5?"},
                                           Utf8Case{"four-byte emoji", "a\xF0\x9F\x8E\xB5z", "a?z"},
                                           Utf8Case{"stray continuation", "a\x80z", "a?z"},
                                           Utf8Case{"invalid lead", "\xFF\xFE", "??"},
                                           Utf8Case{"overlong slash", "\xC0\xAF", "??"},
                                           Utf8Case{"overlong three-byte", "\xE0\x80\xAF", "???"},
                                           Utf8Case{"surrogate", "\xED\xA0\x80", "???"},
                                           Utf8Case{"above U+10FFFF", "\xF4\x90\x80\x80", "????"},
                                           Utf8Case{"truncated at end", "ab\xE2\x82", "ab??"},
                                           Utf8Case{"lead followed by ascii",
                                                    "\xC3"
                                                    "A",
                                                    "?A"},
                                           Utf8Case{"embedded zero kept", std::string("a\0b", 3),
                                                    std::string("a\0b", 3)}));

TEST(Latin1ToUtf8, EveryByteRoundTrips) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string utf8 = Latin1ToUtf8(all);
    EXPECT_EQ(utf8.size(), 128u + 2u * 128u);
    EXPECT_EQ(Utf8ToLatin1(utf8), all);
    EXPECT_EQ(Latin1ToUtf8("\xE9"), "\xC3\xA9");
}

}  // namespace
}  // namespace arvestra
