// The tcp: transport against a real network serial server: ser2net serves the slave side of a
// pseudo-terminal on loopback, and the test plays the device on the master side.
#include <gtest/gtest.h>

#include <thread>

#include "LinkTestSupport.h"
#include "PtyPair.h"
#include "link/SystemSerialPortFactory.h"
#include "link/TcpSerialPort.h"
#include "support/Ser2netServer.h"

namespace arvestra {
namespace {

using testing::Bytes;
using testing::FindSer2net;
using testing::PtyPair;
using testing::Ser2netServer;

TEST(Ser2netTransport, LinkExchangesFramesThroughANetworkSerialServer) {
    const std::string program = FindSer2net();
    if (program.empty()) GTEST_SKIP() << "ser2net is not installed";
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    Ser2netServer server(program, pty.SlavePath());
    ASSERT_TRUE(server.Started());
    ASSERT_TRUE(server.WaitAccepting());

    testing::LinkBench b;
    CSerialLink link(b.reporter, SystemSerialPortFactory::Instance());
    link.SetPortNumber(2);
    link.Ports().SetPath(2, server.Path());
    ASSERT_EQ(link.OpenPort(), 1);
    link.SetAddress(9);

    // A payload and reply that carry every byte a terminal or a telnet layer might touch.
    const Bytes payload{0x00, 0x0A, 0xFB, 0x0D, 0x11, 0x13, 0x03, 0xFF};
    const Bytes replyPayload{0xFF, 0xFB, 0x0D, 0x0A, 0x11, 0x13};
    Bytes request;
    std::thread device([&] {
        request = pty.Receive(15, 3000);
        pty.Send(testing::MakeReplyTo(9, 160, replyPayload));
    });
    Bytes reply(replyPayload.size());
    const int result = link.Transact(160, payload.data(), static_cast<int>(payload.size()),
                                     reply.data(), static_cast<int>(reply.size()));
    device.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(request, (Bytes{0xFB, 0x09, 0x00, 0x0A, 0xA0, 0x00, 0x0A, 0xFB, 0xFB, 0x0D, 0x11,
                              0x13, 0x03, 0xFF, 0x1E}));
    EXPECT_EQ(reply, replyPayload);
    EXPECT_TRUE(b.ui.Questions().empty());
}

}  // namespace
}  // namespace arvestra
