// The server over real UDP on loopback: replies leave from the server's port to the sender,
// the allow-list is applied by the sender's loopback address, and a flood is bounded.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "document/DocTestSupport.h"
#include "osc/OscPacket.h"
#include "osc/OscServer.h"

namespace arvestra::osc {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// A UDP socket of a controller, bound to one loopback address.
class Controller {
  public:
    explicit Controller(std::uint8_t lastByte) {
        EXPECT_TRUE(socket_.Open(OscPeer::V4(127, 0, 0, lastByte, 0)));
    }
    void Send(const OscPeer& server, const OscMessage& message) {
        EXPECT_TRUE(socket_.Send(server, EncodeOscMessage(message)));
    }
    // The next message within `limit`, from `server`.
    std::optional<OscMessage> Next(const OscPeer& server, std::chrono::milliseconds limit = 2s) {
        pollfd fd{socket_.Fd(), POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(limit.count())) != 1) return std::nullopt;
        OscPeer from;
        bool truncated = false;
        const auto bytes = socket_.Receive(from, truncated);
        if (!bytes || !(from == server)) return std::nullopt;
        const OscDecode decode = DecodeOscPacket(*bytes, 1);
        if (decode.messages.empty()) return std::nullopt;
        return decode.messages[0];
    }

  private:
    OscSocket socket_;
};

struct Server : ::testing::Test {
    testing::DocBench bench;
    std::unique_ptr<OscServer> server;
    std::mutex lock;
    std::condition_variable woken;
    int wakes = 0;

    void Start(const char* allow, std::size_t capacity = OscInbox::kDefaultCapacity) {
        server = std::make_unique<OscServer>(bench.doc, capacity);
        server->SetWake([this] {
            const std::lock_guard<std::mutex> guard(lock);
            ++wakes;
            woken.notify_all();
        });
        std::string error;
        ASSERT_TRUE(
            server->Start(OscPeer::V4(127, 0, 0, 1, 0), *OscAllowList::Parse(allow), &error))
            << error;
        ASSERT_NE(server->Local().port, 0);
    }
    // Waits for the receiving thread to queue something, then applies it as the owner does.
    bool PumpWhenWoken(int expectedWakes = 1) {
        std::unique_lock<std::mutex> guard(lock);
        if (!woken.wait_for(guard, 2s, [&] { return wakes >= expectedWakes; })) return false;
        guard.unlock();
        server->Pump();
        return true;
    }
};

TEST_F(Server, RepliesGoFromTheServersPortToTheSender) {
    Start("");
    Controller console(1);
    console.Send(server->Local(), {"/arvestra/1/ch1.input.level", {OscArg::Int(190)}});
    console.Send(server->Local(), {"/arvestra/1/ch1.input.level/get", {}});
    ASSERT_TRUE(PumpWhenWoken());
    std::this_thread::sleep_for(50ms);  // the second datagram may come after the first wake
    server->Pump();
    const auto reply = console.Next(server->Local());
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->path, "/arvestra/1/ch1.input.level");
    EXPECT_EQ(bench.doc.Edits().Get(ParamField::InputLevel, kChannelA), 190);
}

TEST_F(Server, SendersOutsideTheAllowListAreDroppedUnanswered) {
    Start("127.0.0.2");
    Controller outsider(3);
    Controller allowed(2);
    outsider.Send(server->Local(), {"/arvestra/1/ch1.input.level", {OscArg::Int(170)}});
    allowed.Send(server->Local(), {"/arvestra/1/ch1.input.level", {OscArg::Int(180)}});
    ASSERT_TRUE(PumpWhenWoken());
    EXPECT_EQ(bench.doc.Edits().Get(ParamField::InputLevel, kChannelA), 180);
    EXPECT_FALSE(outsider.Next(server->Local(), 100ms));
    EXPECT_EQ(server->Stats().refused, 1u);
    EXPECT_EQ(server->Stats().received, 1u);
}

TEST_F(Server, AFloodIsBoundedByTheQueueAndCounted) {
    Start("", 8);
    Controller flood(1);
    for (int i = 0; i < 100; ++i) {
        flood.Send(server->Local(), {"/arvestra/1/ch1.input.level/inc", {OscArg::Int(1)}});
    }
    // Everything sent has been read once the counts add up (the kernel keeps them meanwhile).
    for (int i = 0; i < 200 && server->Stats().received + server->Stats().dropped < 100; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(server->Stats().received, 8u);
    EXPECT_EQ(server->Stats().dropped, 92u);
    EXPECT_EQ(server->Pending(), 8u);
    server->Pump();
    EXPECT_EQ(server->Pending(), 0u);
}

TEST_F(Server, ASubscriberGetsTheChangeAnotherClientMade) {
    Start("");
    Controller console(1);
    Controller tablet(2);
    console.Send(server->Local(), {"/arvestra/subscribe", {OscArg::Float(50)}});
    ASSERT_TRUE(PumpWhenWoken());
    server->Tick();
    std::vector<std::string> first;
    for (int i = 0; i < 3; ++i) first.push_back(console.Next(server->Local())->path);
    EXPECT_EQ(first[0], "/arvestra/1/preset");
    tablet.Send(server->Local(), {"/arvestra/1/ch2.eq.graphic_gain.7", {OscArg::Int(22)}});
    ASSERT_TRUE(PumpWhenWoken(2));
    server->Tick(OscServer::Clock::now() + 1s);
    const auto change = console.Next(server->Local());
    ASSERT_TRUE(change);
    EXPECT_EQ(change->path, "/arvestra/1/ch2.eq.graphic_gain.7");
}

TEST_F(Server, ListensOnlyWhereTold) {
    Start("");
    OscServer second(bench.doc);
    std::string error;
    EXPECT_FALSE(second.Start(server->Local(), OscAllowList{}, &error));
    EXPECT_NE(error.find("cannot listen"), std::string::npos) << error;
    // Bound to 127.0.0.1 only: the same port on another loopback address is free.
    OscPeer other = server->Local();
    other.address[3] = 2;
    EXPECT_TRUE(second.Start(other, OscAllowList{}, &error)) << error;
}

}  // namespace
}  // namespace arvestra::osc
