#include "osc/OscServer.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "osc/OscPacket.h"

namespace arvestra::osc {

OscServer::OscServer(IRemoteControl& doc, std::size_t queueCapacity)
    : inbox_(queueCapacity), dispatcher_(doc, feedback_), doc_(doc) {}

OscServer::~OscServer() {
    Stop();
}

bool OscServer::Start(const OscPeer& local, const OscAllowList& allow, std::string* error) {
    Stop();
    stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ < 0 || !socket_.Open(local, error)) {
        if (stopFd_ >= 0) ::close(stopFd_);
        stopFd_ = -1;
        return false;
    }
    allow_ = allow;
    receiver_ = std::thread([this] { Receive(); });
    return true;
}

void OscServer::Stop() {
    if (receiver_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof one);
        receiver_.join();
    }
    if (stopFd_ >= 0) ::close(stopFd_);
    stopFd_ = -1;
    socket_.Close();
    inbox_.TakeAll();
    feedback_.Clear();
}

void OscServer::Receive() {
    pollfd fds[2] = {{socket_.Fd(), POLLIN, 0}, {stopFd_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents != 0) return;
        OscPeer from;
        bool truncated = false;
        while (std::optional<std::vector<std::uint8_t>> bytes = socket_.Receive(from, truncated)) {
            if (!allow_.Allows(from)) {
                ++refused_;
            } else if (truncated) {
                ++tooLong_;
            } else if (inbox_.Push(OscDatagram{from, std::move(*bytes)})) {
                ++received_;
            }
        }
    }
}

bool OscServer::Pump(Clock::time_point now) {
    for (const OscDatagram& datagram : inbox_.TakeAll()) {
        Send(dispatcher_.HandleDatagram(datagram, now));
    }
    return dispatcher_.TakeChanged();
}

void OscServer::Tick(Clock::time_point now) {
    if (feedback_.Count() == 0) return;
    Send(feedback_.Tick(doc_, now));
}

void OscServer::Send(const std::vector<OscOutgoing>& messages) {
    for (const OscOutgoing& outgoing : messages) {
        const std::vector<std::uint8_t> bytes = EncodeOscMessage(outgoing.message);
        if (!bytes.empty()) socket_.Send(outgoing.to, bytes);
    }
}

OscServer::Counters OscServer::Stats() const {
    Counters counters;
    counters.received = received_.load();
    counters.refused = refused_.load();
    counters.dropped = inbox_.Dropped();
    counters.tooLong = tooLong_.load();
    counters.errors = dispatcher_.Errors();
    return counters;
}

}  // namespace arvestra::osc
