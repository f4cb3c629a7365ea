#include "devsim/Server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "devsim/ExclusiveWatch.h"
#include "devsim/LineWatch.h"
#include "devsim/WireTiming.h"

namespace arvestra::devsim {

namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr int kWriteWaitMs = 1000;
// How often the terminal's line settings are looked at while the line is quiet.
constexpr int kLineWatchMs = 100;

// Closes a descriptor when it goes out of scope.
class FdCloser {
  public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

  private:
    int fd_;
};

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

bool SetNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Replaces a symbolic link at `linkPath` (never a regular file) with one to `target`.
bool MakeLink(const std::string& linkPath, const std::string& target, std::string& error) {
    struct stat info {};
    if (::lstat(linkPath.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error = linkPath + " exists and is not a symbolic link; not replacing it";
            return false;
        }
        ::unlink(linkPath.c_str());
    }
    if (::symlink(target.c_str(), linkPath.c_str()) != 0) {
        error = SystemError(("symlink " + linkPath).c_str());
        return false;
    }
    return true;
}

// Removes the link at exit, but only while it still points at our terminal.
void RemoveLink(const std::string& linkPath, const std::string& target) {
    std::array<char, PATH_MAX> buffer{};
    const ssize_t length = ::readlink(linkPath.c_str(), buffer.data(), buffer.size() - 1);
    if (length > 0 && std::string(buffer.data(), static_cast<std::size_t>(length)) == target) {
        ::unlink(linkPath.c_str());
    }
}

struct PtyPair {
    int master = -1;
    int slave = -1;
    std::string path;
};

// Opens a pseudo-terminal pair with the terminal side in raw mode. The simulator keeps the
// terminal side open itself so that the master never sees a hang-up between two clients.
bool OpenPty(PtyPair& pty, std::string& error) {
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.master < 0) {
        error = SystemError("posix_openpt");
        return false;
    }
    std::array<char, 256> name{};
    if (::grantpt(pty.master) != 0 || ::unlockpt(pty.master) != 0 ||
        ::ptsname_r(pty.master, name.data(), name.size()) != 0) {
        error = SystemError("preparing the pseudo-terminal");
        return false;
    }
    pty.path = name.data();
    pty.slave = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.slave < 0) {
        error = SystemError(("open " + pty.path).c_str());
        return false;
    }
    termios settings{};
    if (::tcgetattr(pty.slave, &settings) != 0) {
        error = SystemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&settings);
    if (::tcsetattr(pty.slave, TCSANOW, &settings) != 0 || !SetNonBlocking(pty.master)) {
        error = SystemError("setting raw mode");
        return false;
    }
    return true;
}

int OpenListener(int port, int& boundPort, std::string& error) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = SystemError("socket");
        return -1;
    }
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = SystemError(("listening on port " + std::to_string(port)).c_str());
        ::close(fd);
        return -1;
    }
    boundPort = ntohs(address.sin_port);
    return fd;
}

const char* ParseEventName(ParseEvent event) {
    switch (event) {
        case ParseEvent::BadChecksum:
            return "frame with a bad checksum dropped";
        case ParseEvent::BadLength:
            return "frame with an impossible length dropped";
        case ParseEvent::Resync:
            return "frame cut short by a new start byte";
        default:
            return "";
    }
}

}  // namespace

CServer::CServer(CSimBus& bus, CHexLog& log, ServerSettings settings, int stopFd)
    : bus_(bus), log_(log), settings_(settings), stopFd_(stopFd) {}

double CServer::Seconds() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

bool CServer::StopRequested() {
    if (!stopping_) {
        pollfd stop{stopFd_, POLLIN, 0};
        stopping_ = ::poll(&stop, 1, 0) > 0;
    }
    return stopping_;
}

bool CServer::SleepUntil(Clock::time_point deadline) {
    while (!StopRequested()) {
        const auto now = Clock::now();
        if (now >= deadline) {
            return true;
        }
        const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now);
        const timespec timeout{static_cast<time_t>(wait.count() / 1'000'000'000),
                               static_cast<long>(wait.count() % 1'000'000'000)};
        pollfd stop{stopFd_, POLLIN, 0};
        if (::ppoll(&stop, 1, &timeout, nullptr) > 0) {
            stopping_ = true;
        }
    }
    return false;
}

bool CServer::WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno == EAGAIN) {
            pollfd out{fd, POLLOUT, 0};
            if (::poll(&out, 1, kWriteWaitMs) > 0) {
                continue;
            }
        }
        log_.Line("error", "reply dropped: the other side does not read");
        return false;
    }
    return true;
}

void CServer::Respond(Connection& connection, const Request& request) {
    const bool present = bus_.Device(request.address) != nullptr;
    log_.Bytes(present ? "rx" : "rx-", request.address, request.command, request.wire);
    Outgoing out = bus_.Answer(request, Seconds());
    for (const std::string& note : out.notes) {
        log_.Line("fault", "addr " + std::to_string(request.address) + ": " + note);
    }
    if (!out.answered) {
        return;
    }
    const auto wire = WireTime(request.wire.size() + out.bytes.size(), settings_.baud);
    const auto deadline =
        connection.frameStart + std::chrono::duration_cast<Clock::duration>(wire) + out.extraDelay;
    if (!SleepUntil(deadline)) {
        return;
    }
    if (WriteAll(connection.fd, out.bytes)) {
        log_.Bytes("tx", request.address, request.command, out.bytes);
    }
}

