#include "link/TcpConnect.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

namespace arvestra {
namespace {

// Connects a non-blocking socket to one address, waiting at most waitMs.
int ConnectOne(const addrinfo& address, int waitMs, int& fdOut) {
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
    if (::poll(&entry, 1, waitMs) <= 0) {
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

bool HasScheme(const std::string& path, const std::string& scheme) {
    if (path.size() < scheme.size()) return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(path[i])) != scheme[i]) return false;
    }
    return true;
}

bool SplitHostPort(const std::string& path, const std::string& scheme, std::string& host,
                   std::string& service) {
    if (!HasScheme(path, scheme)) return false;
    const std::string rest = path.substr(scheme.size());
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

int ConnectTcp(const std::string& host, const std::string& service, int waitMs, int& fdOut) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* addresses = nullptr;
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &addresses) != 0) return EHOSTUNREACH;
    int error = EHOSTUNREACH;
    for (addrinfo* address = addresses; address != nullptr; address = address->ai_next) {
        error = ConnectOne(*address, waitMs, fdOut);
        if (error == 0) break;
    }
    ::freeaddrinfo(addresses);
    return error;
}

}  // namespace arvestra
