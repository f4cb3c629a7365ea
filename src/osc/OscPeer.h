#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace arvestra::osc {

// An IPv4 or IPv6 address and a UDP port: the sender of a message, the receiver of a reply.
struct OscPeer {
    bool v6 = false;
    std::array<std::uint8_t, 16> address{};  // IPv4 in the first four bytes
    std::uint16_t port = 0;

    bool operator==(const OscPeer&) const = default;
    // "127.0.0.1:9000" or "[::1]:9000".
    std::string ToString() const;
    // An IPv4 peer from dotted quad bytes, for tests and defaults.
    static OscPeer V4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                      std::uint16_t port);
};

}  // namespace arvestra::osc
