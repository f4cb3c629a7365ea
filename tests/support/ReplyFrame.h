#pragma once

#include <cstdint>
#include <vector>

namespace arvestra::testing {

// A well-formed reply as a device sends it: start byte, the request's address and command, length
// M + 2, payload, status, checksum (all bytes sum to 0).
inline std::vector<std::uint8_t> MakeReplyTo(std::uint8_t address, std::uint8_t command,
                                             const std::vector<std::uint8_t>& payload,
                                             std::uint8_t status = 0) {
    const int length = static_cast<int>(payload.size()) + 2;
    std::vector<std::uint8_t> reply{0xFB, address, command, static_cast<std::uint8_t>(length >> 8),
                                    static_cast<std::uint8_t>(length & 0xFF)};
    // Byte by byte: GCC 12 at -O2 reports a false -Warray-bounds on vector::insert here.
    for (std::uint8_t b : payload) reply.push_back(b);
    reply.push_back(status);
    std::uint8_t sum = 0;
    for (std::uint8_t b : reply) sum = static_cast<std::uint8_t>(sum + b);
    reply.push_back(static_cast<std::uint8_t>(0u - sum));
    return reply;
}

// A reply for the fake port, which writes the request's address and command into it.
inline std::vector<std::uint8_t> MakeReply(const std::vector<std::uint8_t>& payload,
                                           std::uint8_t status = 0) {
    return MakeReplyTo(0x01, 0x00, payload, status);
}

}  // namespace arvestra::testing
