#include "link/TcpSerialPort.h"

#include <unistd.h>

#include <cerrno>

#include "link/FdTransfer.h"
#include "link/TcpConnect.h"

namespace arvestra {
namespace {

constexpr int kConnectWaitMs = 5000;

}  // namespace

TcpSerialPort::~TcpSerialPort() {
    Close();
}

int TcpSerialPort::Open(const std::string& path) {
    Close();
    std::string host;
    std::string service;
    if (!SplitHostPort(path, "tcp:", host, service)) return EINVAL;
    const int error = ConnectTcp(host, service, kConnectWaitMs, fd_);
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
    if (fd_ >= 0) arvestra::DiscardInput(fd_, FdKind::Socket);
}

}  // namespace arvestra
