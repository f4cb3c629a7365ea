#pragma once

// Request frames built by the tests themselves, so the simulator's parser is checked against a
// third reading of the frame rules rather than against the host's encoder.

#include <cstdint>
#include <vector>

namespace arvestra::devsim::testing {

// The unstuffed frame: 0xFB, address, length (payload + 2), command, payload, checksum.
inline std::vector<std::uint8_t> PlainFrame(std::uint8_t address, std::uint8_t command,
                                            const std::vector<std::uint8_t>& payload) {
    const unsigned length = static_cast<unsigned>(payload.size()) + 2;
    std::vector<std::uint8_t> frame{0xFB, address, static_cast<std::uint8_t>(length >> 8),
                                    static_cast<std::uint8_t>(length & 0xFF), command};
    frame.insert(frame.end(), payload.begin(), payload.end());
    unsigned sum = 0;
    for (std::size_t i = 2; i < frame.size(); ++i) sum += frame[i];
    frame.push_back(static_cast<std::uint8_t>((0x100 - (sum & 0xFF)) & 0xFF));
    return frame;
}

// The frame as sent: every 0xFB after the start byte doubled.
inline std::vector<std::uint8_t> WireFrame(std::uint8_t address, std::uint8_t command,
                                           const std::vector<std::uint8_t>& payload) {
    const std::vector<std::uint8_t> plain = PlainFrame(address, command, payload);
    std::vector<std::uint8_t> wire{plain.front()};
    for (std::size_t i = 1; i < plain.size(); ++i) {
        wire.push_back(plain[i]);
        if (plain[i] == 0xFB) wire.push_back(0xFB);
    }
    return wire;
}

}  // namespace arvestra::devsim::testing
