// The Telnet COM port transport against a scripted loopback server: the negotiation, the line
// settings as bytes on the wire, 0xFF both ways, and what the server may refuse.
#include "link/Rfc2217SerialPort.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "LinkTestSupport.h"
#include "link/SystemSerialPortFactory.h"

namespace arvestra {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint8_t IAC = 255, SB = 250, SE = 240, WILL = 251, DO = 253, DONT = 254;
constexpr std::uint8_t COM = 44;

// A COM port request as the server saw it.
struct SeenRequest {
    std::uint8_t command;
    Bytes value;
    bool operator==(const SeenRequest&) const = default;
};

// A one-client Telnet server on loopback, written apart from the port's own decoder. It greets
// with `greeting`, answers each COM port request through `answer` (nothing: stays silent) and
// echoes line data back, 0xFF doubled.
class ScriptedComPortServer {
  public:
    using Answer = std::function<std::optional<Bytes>(std::uint8_t, const Bytes&)>;

    ScriptedComPortServer(Bytes greeting, Answer answer)
        : greeting_(std::move(greeting)), answer_(std::move(answer)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::listen(listener_, 1) == 0 &&
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
        thread_ = std::thread([this] { Serve(); });
    }
    ~ScriptedComPortServer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    std::string Path() const { return "rfc2217:127.0.0.1:" + std::to_string(port_); }
    std::vector<SeenRequest> Requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    // The requests once `count` have been recorded: the client may be done before the server
    // has read its last request (one it never answers). A minute bounds a test that waits for
    // one that never comes.
    std::vector<SeenRequest> RequestsOnceThereAre(std::size_t count) {
        std::unique_lock lock(mutex_);
        recorded_.wait_for(lock, std::chrono::minutes(1),
                           [&] { return requests_.size() >= count; });
        return requests_;
    }
    Bytes Raw() {
        std::lock_guard lock(mutex_);
        return raw_;
    }

