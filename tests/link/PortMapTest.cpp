#include "link/PortMap.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace arvestra {
namespace {

// Sets an environment variable for the life of a test.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) { ::setenv(name, value, 1); }
    ~ScopedEnv() { ::unsetenv(name_); }

  private:
    const char* name_;
};

struct ResolveCase {
    const char* name;
    const char* portName;
    const char* expected;
};

class DefaultResolution : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(DefaultResolution, MapsComNamesAndPassesPathsThrough) {
    ::unsetenv("ARVESTRA_COM1");
    ::unsetenv("ARVESTRA_COM4");
    PortMap map;
    EXPECT_EQ(map.Resolve(GetParam().portName), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, DefaultResolution,
                         ::testing::Values(ResolveCase{"Com1", "COM1", "/dev/ttyS0"},
                                           ResolveCase{"Com4", "COM4", "/dev/ttyS3"},
                                           ResolveCase{"Com12", "COM12", "/dev/ttyS11"},
                                           ResolveCase{"Path", "/dev/pts/7", "/dev/pts/7"},
                                           ResolveCase{"Tcp", "tcp:127.0.0.1:4000",
                                                       "tcp:127.0.0.1:4000"},
                                           ResolveCase{"ComZero", "COM0", "COM0"},
                                           ResolveCase{"LeadingZero", "COM01", "COM01"},
                                           ResolveCase{"NoNumber", "COM", "COM"},
                                           ResolveCase{"Lowercase", "com1", "com1"},
                                           ResolveCase{"Trailing", "COM1x", "COM1x"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PortMap, EnvironmentVariableOverridesTheDefault) {
    ScopedEnv env("ARVESTRA_COM2", "/dev/serial/by-id/usb-adapter");
    PortMap map;
    EXPECT_EQ(map.Resolve("COM2"), "/dev/serial/by-id/usb-adapter");
}

TEST(PortMap, EmptyEnvironmentVariableIsIgnored) {
    ScopedEnv env("ARVESTRA_COM2", "");
    PortMap map;
    EXPECT_EQ(map.Resolve("COM2"), "/dev/ttyS1");
}

TEST(PortMap, PerPortSettingOverridesTheEnvironment) {
    ScopedEnv env("ARVESTRA_COM2", "/dev/ttyUSB0");
    PortMap map;
    map.SetPath(2, "tcp:localhost:7000");
    EXPECT_EQ(map.Resolve("COM2"), "tcp:localhost:7000");
    map.SetPath(2, "");
    EXPECT_EQ(map.PathFor(2), "");
    EXPECT_EQ(map.Resolve("COM2"), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace arvestra
