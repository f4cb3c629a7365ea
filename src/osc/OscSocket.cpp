#include "osc/OscSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace arvestra::osc {

namespace {

std::optional<OscListenAddress> Refuse(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
    return std::nullopt;
}

socklen_t ToSockaddr(const OscPeer& peer, sockaddr_storage& storage) {
    std::memset(&storage, 0, sizeof storage);
    if (peer.v6) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(peer.port);
        std::memcpy(&in6->sin6_addr, peer.address.data(), 16);
        return sizeof(sockaddr_in6);
    }
    auto* in4 = reinterpret_cast<sockaddr_in*>(&storage);
    in4->sin_family = AF_INET;
    in4->sin_port = htons(peer.port);
    std::memcpy(&in4->sin_addr, peer.address.data(), 4);
    return sizeof(sockaddr_in);
}

OscPeer FromSockaddr(const sockaddr_storage& storage) {
    OscPeer peer;
    if (storage.ss_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&storage);
        peer.v6 = true;
        peer.port = ntohs(in6->sin6_port);
        std::memcpy(peer.address.data(), &in6->sin6_addr, 16);
    } else {
        const auto* in4 = reinterpret_cast<const sockaddr_in*>(&storage);
        peer.port = ntohs(in4->sin_port);
        std::memcpy(peer.address.data(), &in4->sin_addr, 4);
    }
    return peer;
}

}  // namespace

std::optional<OscListenAddress> ParseOscListenAddress(std::string_view text, std::string* error) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        return Refuse(error, "expected HOST:PORT, e.g. 192.168.1.20:9000");
    }
    std::string host(text.substr(0, colon));
    const std::string_view portText = text.substr(colon + 1);
    unsigned port = 0;
    const auto [end, fault] =
        std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (portText.empty() || fault != std::errc{} || end != portText.data() + portText.size() ||
        port > 65535) {
        return Refuse(error, "the port must be a number from 0 (any free port) to 65535");
    }
    OscListenAddress listen;
    listen.local.port = static_cast<std::uint16_t>(port);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
        listen.local.v6 = true;
        if (::inet_pton(AF_INET6, host.c_str(), listen.local.address.data()) != 1) {
            return Refuse(error, "\"" + host + "\" is not an IPv6 address");
        }
        return listen;
    }
    if (host.find(':') != std::string::npos) {
        return Refuse(error, "an IPv6 address goes in brackets, e.g. [::1]:9000");
    }
    if (host == "localhost") host = "127.0.0.1";
    if (::inet_pton(AF_INET, host.c_str(), listen.local.address.data()) != 1) {
        return Refuse(error, "\"" + host + "\" is not an IP address of this computer");
    }
    return listen;
}

OscSocket::~OscSocket() {
    Close();
}

bool OscSocket::Open(const OscPeer& local, std::string* error) {
    Close();
    const int fd =
        ::socket(local.v6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        if (error) *error = std::string("cannot make a UDP socket: ") + std::strerror(errno);
        return false;
    }
    if (local.v6) {
        const int only = 1;
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &only, sizeof only);
    }
    sockaddr_storage address{};
    const socklen_t length = ToSockaddr(local, address);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        if (error) {
            *error = "cannot listen on " + local.ToString() + ": " + std::strerror(errno);
        }
        ::close(fd);
        return false;
    }
    socklen_t boundLength = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &boundLength);
    fd_ = fd;
    local_ = FromSockaddr(address);
    return true;
}

void OscSocket::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::optional<std::vector<std::uint8_t>> OscSocket::Receive(OscPeer& from, bool& truncated) {
    std::vector<std::uint8_t> bytes(kMaxDatagram + 1);
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const ssize_t got = ::recvfrom(fd_, bytes.data(), bytes.size(), 0,
                                   reinterpret_cast<sockaddr*>(&address), &length);
    if (got < 0) return std::nullopt;
    from = FromSockaddr(address);
    truncated = static_cast<std::size_t>(got) > kMaxDatagram;
    bytes.resize(truncated ? 0 : static_cast<std::size_t>(got));
    return bytes;
}

bool OscSocket::Send(const OscPeer& to, std::span<const std::uint8_t> bytes) {
    if (fd_ < 0 || to.v6 != local_.v6) return false;
    sockaddr_storage address{};
    const socklen_t length = ToSockaddr(to, address);
    return ::sendto(fd_, bytes.data(), bytes.size(), MSG_DONTWAIT,
                    reinterpret_cast<const sockaddr*>(&address),
                    length) == static_cast<ssize_t>(bytes.size());
}

}  // namespace arvestra::osc
