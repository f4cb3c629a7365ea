// Debian's ser2net serving a terminal on loopback for one test, in the foreground, stopped (by
// its own pid) at the end. Raw TCP or Telnet with COM port control, as the accepter says.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

extern char** environ;

namespace arvestra::testing {

// The ser2net program, or empty when it is not installed.
inline std::string FindSer2net() {
    for (const char* candidate :
         {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"}) {
        if (::access(candidate, X_OK) == 0) return candidate;
    }
    return "";
}

// A loopback TCP port that was free a moment ago.
inline int FreeLoopbackPort() {
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

class Ser2netServer {
  public:
    // Serves `device` with the line `line` (e.g. "19200n81"); `telnet` adds COM port control.
    Ser2netServer(const std::string& program, const std::string& device, bool telnet = false,
                  const std::string& line = "19200n81")
        : telnet_(telnet) {
        port_ = FreeLoopbackPort();
        const std::string stem =
            "/tmp/arvestra-ser2net-" + std::to_string(::getpid()) + "-" + std::to_string(port_);
        config_ = stem + ".yaml";
        pidFile_ = stem + ".pid";
        // No character delay: a reply must not wait for more characters that never come, or a
        // 20 ms bus probe misses it.
        std::ofstream(config_) << "connection: &link\n"
                               << "  accepter: " << (telnet ? "telnet(rfc2217),tcp" : "tcp")
                               << ",127.0.0.1," << port_ << "\n"
                               << "  connector: serialdev," << device << "," << line << ",local\n"
                               << "  options:\n    kickolduser: true\n    chardelay: false\n";
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
    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    bool Started() const { return pid_ > 0 && port_ != 0; }
    // The path the link opens.
    std::string Path() const {
        return (telnet_ ? "rfc2217:127.0.0.1:" : "tcp:127.0.0.1:") + std::to_string(port_);
    }

    // Waits until the server accepts connections (at most about 3 s); true when it does.
    bool WaitAccepting() const {
        for (int attempt = 0; attempt < 60; ++attempt) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(static_cast<std::uint16_t>(port_));
            const bool connected =
                ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            ::close(fd);
            if (connected) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

  private:
    bool telnet_;
    pid_t pid_ = -1;
    int port_ = 0;
    std::string config_;
    std::string pidFile_;
};

}  // namespace arvestra::testing
