#include "link/TcpSerialPort.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "link/FdTransfer.h"

namespace arvestra {
namespace {

constexpr int kConnectWaitMs = 5000;

// Splits "tcp:HOST:PORT" ("tcp:[::1]:PORT" for IPv6); false when the path is malformed.
bool SplitAddress(const std::string& path, std::string& host, std::string& service) {
    if (path.rfind("tcp:", 0) != 0) return false;
    const std::string rest = path.substr(4);
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= rest.size()) return false;
    host = rest.substr(0, colon);
    service = rest.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    for (char c : service) {
        if (c < '0' || c > '9') return false;
    }
    return !host.empty();
}

// Connects a non-blocking socket to one address, waiting at most kConnectWaitMs.
int ConnectOne(const addrinfo& address, int& fdOut) {
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            address.ai_protocol);
    if (fd < 0) return errno;
    if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0 && errno != EINPROGRESS) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    pollfd entry{fd, POLLOUT, 0};
    int error = 0;
    socklen_t length = sizeof error;
    if (::poll(&entry, 1, kConnectWaitMs) <= 0) {
        error = ETIMEDOUT;
    } else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::close(fd);
        return error;
    }
    // Frames are small and latency-bound.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    fdOut = fd;
    return 0;
}

}  // namespace

TcpSerialPort::~TcpSerialPort() {
    Close();
}

int TcpSerialPort::Open(const std::string& path) {
    Close();
    std::string host;
    std::string service;
    if (!SplitAddress(path, host, service)) return EINVAL;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* addresses = nullptr;
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &addresses) != 0) return EHOSTUNREACH;
    int error = EHOSTUNREACH;
    for (addrinfo* address = addresses; address != nullptr; address = address->ai_next) {
        error = ConnectOne(*address, fd_);
        if (error == 0) break;
    }
    ::freeaddrinfo(addresses);
    if (error == 0) timeouts_ = PortTimeouts{};
    return error;
}

void TcpSerialPort::Close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

int TcpSerialPort::GetLineSettings(LineSettings& settings) {
    if (fd_ < 0) return EBADF;
    settings = settings_;
    return 0;
}

int TcpSerialPort::SetLineSettings(const LineSettings& settings) {
    if (fd_ < 0) return EBADF;
    settings_ = settings;
    return 0;
}

int TcpSerialPort::GetTimeouts(PortTimeouts& timeouts) {
    if (fd_ < 0) return EBADF;
    timeouts = timeouts_;
    return 0;
}

int TcpSerialPort::SetTimeouts(const PortTimeouts& timeouts) {
    if (fd_ < 0) return EBADF;
    timeouts_ = timeouts;
    return 0;
}

IoResult TcpSerialPort::Write(const std::uint8_t* bytes, int count, int waitMs) {
    if (fd_ < 0) return {IoOutcome::StartFailed, EBADF, 0, 0};
    return WriteWithDeadline(fd_, FdKind::Socket, bytes, count, waitMs);
}

IoResult TcpSerialPort::Read(std::uint8_t* buffer, int count, int waitMs) {
    if (fd_ < 0) return {IoOutcome::StartFailed, EBADF, 0, 0};
    return ReadWithDeadline(fd_, FdKind::Socket, buffer, count, ReadLimitMs(timeouts_, count),
                            waitMs);
}

void TcpSerialPort::Purge() {
    if (fd_ >= 0) DiscardInput(fd_, FdKind::Socket);
}

}  // namespace arvestra
