// The address space: every kind of path, and the paths that name nothing.
#include <gtest/gtest.h>

#include "osc/OscRoute.h"

namespace arvestra::osc {
namespace {

struct RouteCase {
    const char* path;
    OscVerb verb;
    int address;
    const char* param;  // the parameter's name, or "" for none
    int channel;
};

class RouteTable : public ::testing::TestWithParam<RouteCase> {};

TEST_P(RouteTable, ReadsTheVerbTheDeviceAndTheParameter) {
    const RouteCase& c = GetParam();
    const OscRouteParse parse = ParseOscPath(c.path);
    ASSERT_TRUE(parse.route) << c.path << ": " << parse.error;
    EXPECT_EQ(parse.route->verb, c.verb);
    EXPECT_EQ(parse.route->address, c.address);
    EXPECT_EQ(parse.route->channel, c.channel);
    if (*c.param != '\0') {
        EXPECT_EQ(FormatParamName(parse.route->param), c.param);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RouteTable,
    ::testing::Values(RouteCase{"/arvestra/subscribe", OscVerb::Subscribe, 0, "", 0},
                      RouteCase{"/arvestra/unsubscribe", OscVerb::Unsubscribe, 0, "", 0},
                      RouteCase{"/arvestra/3/preset/recall", OscVerb::Recall, 3, "", 0},
                      RouteCase{"/arvestra/126/preset/store", OscVerb::Store, 126, "", 0},
                      RouteCase{"/arvestra/1/preset/get", OscVerb::PresetGet, 1, "", 0},
                      RouteCase{"/arvestra/all/preset/recall", OscVerb::Recall, kAllDevices, "", 0},
                      RouteCase{"/arvestra/3/bypass/1", OscVerb::Bypass, 3, "", 0},
                      RouteCase{"/arvestra/3/bypass/2/get", OscVerb::BypassGet, 3, "", 1},
                      RouteCase{"/arvestra/3/ch1.input.level", OscVerb::Set, 3, "ch1.input.level",
                                0},
                      RouteCase{"/arvestra/3/ch2.eq.graphic_gain.31/inc", OscVerb::Inc, 3,
                                "ch2.eq.graphic_gain.31", 0},
                      RouteCase{"/arvestra/all/ch1.delay.time/get", OscVerb::Get, kAllDevices,
                                "ch1.delay.time", 0},
                      RouteCase{"/arvestra/7/name", OscVerb::Set, 7, "name", 0}));

class UnknownPath : public ::testing::TestWithParam<const char*> {};

TEST_P(UnknownPath, IsRefusedWithAReason) {
    const OscRouteParse parse = ParseOscPath(GetParam());
    EXPECT_FALSE(parse.route) << GetParam();
    EXPECT_FALSE(parse.error.empty()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UnknownPath,
    ::testing::Values("", "arvestra/3/preset/recall", "/", "/other/3/preset/recall", "/arvestra",
                      "/arvestra/3", "/arvestra/0/preset/recall", "/arvestra/127/preset/recall",
                      "/arvestra/03/preset/recall", "/arvestra/-1/preset/recall",
                      "/arvestra/*/preset/recall", "/arvestra/3/preset", "/arvestra/3/preset/load",
                      "/arvestra/3/preset/recall/now", "/arvestra/3/bypass/0",
                      "/arvestra/3/bypass/3", "/arvestra/3/bypass/1/set", "/arvestra/3/input.level",
                      "/arvestra/3/ch1.eq.graphic_gain.32", "/arvestra/3/ch1.input.level/dec",
                      "/arvestra/3/ch1.input.level/get/now", "/arvestra/3//ch1.input.level",
                      "/arvestra/subscribe/now"));

TEST(UnknownPath, AnUnknownParameterPointsToTheListOfNames) {
    EXPECT_EQ(ParseOscPath("/arvestra/1/ch1.input.lvl").error,
              "unknown parameter ch1.input.lvl (\"arvestra-cli params\" lists the names)");
}

}  // namespace
}  // namespace arvestra::osc
