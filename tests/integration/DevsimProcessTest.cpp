// arvestra-devsim as a program: what it prints, how it ends, its log, its TCP mode and its wire
// behaviour seen byte by byte on the pseudo-terminal (without the host's link code).

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DevsimChild.h"
#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "link/DeviceCommandsLink.h"
#include "link/SerialLink.h"
#include "support/ScriptedUi.h"

namespace arvestra {
namespace {

using devsim_it::DevsimChild;
using devsim_it::TempPath;
using Bytes = std::vector<std::uint8_t>;

const Bytes kIdentifyAt1{0xFB, 0x01, 0x00, 0x02, 0x02, 0xFC};

// The terminal side of the simulator's pseudo-terminal, in raw mode.
class RawTerminal {
  public:
    explicit RawTerminal(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) return;
        termios settings{};
        ::tcgetattr(fd_, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(fd_, TCSANOW, &settings);
    }
    ~RawTerminal() {
        if (fd_ >= 0) ::close(fd_);
    }
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    void Send(const Bytes& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Everything that arrives until nothing more comes for `quietMs`.
    Bytes Receive(int quietMs = 150) {
        Bytes bytes;
        while (true) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0) return bytes;
            std::array<std::uint8_t, 512> buffer{};
            const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
            if (n <= 0) return bytes;
            bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + n);
        }
    }

