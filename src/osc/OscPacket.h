// The OSC wire format, through liblo: a datagram holds one message or a bundle of messages and
// bundles. Bundles are taken apart here (liblo only does that inside its own server, which
// cannot be told which address to listen on); each message is read by liblo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "osc/OscMessage.h"

namespace arvestra::osc {

// Bundles nest at most this deep; deeper ones are malformed.
inline constexpr int kMaxBundleDepth = 4;

// What a datagram held: its messages in order (a bundle's time tag is not waited for: every
// message applies at once), or why it was not read. A malformed part of a bundle stops the
// reading there; the messages before it are kept.
struct OscDecode {
    std::vector<OscMessage> messages;
    std::string error;
};

// Reads a datagram; at most `maxMessages` messages are kept, the rest counted as an error.
OscDecode DecodeOscPacket(std::span<const std::uint8_t> bytes, std::size_t maxMessages);

// The datagram of one message; empty when liblo cannot make it (an argument type it lacks).
std::vector<std::uint8_t> EncodeOscMessage(const OscMessage& message);

}  // namespace arvestra::osc
