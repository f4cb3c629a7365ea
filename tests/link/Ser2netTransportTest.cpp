// The tcp: transport against a real network serial server: ser2net serves the slave side of a
// pseudo-terminal on loopback, and the test plays the device on the master side.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "LinkTestSupport.h"
#include "PtyPair.h"
#include "link/SystemSerialPortFactory.h"
#include "link/TcpSerialPort.h"

extern char** environ;

namespace arvestra {
namespace {

using testing::Bytes;
using testing::PtyPair;

std::string FindSer2net() {
    for (const char* candidate :
         {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"}) {
        if (::access(candidate, X_OK) == 0) return candidate;
    }
    return "";
}

// A loopback TCP port that was free a moment ago.
int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

// ser2net running in the foreground for one test, stopped (by its own pid) at the end.
class Ser2netServer {
  public:
    Ser2netServer(const std::string& program, const std::string& device) {
        port_ = FreeLoopbackPort();
        const std::string stem =
            "/tmp/arvestra-ser2net-" + std::to_string(::getpid()) + "-" + std::to_string(port_);
        config_ = stem + ".yaml";
        pidFile_ = stem + ".pid";
        std::ofstream(config_) << "connection: &link\n"
                               << "  accepter: tcp,127.0.0.1," << port_ << "\n"
                               << "  connector: serialdev," << device << ",19200n81,local\n"
                               << "  options:\n    kickolduser: true\n";
        const char* argv[] = {program.c_str(),  "-n",   "-d", "-c", config_.c_str(), "-P",
                              pidFile_.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, const_cast<char**>(argv),
                          environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Ser2netServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        std::remove(config_.c_str());
        std::remove(pidFile_.c_str());
    }
    bool Started() const { return pid_ > 0 && port_ != 0; }
    std::string Path() const { return "tcp:127.0.0.1:" + std::to_string(port_); }

    // Connects a port to the server, retrying while it starts up (at most about 3 s).
    int Connect(TcpSerialPort& port) const {
        int error = ECONNREFUSED;
        for (int attempt = 0; attempt < 60 && error == ECONNREFUSED; ++attempt) {
            error = port.Open(Path());
            if (error == ECONNREFUSED) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return error;
    }

  private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string config_;
    std::string pidFile_;
};

TEST(Ser2netTransport, LinkExchangesFramesThroughANetworkSerialServer) {
    const std::string program = FindSer2net();
    if (program.empty()) GTEST_SKIP() << "ser2net is not installed";
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    Ser2netServer server(program, pty.SlavePath());
    ASSERT_TRUE(server.Started());
    {
        // Wait until the server accepts connections, then let it go again.
        TcpSerialPort probe;
        ASSERT_EQ(server.Connect(probe), 0);
    }

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
        pty.Send(testing::MakeReply(replyPayload));
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
