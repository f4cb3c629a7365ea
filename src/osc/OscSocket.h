// The UDP socket of the show-control server: bound to one address of this computer and a port,
// read by the receiving thread and written by the thread that owns the document (replies and
// feedback leave from the port the messages came to, as consoles expect).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "osc/OscPeer.h"

namespace arvestra::osc {

// An address to listen on, as typed: HOST:PORT, HOST an IPv4 address, an IPv6 address in
// brackets or "localhost"; PORT 0..65535 (0: any free port).
struct OscListenAddress {
    OscPeer local;
};
std::optional<OscListenAddress> ParseOscListenAddress(std::string_view text,
                                                      std::string* error = nullptr);

class OscSocket {
  public:
    // Datagrams longer than this are dropped when read (no show-control message comes near).
    static constexpr std::size_t kMaxDatagram = 8192;

    OscSocket() = default;
    ~OscSocket();
    OscSocket(const OscSocket&) = delete;
    OscSocket& operator=(const OscSocket&) = delete;

    // Binds to the address; false with the reason when the address cannot be had.
    bool Open(const OscPeer& local, std::string* error = nullptr);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    // The address and port bound (the port the system chose for port 0).
    const OscPeer& Local() const { return local_; }

    // Reads one datagram without waiting; nothing when none is there. `truncated` tells a
    // datagram longer than kMaxDatagram (its bytes are not returned).
    std::optional<std::vector<std::uint8_t>> Receive(OscPeer& from, bool& truncated);
    // Sends one datagram; false when the system refused it.
    bool Send(const OscPeer& to, std::span<const std::uint8_t> bytes);

  private:
    int fd_ = -1;
    OscPeer local_;
};

}  // namespace arvestra::osc