void CServer::Feed(Connection& connection, std::span<const std::uint8_t> bytes,
                   Clock::time_point now) {
    CFrameParser& parser = connection.parser;
    if (parser.InFrame() && now - connection.lastActivity > settings_.idleReset) {
        log_.Line("drop", "partial frame dropped after a pause: " + HexBytes(parser.Wire()));
        parser.Reset();
    }
    const std::size_t noiseBefore = parser.NoiseBytes();
    for (const std::uint8_t byte : bytes) {
        const bool wasInFrame = parser.InFrame();
        const ParseEvent event = parser.Feed(byte);
        if ((!wasInFrame && parser.InFrame()) || event == ParseEvent::Resync) {
            connection.frameStart = now;
        }
        if (event == ParseEvent::Request) {
            Respond(connection, parser.LastRequest());
            if (stopping_) {
                return;
            }
            now = Clock::now();  // the line was busy until the reply went out
        } else if (event != ParseEvent::None) {
            log_.Line("drop", std::string(ParseEventName(event)) + ": " + HexBytes(parser.Wire()));
        }
    }
    if (parser.NoiseBytes() != noiseBefore) {
        log_.Line("noise", std::to_string(parser.NoiseBytes() - noiseBefore) +
                               " bytes outside any frame ignored");
    }
    connection.lastActivity = Clock::now();
}

bool CServer::ServeReadable(Connection& connection) {
    std::array<std::uint8_t, kReadChunk> buffer{};
    const ssize_t count = ::read(connection.fd, buffer.data(), buffer.size());
    if (count > 0) {
        Feed(connection, std::span(buffer.data(), static_cast<std::size_t>(count)), Clock::now());
        return true;
    }
    if (count == 0) {
        return false;
    }
    return errno == EAGAIN || errno == EINTR || errno == EIO;
}

int CServer::ServePty(const std::string& linkPath, std::FILE* announce) {
    PtyPair pty;
    std::string error;
    const bool opened = OpenPty(pty, error);
    FdCloser closeMaster(pty.master);
    FdCloser closeSlave(pty.slave);
    if (!opened) {
        std::fprintf(stderr, "arvestra-devsim: %s\n", error.c_str());
        return 1;
    }
    if (!linkPath.empty() && !MakeLink(linkPath, pty.path, error)) {
        std::fprintf(stderr, "arvestra-devsim: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(announce, "%s\n", pty.path.c_str());
    std::fflush(announce);
    log_.Line("open", "pseudo-terminal " + pty.path);

    Connection connection;
    connection.fd = pty.master;
    CLineWatch line(pty.slave);
    CExclusiveWatch exclusive(pty.slave);
    while (!stopping_) {
        std::array<pollfd, 2> fds{{{stopFd_, POLLIN, 0}, {pty.master, POLLIN, 0}}};
        const int ready = ::poll(fds.data(), fds.size(), kLineWatchMs);
        // A client sets the line before it sends, so the settings logged before a request are
        // the ones it was sent with.
        if (const auto settings = line.Changed()) {
            log_.Line("line", *settings);
        }
        if (ready <= 0) {
            // Only a quiet line is looked after: a request waiting is answered first.
            if (exclusive.Check()) {
                log_.Line("close", "the client that held the terminal exclusively has gone");
            }
            continue;  // quiet, or EINTR: the stop pipe says whether to end
        }
        if (fds[0].revents != 0) {
            stopping_ = true;
        } else if ((fds[1].revents & POLLIN) != 0) {
            ServeReadable(connection);
        } else if (fds[1].revents != 0) {
            ::usleep(10'000);  // a hang-up without data: do not spin
        }
    }
    if (!linkPath.empty()) {
        RemoveLink(linkPath, pty.path);
    }
    log_.Line("stop", "signal received");
    return 0;
}

int CServer::ServeTcp(int port, std::FILE* announce) {
    std::string error;
    int boundPort = 0;
    const int listener = OpenListener(port, boundPort, error);
    if (listener < 0) {
        std::fprintf(stderr, "arvestra-devsim: %s\n", error.c_str());
        return 1;
    }
    FdCloser closeListener(listener);
    std::fprintf(announce, "tcp:127.0.0.1:%d\n", boundPort);
    std::fflush(announce);
    log_.Line("open", "listening on 127.0.0.1:" + std::to_string(boundPort));

    std::vector<std::unique_ptr<Connection>> clients;
    while (!stopping_) {
        std::vector<pollfd> fds{{stopFd_, POLLIN, 0}, {listener, POLLIN, 0}};
        for (const auto& client : clients) {
            fds.push_back({client->fd, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            continue;
        }
        if (fds[0].revents != 0) {
            stopping_ = true;
            break;
        }
        for (std::size_t i = 0; i < clients.size(); ++i) {
            if (fds[i + 2].revents != 0 && !ServeReadable(*clients[i])) {
                log_.Line("close", "client " + std::to_string(clients[i]->fd) + " left");
                ::close(clients[i]->fd);
                clients[i]->fd = -1;
            }
        }
        std::erase_if(clients, [](const auto& client) { return client->fd < 0; });
        if ((fds[1].revents & POLLIN) != 0) {
            const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0) {
                const int yes = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
                auto client = std::make_unique<Connection>();
                client->fd = fd;
                clients.push_back(std::move(client));
                log_.Line("open", "client " + std::to_string(fd) + " connected");
            }
        }
    }
    for (const auto& client : clients) {
        ::close(client->fd);
    }
    log_.Line("stop", "signal received");
    return 0;
}

}  // namespace arvestra::devsim
