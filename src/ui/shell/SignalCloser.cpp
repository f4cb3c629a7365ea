#include "ui/shell/SignalCloser.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <array>
#include <cerrno>

namespace arvestra {

namespace {

constexpr std::array<int, 3> kClosingSignals = {SIGTERM, SIGHUP, SIGINT};

// The socket pair: the handler writes to [0], the event loop reads [1].
int signalFds[2] = {-1, -1};

extern "C" void WriteSignalByte(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // Nothing else is safe here; a full socket already holds a pending close.
    [[maybe_unused]] const ssize_t written = ::write(signalFds[0], &byte, 1);
    errno = savedErrno;
}

void RestoreDefaults() {
    for (int signalNumber : kClosingSignals) ::signal(signalNumber, SIG_DFL);
}

}  // namespace

CSignalCloser::CSignalCloser(std::function<void()> onSignalCall, QObject* parent)
    : QObject(parent), onSignal(std::move(onSignalCall)) {
    if (signalFds[0] >= 0) return;  // another instance holds the handlers
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalFds) != 0) {
        signalFds[0] = signalFds[1] = -1;
        return;
    }
    notifier = std::make_unique<QSocketNotifier>(signalFds[1], QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, [this] { Drain(); });
    struct sigaction action {};
    action.sa_handler = WriteSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    installed = true;
    for (int signalNumber : kClosingSignals) {
        if (::sigaction(signalNumber, &action, nullptr) != 0) installed = false;
    }
}

CSignalCloser::~CSignalCloser() {
    if (!notifier) return;
    RestoreDefaults();
    notifier.reset();
    ::close(signalFds[0]);
    ::close(signalFds[1]);
    signalFds[0] = signalFds[1] = -1;
}

void CSignalCloser::Drain() {
    char bytes[64];
    bool any = false;
    while (::read(signalFds[1], bytes, sizeof bytes) > 0) any = true;
    if (any && onSignal) onSignal();
}

}  // namespace arvestra
