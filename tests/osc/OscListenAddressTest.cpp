// The address to listen on, as typed on the command line and in the dialog.
#include <gtest/gtest.h>

#include "osc/OscSocket.h"

namespace arvestra::osc {
namespace {

struct ListenCase {
    const char* text;
    const char* shown;  // nullptr: refused
};

class ListenAddress : public ::testing::TestWithParam<ListenCase> {};

TEST_P(ListenAddress, IsReadOrRefusedWithAReason) {
    std::string error;
    const auto address = ParseOscListenAddress(GetParam().text, &error);
    if (GetParam().shown == nullptr) {
        EXPECT_FALSE(address) << GetParam().text;
        EXPECT_FALSE(error.empty());
        return;
    }
    ASSERT_TRUE(address) << error;
    EXPECT_EQ(address->local.ToString(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ListenAddress,
    ::testing::Values(ListenCase{"127.0.0.1:9000", "127.0.0.1:9000"},
                      ListenCase{"localhost:0", "127.0.0.1:0"},
                      ListenCase{"[::1]:53000", "[::1]:53000"},
                      ListenCase{"10.0.0.5:65535", "10.0.0.5:65535"},
                      ListenCase{"127.0.0.1:65536", nullptr}, ListenCase{"127.0.0.1:", nullptr},
                      ListenCase{":9000", nullptr}, ListenCase{"9000", nullptr},
                      ListenCase{"::1:9000", nullptr}, ListenCase{"hall-desk:9000", nullptr},
                      ListenCase{"[::1:9000", nullptr}, ListenCase{"127.0.0.1:-1", nullptr}));

}  // namespace
}  // namespace arvestra::osc
