#include "link/FdTransfer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace arvestra {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Milliseconds left until `deadline`, rounded up and never negative: 0 only once the deadline
// has passed. Rounded down, a wait would end up to a millisecond before its time.
int MsUntil(SteadyClock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

ssize_t WriteSome(int fd, FdKind kind, const std::uint8_t* bytes, std::size_t count) {
    if (kind == FdKind::Socket) return ::send(fd, bytes, count, MSG_NOSIGNAL);
    return ::write(fd, bytes, count);
}

ssize_t ReadSome(int fd, FdKind kind, std::uint8_t* buffer, std::size_t count) {
    if (kind == FdKind::Socket) return ::recv(fd, buffer, count, 0);
    return ::read(fd, buffer, count);
}

bool WouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

// Waits up to `ms` for the descriptor to become ready for `events`.
void WaitReady(int fd, short events, int ms) {
    pollfd entry{fd, events, 0};
    ::poll(&entry, 1, ms);
}

}  // namespace

int ReadLimitMs(const PortTimeouts& timeouts, int count) {
    const long long limit = static_cast<long long>(timeouts.readTotalConstantMs) +
                            static_cast<long long>(timeouts.readTotalMultiplierMs) * count;
    if (timeouts.readTotalConstantMs <= 0 && timeouts.readTotalMultiplierMs <= 0) return -1;
    return static_cast<int>(std::min<long long>(limit, 0x7fffffff));
}

IoResult WriteWithDeadline(int fd, FdKind kind, const std::uint8_t* bytes, int count, int waitMs) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(std::max(waitMs, 0));
    int sent = 0;
    while (sent < count) {
        const ssize_t n = WriteSome(fd, kind, bytes + sent, static_cast<std::size_t>(count - sent));
        if (n > 0) {
            sent += static_cast<int>(n);
            continue;
        }
        const int error = n < 0 ? errno : EIO;
        if (n < 0 && WouldBlock(error)) {
            const int left = MsUntil(deadline);
            if (left == 0) return {IoOutcome::TimedOut, 0, kWaitTimedOut, sent};
            WaitReady(fd, POLLOUT, left);
            continue;
        }
        if (sent == 0) return {IoOutcome::StartFailed, error, 0, 0};
        return {IoOutcome::Completed, error, 0, sent};
    }
    return {IoOutcome::Completed, 0, 0, sent};
}

IoResult ReadWithDeadline(int fd, FdKind kind, std::uint8_t* buffer, int count, int readLimitMs,
                          int waitMs) {
    const auto start = SteadyClock::now();
    const auto waitDeadline = start + std::chrono::milliseconds(std::max(waitMs, 0));
    // No read limit: only the wait ends the read, as a time-out.
    const bool limited = readLimitMs >= 0 && readLimitMs <= waitMs;
    const auto readDeadline =
        limited ? start + std::chrono::milliseconds(readLimitMs) : waitDeadline;
    int got = 0;
    while (got < count) {
        const ssize_t n = ReadSome(fd, kind, buffer + got, static_cast<std::size_t>(count - got));
        if (n > 0) {
            got += static_cast<int>(n);
            continue;
        }
        // End of file (the far end closed) is a failure like any other: nothing more will come.
        const int error = n < 0 ? errno : ECONNRESET;
        if (n < 0 && WouldBlock(error)) {
            const int left = MsUntil(readDeadline);
            if (left == 0) {
                if (limited) return {IoOutcome::Completed, 0, 0, got};
                return {IoOutcome::TimedOut, 0, kWaitTimedOut, got};
            }
            WaitReady(fd, POLLIN, left);
            continue;
        }
        if (got == 0) return {IoOutcome::StartFailed, error, 0, 0};
        return {IoOutcome::Completed, error, 0, got};
    }
    return {IoOutcome::Completed, 0, 0, got};
}

void DiscardInput(int fd, FdKind kind) {
    std::uint8_t scratch[512];
    for (int rounds = 0; rounds < 1024; ++rounds) {
        const ssize_t n = kind == FdKind::Socket ? ::recv(fd, scratch, sizeof scratch, MSG_DONTWAIT)
                                                 : ::read(fd, scratch, sizeof scratch);
        if (n <= 0) return;
    }
}

}  // namespace arvestra
