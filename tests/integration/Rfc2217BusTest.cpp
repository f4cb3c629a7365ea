// The bus through Debian's ser2net speaking Telnet with COM port control: the simulator's
// terminal is served on loopback, the tool sets the baud rate through the server, and the
// simulator's log shows the line settings its terminal was given.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "integration/CliHarness.h"
#include "support/Ser2netServer.h"

namespace arvestra::cli_it {
namespace {

using ::testing::HasSubstr;

// The line settings the simulator's terminal had when each request of a session arrived: the
// settings logged last before every "rx" line after line `from` of the log. `from` is moved to
// the end of the log.
std::set<std::string> LineAtRequests(const std::string& logPath, std::size_t& from) {
    std::set<std::string> seen;
    std::ifstream in(logPath);
    std::string text;
    std::string current = "(none)";
    std::size_t number = 0;
    const std::string tag = " line ";
    while (std::getline(in, text)) {
        const bool request = text.find(" rx ") != std::string::npos;
        const std::size_t at = text.find(tag);
        if (!request && at != std::string::npos) {
            current = text.substr(text.find_first_not_of(' ', at + tag.size()));
        }
        if (number++ >= from && request) seen.insert(current);
    }
    from = number;
    return seen;
}

// Runs a bus verb, again (up to three runs) while a device is missed: the bus is probed with a
// 20 ms wait per address, which a loaded machine and a network server between can overrun.
CliRun RunBusVerb(const std::vector<std::string>& args) {
    CliRun run;
    for (int attempt = 0; attempt < 3; ++attempt) {
        run = RunCli(args);
        bool missed = run.err.find("not on the network") != std::string::npos;
        if (args[0] == "scan") {
            missed = run.out.find("1\tDevice 1") == std::string::npos ||
                     run.out.find("3\tDevice 3") == std::string::npos;
        } else if (args[0] == "upload" && run.status == 0) {
            missed = SavedLocation(args.back()).Addresses() != std::vector<int>{1, 3};
        }
        if (!missed) break;
        std::printf("[ retry    ] %s missed a device through the server\n", args[0].c_str());
    }
    return run;
}

class Rfc2217Bus : public ::testing::Test {
  protected:
    void SetUp() override {
        program_ = testing::FindSer2net();
        if (program_.empty()) GTEST_SKIP() << "ser2net is not installed";
        ASSERT_FALSE(dir_.Path().empty());
    }

    std::string program_;
    TestDirectory dir_;
};

TEST_F(Rfc2217Bus, TheServerTakesTheBaudAndScanUploadAndDownloadWorkThroughIt) {
    SimulatedBus bus(dir_, "1,3");
    ASSERT_FALSE(bus.Port().empty());
    // The server opens the line at 9600 baud; only the tool's request changes it.
    testing::Ser2netServer server(program_, bus.Port(), true, "9600n81");
    ASSERT_TRUE(server.Started());
    ASSERT_TRUE(server.WaitAccepting());
    const std::string log = dir_.File("bus.log");

    std::size_t from = 0;
    const std::set<std::string> at38400{"38400 baud, 8 data bits, no parity, 1 stop bit"};
    const std::set<std::string> at19200{"19200 baud, 8 data bits, no parity, 1 stop bit"};

    const CliRun scan = RunBusVerb({"scan", "--port", server.Path(), "--baud", "38400"});
    ASSERT_EQ(scan.status, 0) << scan.err;
    EXPECT_THAT(scan.out, HasSubstr("1\tDevice 1\t"));
    EXPECT_THAT(scan.out, HasSubstr("3\tDevice 3\t"));
    EXPECT_EQ(LineAtRequests(log, from), at38400);

    const std::string file = dir_.File("hall.kvx");
    const CliRun upload = RunBusVerb({"upload", "--port", server.Path(), "--baud", "19200", file});
    ASSERT_EQ(upload.status, 0) << upload.err;
    EXPECT_EQ(LineAtRequests(log, from), at19200);
    EXPECT_EQ(SavedLocation(file).Addresses(), (std::vector<int>{1, 3}));

    // Every byte value, the Telnet escape 0xFF among them, must cross: a name and a delay.
    ASSERT_EQ(RunCli({"set", file, "--address", "3", "name=\xFF\xFB\xFF", "ch1.delay.time=255",
                      "ch2.eq.graphic_gain.31=60"})
                  .status,
              0);
    const CliRun download =
        RunBusVerb({"download", "--port", server.Path(), "--baud", "38400", file});
    ASSERT_EQ(download.status, 0) << download.err;
    EXPECT_EQ(LineAtRequests(log, from), at38400);
    const std::string back = dir_.File("back.kvx");
    ASSERT_EQ(RunBusVerb({"upload", "--port", server.Path(), "--baud", "38400", back}).status, 0);
    const SavedLocation original(file);
    const SavedLocation uploaded(back);
    for (const int address : {1, 3}) {
        for (int image = 0; image <= 8; ++image) {
            EXPECT_EQ(uploaded.Image(address, image), original.Image(address, image))
                << "address " << address << " image " << image;
        }
    }
}

}  // namespace
}  // namespace arvestra::cli_it