  private:
    void Serve() {
        pollfd entry{listener_, POLLIN, 0};
        while (!stop_ && ::poll(&entry, 1, 20) <= 0) {
        }
        if (stop_) return;
        const int peer = ::accept(listener_, nullptr, nullptr);
        ::send(peer, greeting_.data(), greeting_.size(), MSG_NOSIGNAL);
        pollfd client{peer, POLLIN, 0};
        while (!stop_) {
            if (::poll(&client, 1, 20) <= 0) continue;
            std::uint8_t chunk[512];
            const ssize_t n = ::recv(peer, chunk, sizeof chunk, 0);
            if (n <= 0) break;
            for (ssize_t i = 0; i < n; ++i) Take(peer, chunk[i]);
        }
        ::close(peer);
    }
    void Take(int peer, std::uint8_t b) {
        std::lock_guard lock(mutex_);
        raw_.push_back(b);
        stream_.push_back(b);
        if (stream_[0] != IAC) {  // plain data
            Echo(peer, {b});
        } else if (stream_.size() == 2 && stream_[1] == IAC) {
            Echo(peer, {IAC});
        } else if (stream_.size() < 3 || (stream_[1] != SB && stream_.size() == 3)) {
            if (stream_.size() == 3) stream_.clear();  // WILL/DO/... x: recorded in raw_ only
            return;
        } else if (stream_[1] == SB && stream_.size() >= 5 && stream_[stream_.size() - 2] == IAC &&
                   b == SE) {
            Bytes body;
            for (std::size_t i = 2; i + 2 < stream_.size(); ++i) {
                body.push_back(stream_[i]);
                if (stream_[i] == IAC) ++i;  // doubled 0xFF
            }
            if (body.size() >= 2 && body[0] == COM) {
                const Bytes value(body.begin() + 2, body.end());
                requests_.push_back({body[1], value});
                recorded_.notify_all();
                if (const auto reply = answer_(body[1], value)) {
                    Bytes frame{IAC, SB, COM, static_cast<std::uint8_t>(body[1] + 100)};
                    for (std::uint8_t v : *reply) {
                        frame.push_back(v);
                        if (v == IAC) frame.push_back(IAC);
                    }
                    frame.insert(frame.end(), {IAC, SE});
                    ::send(peer, frame.data(), frame.size(), MSG_NOSIGNAL);
                }
            }
        } else {
            return;
        }
        stream_.clear();
    }
    void Echo(int peer, Bytes bytes) {
        if (bytes[0] == IAC) bytes.push_back(IAC);
        ::send(peer, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }

    Bytes greeting_;
    Answer answer_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable recorded_;
    Bytes stream_;
    Bytes raw_;
    std::vector<SeenRequest> requests_;
};

const Bytes kAgree{IAC, DO, COM, IAC, WILL, 0, IAC, DO, 0, IAC, WILL, 3};

// Acknowledges every setting as asked, reports 9600 baud, 7 data bits, even parity and two stop
// bits when asked for the current ones, and stays silent on DTR.
std::optional<Bytes> PlainServer(std::uint8_t command, const Bytes& value) {
    const bool query = std::all_of(value.begin(), value.end(), [](auto v) { return v == 0; });
    switch (command) {
        case 1:
            return query ? Bytes{0, 0, 0x25, 0x80} : value;
        case 2:
            return query ? Bytes{7} : value;
        case 3:
            return query ? Bytes{3} : value;
        case 4:
            return query ? Bytes{2} : value;
        case 5:
            return std::nullopt;
        default:
            return value;
    }
}

TEST(Rfc2217SerialPort, SetsTheLineThroughTheServerAndKeepsItsStopSize) {
    ScriptedComPortServer server(kAgree, PlainServer);
    Rfc2217SerialPort port;
    ASSERT_EQ(port.Open(server.Path()), 0);
    LineSettings line;
    ASSERT_EQ(port.GetLineSettings(line), 0);
    EXPECT_EQ(line.baudRate, 9600);
    EXPECT_EQ(line.dataBits, 7);
    EXPECT_TRUE(line.parityEnabled);
    line.baudRate = 38400;
    line.dataBits = 8;
    line.parityEnabled = false;
    line.dtrOn = false;
    // The server never answers the DTR request: that is no failure.
    EXPECT_EQ(port.SetLineSettings(line), 0);
    const std::vector<SeenRequest> expected{{1, {0, 0, 0, 0}},
                                            {2, {0}},
                                            {3, {0}},
                                            {4, {0}},  // the current settings
                                            {1, {0, 0, 0x96, 0x00}},
                                            {2, {8}},
                                            {3, {1}},
                                            {4, {2}},
                                            {5, {9}}};  // 38400 8N, 2 kept, DTR off
    EXPECT_EQ(server.RequestsOnceThereAre(expected.size()), expected);
    const Bytes raw = server.Raw();
    // The client asked for COM port control and binary transmission first.
    EXPECT_EQ(Bytes(raw.begin(), raw.begin() + 9),
              (Bytes{IAC, WILL, COM, IAC, WILL, 0, IAC, DO, 0}));
}

TEST(Rfc2217SerialPort, CarriesEveryByteValueBothWaysWith0xFFDoubledOnTheWire) {
    ScriptedComPortServer server(kAgree, PlainServer);
    Rfc2217SerialPort port;
    ASSERT_EQ(port.Open(server.Path()), 0);
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(255 - i);
    const IoResult written = port.Write(all.data(), 256, 2000);
    EXPECT_EQ(written.outcome, IoOutcome::Completed);
    EXPECT_EQ(written.bytes, 256);
    Bytes back(256);
    const IoResult read = port.Read(back.data(), 256, 2000);
    EXPECT_EQ(read.outcome, IoOutcome::Completed);
    EXPECT_EQ(read.bytes, 256);
    EXPECT_EQ(back, all);
    // On the wire the data went out with its 0xFF doubled, in one piece.
    Bytes escaped{IAC, IAC};
    escaped.insert(escaped.end(), all.begin() + 1, all.end());
    const Bytes raw = server.Raw();
    EXPECT_NE(std::search(raw.begin(), raw.end(), escaped.begin(), escaped.end()), raw.end());
}

TEST(Rfc2217SerialPort, WithoutBinaryTransmissionACrTravelsAsCrNul) {
    ScriptedComPortServer server({IAC, DO, COM, IAC, DONT, 0, IAC, 252, 0}, PlainServer);
    Rfc2217SerialPort port;
    ASSERT_EQ(port.Open(server.Path()), 0);
    const Bytes frame{0xFB, 0x0D, 0x00, 0x0D};
    ASSERT_EQ(port.Write(frame.data(), 4, 1000).bytes, 4);
    Bytes back(4);
    EXPECT_EQ(port.Read(back.data(), 4, 2000).bytes, 4);
    EXPECT_EQ(back, frame);  // the echo came back as CR NUL too
    const Bytes wire{0xFB, 0x0D, 0x00, 0x00, 0x0D, 0x00};
    const Bytes raw = server.Raw();
    EXPECT_NE(std::search(raw.begin(), raw.end(), wire.begin(), wire.end()), raw.end());
}

TEST(Rfc2217SerialPort, ServerRefusingComPortControlFailsTheOpen) {
    ScriptedComPortServer server({IAC, DONT, COM}, PlainServer);
    Rfc2217SerialPort port;
    EXPECT_EQ(port.Open(server.Path()), EPROTONOSUPPORT);
    EXPECT_FALSE(port.IsOpen());
}

TEST(Rfc2217SerialPort, ServerKeepingAnotherBaudRateFailsTheSetting) {
    ScriptedComPortServer server(kAgree, [](std::uint8_t command, const Bytes& value) {
        if (command == 1) return std::optional<Bytes>(Bytes{0, 0, 0x4B, 0x00});  // stays at 19200
        return PlainServer(command, value);
    });
    Rfc2217SerialPort port;
    ASSERT_EQ(port.Open(server.Path()), 0);
    LineSettings line;
    line.baudRate = 38400;
    EXPECT_EQ(port.SetLineSettings(line), EIO);
}

TEST(Rfc2217SerialPort, PurgeAsksTheServerToPurgeBothBuffersAndDropsWaitingInput) {
    ScriptedComPortServer server(kAgree, PlainServer);
    Rfc2217SerialPort port;
    ASSERT_EQ(port.Open(server.Path()), 0);
    const Bytes stale{1, 2, 3};
    ASSERT_EQ(port.Write(stale.data(), 3, 1000).bytes, 3);
    Bytes one(1);
    ASSERT_EQ(port.Read(one.data(), 1, 1000).bytes, 1);  // the echo has arrived
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    port.Purge();
    PortTimeouts timeouts;
    timeouts.readTotalConstantMs = 100;
    ASSERT_EQ(port.SetTimeouts(timeouts), 0);
    const IoResult read = port.Read(one.data(), 1, 1000);
    EXPECT_EQ(read.outcome, IoOutcome::Completed);
    EXPECT_EQ(read.bytes, 0);
    const auto requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back(), (SeenRequest{12, {3}}));
}

TEST(Rfc2217SerialPort, DiscardingInputDropsWhatCameWithoutAskingTheServer) {
    ScriptedComPortServer server(kAgree, PlainServer);
    Rfc2217SerialPort port;
    ASSERT_EQ(port.Open(server.Path()), 0);
    const Bytes stale{1, 2, 3};
    ASSERT_EQ(port.Write(stale.data(), 3, 1000).bytes, 3);
    // The server echoes the data before it answers the request that follows, so once the
    // answers are in, so is the echo.
    LineSettings line;
    ASSERT_EQ(port.GetLineSettings(line), 0);
    port.DiscardInput();
    PortTimeouts timeouts;
    timeouts.readTotalConstantMs = 50;
    ASSERT_EQ(port.SetTimeouts(timeouts), 0);
    Bytes one(1);
    EXPECT_EQ(port.Read(one.data(), 1, 1000).bytes, 0);
    for (const SeenRequest& request : server.Requests()) EXPECT_NE(request.command, 12);
}

TEST(Rfc2217SerialPort, LinkOpensThroughTheFactoryWithTheChosenBaud) {
    ScriptedComPortServer server(kAgree, PlainServer);
    testing::LinkBench b;
    CSerialLink link(b.reporter, SystemSerialPortFactory::Instance());
    link.SetPortNumber(3);
    link.SetBaudRate(38400);
    link.Ports().SetPath(3, server.Path());
    ASSERT_EQ(link.OpenPort(), 1);
    EXPECT_TRUE(b.ui.Questions().empty());
    const auto requests = server.Requests();
    EXPECT_NE(std::find(requests.begin(), requests.end(), SeenRequest{1, {0, 0, 0x96, 0}}),
              requests.end());
}

TEST(Rfc2217SerialPort, MalformedPathsAreRefusedBeforeConnecting) {
    Rfc2217SerialPort port;
    for (const char* path :
         {"rfc2217:", "rfc2217:host", "rfc2217::80", "rfc2217:host:8x", "tcp:h:1"}) {
        EXPECT_EQ(port.Open(path), EINVAL) << path;
    }
}

}  // namespace
}  // namespace arvestra
