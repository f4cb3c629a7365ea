#include "link/Rfc2217SerialPort.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "link/FdTransfer.h"
#include "link/TcpConnect.h"

namespace arvestra {
namespace {

using namespace telnet;
using SteadyClock = std::chrono::steady_clock;

constexpr int kConnectWaitMs = 5000;
constexpr std::size_t kReceiveChunk = 512;
// Bounds the input dropped at once, so a server that never stops sending cannot hold us here.
constexpr int kDiscardRounds = 64;

int MsUntil(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

std::vector<std::uint8_t> BigEndian32(int value) {
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

int FromBigEndian32(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() != 4) return -1;
    const std::uint32_t v = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                            (std::uint32_t{bytes[2]} << 8) | bytes[3];
    return v > 0x7fffffffu ? -1 : static_cast<int>(v);
}

std::uint8_t Answered(std::uint8_t command) {
    return static_cast<std::uint8_t>(command + kServerAnswerOffset);
}

// The single-byte value of an answer, or 0 when it has none.
std::uint8_t ByteValue(const std::vector<std::uint8_t>& value) {
    return value.size() == 1 ? value[0] : 0;
}

// How many of the first `count` data bytes fit in `sent` escaped bytes.
int DataBytesSent(const std::uint8_t* bytes, int count, int sent, bool binary) {
    int used = 0;
    for (int i = 0; i < count; ++i) {
        used += bytes[i] == kIac || (bytes[i] == 0x0D && !binary) ? 2 : 1;
        if (used > sent) return i;
    }
    return count;
}

}  // namespace

Rfc2217SerialPort::~Rfc2217SerialPort() {
    Close();
}

int Rfc2217SerialPort::Open(const std::string& path) {
    Close();
    std::string host;
    std::string service;
    if (!SplitHostPort(path, "rfc2217:", host, service)) return EINVAL;
    const int error = ConnectTcp(host, service, kConnectWaitMs, fd_);
    if (error != 0) return error;
    decoder_ = TelnetDecoder{};
    pending_.clear();
    answers_.clear();
    timeouts_ = PortTimeouts{};
    int result = SendRaw(decoder_.OpeningRequests());
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(kAnswerWaitMs);
    while (result == 0 && decoder_.ComPort() == ComPortState::Unknown) {
        const int left = MsUntil(deadline);
        result = left == 0 ? ETIMEDOUT : ReceiveSome(left);
    }
    if (result == 0 && decoder_.ComPort() == ComPortState::Refused) result = EPROTONOSUPPORT;
    if (result != 0) Close();
    return result;
}

void Rfc2217SerialPort::Close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

int Rfc2217SerialPort::SendRaw(const std::vector<std::uint8_t>& bytes) {
    const IoResult sent = WriteWithDeadline(fd_, FdKind::Socket, bytes.data(),
                                            static_cast<int>(bytes.size()), kAnswerWaitMs);
    if (sent.outcome == IoOutcome::TimedOut) return ETIMEDOUT;
    if (sent.bytes != static_cast<int>(bytes.size()))
        return sent.systemError ? sent.systemError : EIO;
    return 0;
}

int Rfc2217SerialPort::ReceiveSome(int waitMs) {
    pollfd entry{fd_, POLLIN, 0};
    if (::poll(&entry, 1, waitMs) <= 0) return 0;
    std::uint8_t raw[kReceiveChunk];
    const ssize_t n = ::recv(fd_, raw, sizeof raw, MSG_DONTWAIT);
    if (n == 0) return ECONNRESET;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : errno;
    std::vector<std::uint8_t> replies;
    decoder_.Feed(raw, static_cast<std::size_t>(n), pending_, replies);
    while (!decoder_.Answers().empty()) {
        ComPortAnswer& answer = decoder_.Answers().front();
        answers_[answer.command] = std::move(answer.value);
        decoder_.Answers().pop_front();
    }
    return replies.empty() ? 0 : SendRaw(replies);
}

int Rfc2217SerialPort::AwaitAnswers(const std::vector<std::uint8_t>& commands, int waitMs) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(waitMs);
    while (true) {
        const bool all = std::ranges::all_of(
            commands, [&](std::uint8_t c) { return answers_.contains(Answered(c)); });
        if (all) return 0;
        const int left = MsUntil(deadline);
        if (left == 0) return ETIMEDOUT;
        if (const int error = ReceiveSome(left); error != 0) return error;
    }
}

int Rfc2217SerialPort::Request(std::uint8_t command, const std::vector<std::uint8_t>& value) {
    answers_.erase(Answered(command));
    return SendRaw(ComPortRequest(command, value));
}

int Rfc2217SerialPort::GetLineSettings(LineSettings& settings) {
    if (fd_ < 0) return EBADF;
    // A value of 0 asks for the current setting.
    const std::vector<std::uint8_t> asked{kSetBaudRate, kSetDataSize, kSetParity, kSetStopSize};
    for (const std::uint8_t command : asked) {
        const int error = Request(
            command, command == kSetBaudRate ? BigEndian32(0) : std::vector<std::uint8_t>{0});
        if (error != 0) return error;
    }
    if (const int error = AwaitAnswers(asked, kAnswerWaitMs); error != 0) return error;
    const int baud = FromBigEndian32(answers_[Answered(kSetBaudRate)]);
    if (baud > 0) settings_.baudRate = baud;
    if (const std::uint8_t size = ByteValue(answers_[Answered(kSetDataSize)]); size >= 5)
        settings_.dataBits = size;
    settings_.parityEnabled = ByteValue(answers_[Answered(kSetParity)]) > kParityNone;
    if (const std::uint8_t stop = ByteValue(answers_[Answered(kSetStopSize)]); stop != 0)
        stopSize_ = stop;
    settings = settings_;
    return 0;
}

int Rfc2217SerialPort::SetLineSettings(const LineSettings& settings) {
    if (fd_ < 0) return EBADF;
    const std::uint8_t parity = settings.parityEnabled ? kParityEven : kParityNone;
    const std::vector<std::uint8_t> required{kSetBaudRate, kSetDataSize, kSetParity, kSetStopSize};
    int error = Request(kSetBaudRate, BigEndian32(settings.baudRate));
    if (error == 0) error = Request(kSetDataSize, {static_cast<std::uint8_t>(settings.dataBits)});
    if (error == 0) error = Request(kSetParity, {parity});
    if (error == 0) error = Request(kSetStopSize, {stopSize_});
    if (error == 0) error = Request(kSetControl, {settings.dtrOn ? kControlDtrOn : kControlDtrOff});
    if (error == 0) error = AwaitAnswers(required, kAnswerWaitMs);
    if (error != 0) return error;
    if (FromBigEndian32(answers_[Answered(kSetBaudRate)]) != settings.baudRate ||
        ByteValue(answers_[Answered(kSetDataSize)]) != settings.dataBits ||
        ByteValue(answers_[Answered(kSetParity)]) != parity) {
        return EIO;
    }
    settings_ = settings;
    return 0;
}

int Rfc2217SerialPort::GetTimeouts(PortTimeouts& timeouts) {
    if (fd_ < 0) return EBADF;
    timeouts = timeouts_;
    return 0;
}

int Rfc2217SerialPort::SetTimeouts(const PortTimeouts& timeouts) {
    if (fd_ < 0) return EBADF;
    timeouts_ = timeouts;
    return 0;
}

IoResult Rfc2217SerialPort::Write(const std::uint8_t* bytes, int count, int waitMs) {
    if (fd_ < 0) return {IoOutcome::StartFailed, EBADF, 0, 0};
    const bool binary = decoder_.ServerTakesBinary();
    const std::vector<std::uint8_t> escaped =
        TelnetEscape(bytes, static_cast<std::size_t>(std::max(count, 0)), binary);
    IoResult result = WriteWithDeadline(fd_, FdKind::Socket, escaped.data(),
                                        static_cast<int>(escaped.size()), waitMs);
    result.bytes = DataBytesSent(bytes, count, result.bytes, binary);
    return result;
}

IoResult Rfc2217SerialPort::Read(std::uint8_t* buffer, int count, int waitMs) {
    if (fd_ < 0) return {IoOutcome::StartFailed, EBADF, 0, 0};
    const int readLimitMs = ReadLimitMs(timeouts_, count);
    const auto start = SteadyClock::now();
    const bool limited = readLimitMs >= 0 && readLimitMs <= waitMs;
    const auto deadline =
        start + std::chrono::milliseconds(limited ? readLimitMs : std::max(waitMs, 0));
    int error = 0;
    while (static_cast<int>(pending_.size()) < count && error == 0) {
        const int left = MsUntil(deadline);
        if (left == 0) break;
        error = ReceiveSome(left);
    }
    const int got = std::min(count, static_cast<int>(pending_.size()));
    std::copy_n(pending_.begin(), got, buffer);
    pending_.erase(pending_.begin(), pending_.begin() + got);
    if (got == count) return {IoOutcome::Completed, 0, 0, got};
    if (error != 0) {
        if (got == 0) return {IoOutcome::StartFailed, error, 0, 0};
        return {IoOutcome::Completed, error, 0, got};
    }
    if (limited) return {IoOutcome::Completed, 0, 0, got};
    return {IoOutcome::TimedOut, 0, kWaitTimedOut, got};
}

void Rfc2217SerialPort::Purge() {
    if (fd_ < 0) return;
    // The server purges when it gets to the request: wait for its acknowledgement, or a purge
    // done late would throw away the answer to the next request. Input before it is stale.
    if (Request(kPurgeData, {kPurgeBoth}) == 0) AwaitAnswers({kPurgeData}, kAnswerWaitMs);
    pending_.clear();
}

void Rfc2217SerialPort::DiscardInput() {
    if (fd_ < 0) return;
    // What the socket already holds goes through the decoder, so answers to the server's
    // requests and its own requests are still handled; only the line data is dropped.
    for (int rounds = 0; rounds < kDiscardRounds; ++rounds) {
        pollfd entry{fd_, POLLIN, 0};
        if (::poll(&entry, 1, 0) <= 0 || ReceiveSome(0) != 0) break;
    }
    pending_.clear();
}

}  // namespace arvestra
