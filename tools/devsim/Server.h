#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "devsim/FrameParser.h"
#include "devsim/HexLog.h"
#include "devsim/SimBus.h"

namespace arvestra::devsim {

struct ServerSettings {
    int baud = 0;  // 0: replies go out at once
    std::chrono::milliseconds idleReset{50};
};

// Puts the simulated bus on a pseudo-terminal or a TCP port and serves requests until the stop
// descriptor becomes readable (the signal handler writes to it). Single-threaded: like the real
// half-duplex bus, one exchange at a time.
class CServer {
  public:
    CServer(CSimBus& bus, CHexLog& log, ServerSettings settings, int stopFd);

    // Opens a pseudo-terminal in raw mode, prints its path as the first line of `announce`,
    // makes the symbolic link `linkPath` if given, and serves; returns the exit status.
    int ServePty(const std::string& linkPath, std::FILE* announce);
    // Listens on 127.0.0.1:`port`, prints "tcp:127.0.0.1:<port>" and serves; returns the exit
    // status.
    int ServeTcp(int port, std::FILE* announce);

  private:
    using Clock = std::chrono::steady_clock;

    struct Connection {
        int fd = -1;
        CFrameParser parser;
        Clock::time_point lastActivity{};
        Clock::time_point frameStart{};
    };

    // Reads what is waiting on a connection and answers every frame in it; false on end of file.
    bool ServeReadable(Connection& connection);
    void Feed(Connection& connection, std::span<const std::uint8_t> bytes, Clock::time_point now);
    void Respond(Connection& connection, const Request& request);
    // Waits until `deadline` or a stop request; false when asked to stop.
    bool SleepUntil(Clock::time_point deadline);
    // Writes all of `bytes`, waiting briefly while the other side's buffer is full.
    bool WriteAll(int fd, std::span<const std::uint8_t> bytes);
    bool StopRequested();
    double Seconds() const;

    CSimBus& bus_;
    CHexLog& log_;
    ServerSettings settings_;
    int stopFd_;
    bool stopping_ = false;
    Clock::time_point start_ = Clock::now();
};

}  // namespace arvestra::devsim
