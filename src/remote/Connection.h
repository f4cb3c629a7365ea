// One connection of the remote server, as the server's table of connections sees it: a request
// connection or a page's socket. Every member runs on the network thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace arvestra::remote {

class Connection {
  public:
    using Clock = std::chrono::steady_clock;

    explicit Connection(std::uint64_t id) : id_(id), since_(Clock::now()) {}
    virtual ~Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    std::uint64_t Id() const { return id_; }
    Clock::time_point Since() const { return since_; }

    // True once a request on it has been let in (it showed a code): connections that have not
    // are the first to give way when the table is full.
    virtual bool Trusted() const = 0;
    // Ends the connection at once, without a goodbye.
    virtual void Abort() = 0;
    // A page's socket: queues a message to send, ends with a close code, reads on after the
    // document took a message.
    virtual void Send(std::shared_ptr<const std::string> /*text*/) {}
    virtual void CloseWith(int /*code*/, const std::string& /*reason*/) { Abort(); }
    virtual void Resume() {}

  private:
    std::uint64_t id_;
    Clock::time_point since_;
};

}  // namespace arvestra::remote
