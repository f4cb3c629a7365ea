#include "remote/RawClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>

namespace arvestra::test {

RawClient::RawClient(unsigned short port, int receiveBuffer) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return;
    if (receiveBuffer > 0) {
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

RawClient::~RawClient() {
    if (fd_ >= 0) ::close(fd_);
}

bool RawClient::Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string RawClient::Receive(int timeoutMs) {
    std::string received;
    char chunk[4096];
    pollfd wait{fd_, POLLIN, 0};
    while (::poll(&wait, 1, timeoutMs) > 0) {
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        received.append(chunk, static_cast<std::size_t>(n));
    }
    return received;
}

std::string RawClient::ReceiveHeader(int timeoutMs) {
    std::string received;
    char byte = 0;
    pollfd wait{fd_, POLLIN, 0};
    while (received.find("\r\n\r\n") == std::string::npos && ::poll(&wait, 1, timeoutMs) > 0) {
        if (::recv(fd_, &byte, 1, 0) != 1) break;
        received += byte;
    }
    return received;
}

bool RawClient::WaitClosed(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char chunk[65536];
    pollfd wait{fd_, POLLIN, 0};
    while (std::chrono::steady_clock::now() < end) {
        if (::poll(&wait, 1, 50) <= 0) continue;
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return true;
    }
    return false;
}

int StatusOf(const std::string& response) {
    if (response.compare(0, 9, "HTTP/1.1 ") != 0 || response.size() < 12) return 0;
    return std::stoi(response.substr(9, 3));
}

std::string UpgradeRequest(const std::string& query, const std::string& extraHeaders) {
    return "GET /ws" + query +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
           "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n" +
           extraHeaders + "\r\n";
}

std::string MaskedTextFrame(const std::string& text) {
    std::string frame;
    frame += static_cast<char>(0x81);
    if (text.size() < 126) {
        frame += static_cast<char>(0x80 | text.size());
    } else {
        frame += static_cast<char>(0x80 | 126);
        frame += static_cast<char>((text.size() >> 8) & 0xFF);
        frame += static_cast<char>(text.size() & 0xFF);
    }
    frame += std::string(4, '\0');  // a zero mask leaves the text as it is
    return frame + text;
}

}  // namespace arvestra::test
