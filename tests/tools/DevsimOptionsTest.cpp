#include "devsim/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace arvestra::devsim {
namespace {

ParsedOptions Parse(std::vector<std::string_view> args) {
    return ParseOptions(args);
}

TEST(DevsimOptions, DefaultsToOneDeviceOnAPseudoTerminal) {
    const ParsedOptions parsed = Parse({});
    ASSERT_TRUE(parsed.error.empty());
    EXPECT_EQ(parsed.options.addresses, std::vector<int>{1});
    EXPECT_FALSE(parsed.options.tcpPort.has_value());
    EXPECT_EQ(parsed.options.baud, 0);
    EXPECT_TRUE(parsed.options.faults.empty());
}

TEST(DevsimOptions, ReadsEveryOption) {
    const ParsedOptions parsed = Parse({"--devices", "7,3,1,3", "--link", "/tmp/bus", "--fault",
                                        "3:no-reply@5", "--fault=7:bad-checksum", "--baud", "38400",
                                        "--log", "-", "--slow-ms", "90", "--idle-reset-ms=20"});
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    const DevsimOptions& o = parsed.options;
    EXPECT_EQ(o.addresses, (std::vector<int>{1, 3, 7}));
    EXPECT_EQ(o.linkPath, "/tmp/bus");
    ASSERT_EQ(o.faults.size(), 2u);
    EXPECT_EQ(o.faults[0], (FaultSpec{3, FaultKind::NoReply, 5}));
    EXPECT_EQ(o.faults[1], (FaultSpec{7, FaultKind::BadChecksum, 0}));
    EXPECT_EQ(o.baud, 38400);
    EXPECT_EQ(o.logPath, "-");
    EXPECT_EQ(o.slowReplyDelay.count(), 90);
    EXPECT_EQ(o.idleReset.count(), 20);
}

TEST(DevsimOptions, TcpPortZeroPicksAFreePort) {
    const ParsedOptions parsed = Parse({"--tcp", "0"});
    ASSERT_TRUE(parsed.error.empty());
    EXPECT_EQ(parsed.options.tcpPort, 0);
}

TEST(DevsimOptions, RejectsBadValuesWithAMessage) {
    const std::vector<std::vector<std::string_view>> cases{
        {"--devices", "0"},
        {"--devices", "127"},
        {"--devices", "1,,2"},
        {"--devices", "x"},
        {"--devices"},
        {"--baud", "9600"},
        {"--baud", "38400x"},
        {"--tcp", "70000"},
        {"--fault", "3"},
        {"--fault", "3:melting"},
        {"--fault", "0:no-reply"},
        {"--fault", "3:no-reply@-1"},
        {"--fault", "3:no-reply@"},
        {"--fault", "3:no-reply@5-5"},
        {"--fault", "3:no-reply@5-"},
        {"--fault", "3:no-reply@-9"},
        {"--fault", "3:no-reply@9-4"},
        {"--slow-ms", "-5"},
        {"--frobnicate", "1"},
        {"--tcp", "5000", "--link", "/tmp/x"},
    };
    for (const auto& args : cases) {
        const ParsedOptions parsed = Parse(args);
        std::string joined;
        for (const auto arg : args) joined += std::string(arg) + " ";
        EXPECT_FALSE(parsed.error.empty()) << joined;
    }
}

TEST(DevsimOptions, ParsesEveryFaultKindByName) {
    for (const FaultKind kind : kAllFaultKinds) {
        const std::string text = "126:" + std::string(FaultName(kind)) + "@12";
        const auto fault = ParseFault(text);
        ASSERT_TRUE(fault.has_value()) << text;
        EXPECT_EQ(*fault, (FaultSpec{126, kind, 12}));
        EXPECT_EQ(DescribeFault(*fault), text);
    }
}

TEST(DevsimOptions, FaultWindowsReadAndPrintBack) {
    struct Case {
        const char* text;
        FaultSpec spec;
    };
    const Case cases[] = {
        {"3:no-reply@0-1", {3, FaultKind::NoReply, 0, 1}},
        {"3:bad-checksum@200-260", {3, FaultKind::BadChecksum, 200, 260}},
        {"126:slow-reply@7", {126, FaultKind::SlowReply, 7, kFaultForGood}},
    };
    for (const Case& c : cases) {
        const auto fault = ParseFault(c.text);
        ASSERT_TRUE(fault.has_value()) << c.text;
        EXPECT_EQ(*fault, c.spec) << c.text;
        EXPECT_EQ(DescribeFault(*fault), c.text);
    }
}

TEST(DevsimOptions, HelpExplainsEveryOptionAndFault) {
    EXPECT_TRUE(Parse({"--help"}).options.help);
    EXPECT_TRUE(Parse({"-h"}).options.help);
    const std::string help = HelpText();
    for (const char* option : {"--devices", "--link", "--tcp", "--fault", "--baud", "--log",
                               "--slow-ms", "--idle-reset-ms", "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    for (const FaultKind kind : kAllFaultKinds) {
        EXPECT_NE(help.find(FaultName(kind)), std::string::npos) << FaultName(kind);
    }
}

}  // namespace
}  // namespace arvestra::devsim
