// The show-control server: a UDP socket on one address, a thread that only receives (senders
// outside the allow-list are dropped there, the rest queued, at most the inbox's capacity), and
// the owner thread's side, Pump and Tick, which applies the queued messages to the document,
// answers them and sends the subscribers' feedback. The owner calls Pump when woken (SetWake)
// and Tick at least as often as the fastest subscription (TickInterval).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "osc/OscAllowList.h"
#include "osc/OscDispatcher.h"
#include "osc/OscFeedback.h"
#include "osc/OscInbox.h"
#include "osc/OscSocket.h"

namespace arvestra {
class IRemoteControl;
}

namespace arvestra::osc {

class OscServer {
  public:
    using Clock = OscFeedback::Clock;
    // How often the owner should call Tick.
    static constexpr std::chrono::milliseconds kTickInterval{20};

    struct Counters {
        std::uint64_t received = 0;  // datagrams queued
        std::uint64_t refused = 0;   // datagrams from senders outside the allow-list
        std::uint64_t dropped = 0;   // datagrams dropped because the queue was full
        std::uint64_t tooLong = 0;   // datagrams longer than the socket reads
        std::uint64_t errors = 0;    // /arvestra/error replies sent
    };

    explicit OscServer(IRemoteControl& doc, std::size_t queueCapacity = OscInbox::kDefaultCapacity);
    ~OscServer();
    OscServer(const OscServer&) = delete;
    OscServer& operator=(const OscServer&) = delete;

    // Listens on `local` for senders the list allows; false with the reason in `error`.
    bool Start(const OscPeer& local, const OscAllowList& allow, std::string* error = nullptr);
    // Stops receiving; queued messages and subscriptions are forgotten.
    void Stop();
    bool IsListening() const { return socket_.IsOpen(); }
    // The address and port listened on (the chosen port when asked for port 0).
    OscPeer Local() const { return socket_.Local(); }
    const OscAllowList& Allowed() const { return allow_; }

    // Called on the receiving thread when messages wait in an empty queue.
    void SetWake(std::function<void()> wake) { inbox_.SetWake(std::move(wake)); }
    void SetBusyCheck(std::function<bool()> busy) { dispatcher_.SetBusyCheck(std::move(busy)); }

    // Owner thread: applies the queued messages and sends their replies; true when one of
    // them changed the document.
    bool Pump(Clock::time_point now = Clock::now());
    // Owner thread: sends the feedback that is due.
    void Tick(Clock::time_point now = Clock::now());

    Counters Stats() const;
    // Datagrams waiting for Pump.
    std::size_t Pending() const { return inbox_.Size(); }
    std::size_t Subscribers() const { return feedback_.Count(); }

  private:
    void Receive();
    void Send(const std::vector<OscOutgoing>& messages);

    OscSocket socket_;
    OscAllowList allow_;
    OscInbox inbox_;
    OscFeedback feedback_;
    OscDispatcher dispatcher_;
    IRemoteControl& doc_;
    std::thread receiver_;
    int stopFd_ = -1;
    std::atomic<std::uint64_t> received_{0};
    std::atomic<std::uint64_t> refused_{0};
    std::atomic<std::uint64_t> tooLong_{0};
};

}  // namespace arvestra::osc