  private:
    int fd_ = -1;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DevsimEndsOnSignal : public ::testing::TestWithParam<int> {};

TEST_P(DevsimEndsOnSignal, PrintsThePathKeepsALinkAndCleansUp) {
    const std::string link = TempPath("bus-link");
    DevsimChild sim({"--devices", "1", "--link", link});
    const std::string path = sim.FirstLine();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    std::array<char, 256> target{};
    ASSERT_GT(::readlink(link.c_str(), target.data(), target.size() - 1), 0);
    EXPECT_EQ(std::string(target.data()), path);

    sim.Signal(GetParam());
    const auto status = sim.WaitExit(std::chrono::seconds(5));
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    struct stat info {};
    EXPECT_NE(::lstat(link.c_str(), &info), 0) << "the link should be gone";
}

INSTANTIATE_TEST_SUITE_P(IntAndTerm, DevsimEndsOnSignal, ::testing::Values(SIGINT, SIGTERM));

TEST(DevsimProgram, RefusesToReplaceARegularFileWithItsLink) {
    const std::string file = TempPath("not-a-link");
    { std::ofstream(file) << "keep me"; }
    DevsimChild sim({"--link", file}, TempPath("stderr"));
    EXPECT_TRUE(sim.FirstLine().empty());
    const auto status = sim.WaitExit(std::chrono::seconds(5));
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(WEXITSTATUS(*status), 0);
    EXPECT_EQ(ReadFile(file), "keep me");
    std::remove(file.c_str());
}

TEST(DevsimProgram, HelpAndBadOptions) {
    DevsimChild help({"--help"});
    EXPECT_EQ(help.FirstLine(), "Usage: arvestra-devsim [options]");
    const std::string rest = help.RestOfOutput();
    EXPECT_NE(rest.find("--fault ADDR:KIND[@N[-M]]"), std::string::npos);
    auto status = help.WaitExit(std::chrono::seconds(5));
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(WEXITSTATUS(*status), 0);

    const std::string errors = TempPath("stderr");
    DevsimChild bad({"--baud", "9600"}, errors);
    status = bad.WaitExit(std::chrono::seconds(5));
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(WEXITSTATUS(*status), 2);
    EXPECT_NE(ReadFile(errors).find("--baud wants 19200 or 38400"), std::string::npos);
    std::remove(errors.c_str());
}

TEST(DevsimProgram, AnswersThroughNoiseAndBrokenFrames) {
    DevsimChild sim({"--devices", "1"});
    RawTerminal terminal(sim.FirstLine());
    ASSERT_TRUE(terminal.IsOpen());
    Bytes stream{0x00, 0x13, 0xFB, 0x01, 0x00};  // noise, then a frame cut short
    stream.insert(stream.end(), kIdentifyAt1.begin(), kIdentifyAt1.end());
    terminal.Send(stream);
    const Bytes reply = terminal.Receive();
    ASSERT_EQ(reply.size(), 9u);
    EXPECT_EQ(reply[3], 0x00);
    EXPECT_EQ(reply[4], 0x04);
    EXPECT_EQ(reply[5], 34);
    EXPECT_EQ(reply[6], 56);
    unsigned sum = 0;
    for (const std::uint8_t b : reply) sum += b;
    EXPECT_EQ(sum & 0xFF, 0u);

    Bytes badChecksum = kIdentifyAt1;
    badChecksum.back() ^= 0x10;
    terminal.Send(badChecksum);
    EXPECT_TRUE(terminal.Receive().empty());
}

TEST(DevsimProgram, PauseDropsAPartialFrame) {
    // The partial frame ends on a lone 0xFB; without the pause the next start byte would be
    // taken as its doubled partner and the identify request swallowed.
    DevsimChild sim({"--devices", "1", "--idle-reset-ms", "30"});
    RawTerminal terminal(sim.FirstLine());
    ASSERT_TRUE(terminal.IsOpen());
    terminal.Send({0xFB, 0x01, 0x00, 0x10, 0xA0, 0xFB});
    EXPECT_TRUE(terminal.Receive(100).empty());
    terminal.Send(kIdentifyAt1);
    EXPECT_EQ(terminal.Receive().size(), 9u);
}

TEST(DevsimProgram, ShortReplyFaultSendsHalfTheFrame) {
    DevsimChild sim({"--devices", "1", "--fault", "1:short-reply"});
    RawTerminal terminal(sim.FirstLine());
    ASSERT_TRUE(terminal.IsOpen());
    terminal.Send({0xFB, 0x01, 0x00, 0x02, 0x23, 0xDB});  // status: 23 bytes back when healthy
    EXPECT_EQ(terminal.Receive().size(), 11u);
}

TEST(DevsimProgram, LogsRequestsAndRepliesInHex) {
    const std::string log = TempPath("traffic.log");
    {
        DevsimChild sim({"--devices", "1", "--fault", "1:wrong-type", "--log", log});
        RawTerminal terminal(sim.FirstLine());
        ASSERT_TRUE(terminal.IsOpen());
        terminal.Send(kIdentifyAt1);
        ASSERT_EQ(terminal.Receive().size(), 9u);
        terminal.Send({0xFB, 0x02, 0x00, 0x02, 0x02, 0xFC});  // nobody at address 2
        EXPECT_TRUE(terminal.Receive().empty());
    }
    const std::string text = ReadFile(log);
    EXPECT_NE(text.find("rx    addr 1 cmd 2: FB 01 00 02 02 FC"), std::string::npos) << text;
    EXPECT_NE(text.find("tx    addr 1 cmd 2: FB 01 02 00 04 23 38 00 A3"), std::string::npos)
        << text;
    EXPECT_NE(text.find("fault addr 1: wrong-type"), std::string::npos) << text;
    EXPECT_NE(text.find("rx-   addr 2 cmd 2: FB 02 00 02 02 FC"), std::string::npos) << text;
    EXPECT_NE(text.find("stop"), std::string::npos) << text;
    std::remove(log.c_str());
}

TEST(DevsimProgram, WireTimeIsEmulated) {
    // One status exchange is 6 + 23 bytes of 10 bits: 15.1 ms at 19200 baud, 7.55 ms at 38400.
    for (const auto& [baud, minimum] :
         std::vector<std::pair<std::string, std::chrono::microseconds>>{
             {"19200", std::chrono::microseconds(15100)},
             {"38400", std::chrono::microseconds(7550)}}) {
        DevsimChild sim({"--devices", "1", "--baud", baud});
        RawTerminal terminal(sim.FirstLine());
        ASSERT_TRUE(terminal.IsOpen());
        for (int i = 0; i < 3; ++i) {
            const auto start = std::chrono::steady_clock::now();
            terminal.Send({0xFB, 0x01, 0x00, 0x02, 0x23, 0xDB});
            const Bytes reply = terminal.Receive(40);
            const auto arrived = std::chrono::steady_clock::now();
            ASSERT_EQ(reply.size(), 23u);
            // The reply never comes sooner than the line could carry it.
            EXPECT_GE(arrived - start - std::chrono::milliseconds(40), minimum) << baud;
        }
    }
}

TEST(DevsimProgram, ServesTheLinkOverTcp) {
    DevsimChild sim({"--devices", "5", "--tcp", "0"});
    const std::string address = sim.FirstLine();
    ASSERT_EQ(address.rfind("tcp:127.0.0.1:", 0), 0u) << address;
    AppState app;
    testing::ScriptedUi ui;
    ErrorReporter reporter{app, ui};
    CSerialLink link{reporter};
    app.SetOnline(1);
    link.Ports().SetPath(1, address);
    link.SetPortNumber(1);
    link.SetBaudRate(38400);
    ASSERT_EQ(link.OpenPort(), 1);
    link.SetAddress(5);
    DeviceIdentity identity;
    ASSERT_EQ(RequestIdentity(link, identity), 1);
    EXPECT_EQ(identity.deviceType, 34);
    const std::array<std::uint8_t, 2> bytes{0xFB, 0x01};
    ASSERT_EQ(SendImageBytes(link, 2, 30, bytes), 1);
    std::array<std::uint8_t, 2> back{};
    ASSERT_EQ(RequestImageBytes(link, 2, 30, back), 1);
    EXPECT_EQ(back, bytes);
    EXPECT_TRUE(ui.Questions().empty());
}

}  // namespace
}  // namespace arvestra
