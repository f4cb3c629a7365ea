// The remote server's network side: listens on one address, speaks HTTP(S) and WebSocket on a
// thread of its own, and enforces the limits before it does any work for a request. It never
// touches the document: pages' sockets are reported through NetworkEvents (on the network
// thread), and the document's side answers through Send, Close and Resume, which may be called
// from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "remote/ServerCore.h"
#include "remote/TlsIdentity.h"

namespace arvestra::remote {

class NetworkServer {
  public:
    // `identity` null: plain HTTP.
    NetworkServer(const ServerLimits& limits, PageFiles files, NetworkEvents events,
                  const TlsIdentity* identity);
    // Stops the thread; no event is reported after it.
    ~NetworkServer();
    NetworkServer(const NetworkServer&) = delete;
    NetworkServer& operator=(const NetworkServer&) = delete;

    // Listens (port 0: any free port) and starts the thread; false with the reason in `error`.
    bool Listen(const std::string& address, std::uint16_t port, std::string* error);
    std::uint16_t Port() const { return port_; }

    // New codes for full control and for watching only (pages already let in stay).
    void SetCodes(const std::string& full, const std::string& readOnly);
    void Send(std::uint64_t page, std::shared_ptr<const std::string> text);
    void Close(std::uint64_t page, int code, const std::string& reason);
    // The document has taken one message of the page: it may read the next.
    void Resume(std::uint64_t page);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::uint16_t port_ = 0;
};

}  // namespace arvestra::remote
