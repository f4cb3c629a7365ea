#include "link/TcpSerialPort.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <numeric>
#include <vector>

namespace arvestra {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A loopback listener standing in for a network serial server.
class LoopbackServer {
  public:
    LoopbackServer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 ||
            ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackServer() {
        if (peer_ >= 0) ::close(peer_);
        if (listener_ >= 0) ::close(listener_);
    }
    std::string Path() const { return "tcp:127.0.0.1:" + std::to_string(port_); }
    bool Accept() {
        pollfd entry{listener_, POLLIN, 0};
        if (::poll(&entry, 1, 2000) <= 0) return false;
        peer_ = ::accept(listener_, nullptr, nullptr);
        return peer_ >= 0;
    }
    bool Send(const Bytes& bytes) const {
        return ::send(peer_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }
    Bytes Receive(std::size_t count) const {
        Bytes bytes;
        while (bytes.size() < count) {
            pollfd entry{peer_, POLLIN, 0};
            if (::poll(&entry, 1, 2000) <= 0) break;
            std::uint8_t chunk[512];
            const ssize_t n = ::recv(peer_, chunk, std::min(sizeof chunk, count - bytes.size()), 0);
            if (n <= 0) break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }
    void Hangup() {
        ::close(peer_);
        peer_ = -1;
    }
    int Port() const { return port_; }

  private:
    int listener_ = -1;
    int peer_ = -1;
    int port_ = 0;
};

TEST(TcpSerialPort, CarriesEveryByteValueBothWays) {
    LoopbackServer server;
    ASSERT_NE(server.Port(), 0);
    TcpSerialPort port;
    ASSERT_EQ(port.Open(server.Path()), 0);
    ASSERT_TRUE(server.Accept());
    Bytes bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    EXPECT_EQ(port.Write(bytes.data(), 256, 1000).bytes, 256);
    EXPECT_EQ(server.Receive(256), bytes);

    PortTimeouts timeouts;
    timeouts.readTotalConstantMs = 1000;
    ASSERT_EQ(port.SetTimeouts(timeouts), 0);
    ASSERT_TRUE(server.Send(bytes));
    Bytes received(256);
    const IoResult result = port.Read(received.data(), 256, 2000);
    EXPECT_EQ(result.outcome, IoOutcome::Completed);
    EXPECT_EQ(received, bytes);
}

TEST(TcpSerialPort, ShortAnswerEndsAtTheReadLimitAndPurgeDropsInput) {
    LoopbackServer server;
    TcpSerialPort port;
    ASSERT_EQ(port.Open(server.Path()), 0);
    ASSERT_TRUE(server.Accept());
    PortTimeouts timeouts;
    timeouts.readTotalConstantMs = 40;
    ASSERT_EQ(port.SetTimeouts(timeouts), 0);
    ASSERT_TRUE(server.Send({1, 2}));
    std::uint8_t buffer[7];
    IoResult result = port.Read(buffer, 7, 1000);
    EXPECT_EQ(result.outcome, IoOutcome::Completed);
    EXPECT_EQ(result.bytes, 2);

    ASSERT_TRUE(server.Send({3, 4, 5}));
    ::usleep(50 * 1000);  // let the bytes arrive before they are dropped
    port.Purge();
    result = port.Read(buffer, 7, 1000);
    EXPECT_EQ(result.bytes, 0);
}

TEST(TcpSerialPort, HangupBeforeTheReplyFailsTheRead) {
    LoopbackServer server;
    TcpSerialPort port;
    ASSERT_EQ(port.Open(server.Path()), 0);
    ASSERT_TRUE(server.Accept());
    server.Hangup();
    std::uint8_t buffer[7];
    const IoResult result = port.Read(buffer, 7, 1000);
    EXPECT_EQ(result.outcome, IoOutcome::StartFailed);
    EXPECT_EQ(result.systemError, ECONNRESET);
}

TEST(TcpSerialPort, LineSettingsAreKept) {
    LoopbackServer server;
    TcpSerialPort port;
    ASSERT_EQ(port.Open(server.Path()), 0);
    LineSettings line;
    line.baudRate = 38400;
    ASSERT_EQ(port.SetLineSettings(line), 0);
    LineSettings back;
    ASSERT_EQ(port.GetLineSettings(back), 0);
    EXPECT_EQ(back.baudRate, 38400);
}

struct BadAddressCase {
    const char* name;
    std::string path;
    int error;
};

class TcpBadAddresses : public ::testing::TestWithParam<BadAddressCase> {};

TEST_P(TcpBadAddresses, FailToOpenWithTheirError) {
    TcpSerialPort port;
    EXPECT_EQ(port.Open(GetParam().path), GetParam().error);
    EXPECT_FALSE(port.IsOpen());
}

// A loopback port nobody listens on: bound then closed again.
int UnusedPort() {
    LoopbackServer server;
    return server.Port();
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, TcpBadAddresses,
    ::testing::Values(BadAddressCase{"NoPort", "tcp:127.0.0.1", EINVAL},
                      BadAddressCase{"EmptyPort", "tcp:127.0.0.1:", EINVAL},
                      BadAddressCase{"NoHost", "tcp::4000", EINVAL},
                      BadAddressCase{"LettersInPort", "tcp:127.0.0.1:http", EINVAL},
                      BadAddressCase{"NotTcp", "/dev/ttyS0", EINVAL},
                      BadAddressCase{"Refused", "tcp:127.0.0.1:" + std::to_string(UnusedPort()),
                                     ECONNREFUSED}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace arvestra
