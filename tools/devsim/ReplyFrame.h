#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace arvestra::devsim {

// Reply status bytes: 0 is success; the others are this simulator's own refusals.
inline constexpr std::uint8_t kStatusOk = 0x00;
inline constexpr std::uint8_t kStatusBadRequest = 0x01;      // wrong payload size or argument
inline constexpr std::uint8_t kStatusUnknownCommand = 0x02;  // a command the device lacks
inline constexpr std::uint8_t kStatusInjectedFault = 0x5A;   // the bad-status fault

// A device's answer before it is framed.
struct Reply {
    std::uint8_t status = kStatusOk;
    std::vector<std::uint8_t> payload;
};

// Number of bytes in front of the length field of a reply frame.
inline constexpr std::size_t kReplyLeadBytes = 3;

// The reply frame: three leading bytes (start, address, command), the length (payload + 2,
// high byte first), the payload, the status byte and a checksum that makes every byte of the
// frame sum to 0. Replies are not stuffed.
std::vector<std::uint8_t> BuildReplyFrame(std::uint8_t address, std::uint8_t command,
                                          const Reply& reply);

// Rewrites the last byte so that the whole frame sums to 0 (after a field was changed).
void SealReplyFrame(std::span<std::uint8_t> frame);

}  // namespace arvestra::devsim
