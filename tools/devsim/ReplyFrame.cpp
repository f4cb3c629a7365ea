#include "devsim/ReplyFrame.h"

#include <algorithm>
#include <numeric>

namespace arvestra::devsim {

std::vector<std::uint8_t> BuildReplyFrame(std::uint8_t address, std::uint8_t command,
                                          const Reply& reply) {
    const std::size_t length = reply.payload.size() + 2;
    // Sized once and filled in place: lead bytes, length, payload, status, checksum.
    std::vector<std::uint8_t> frame(kReplyLeadBytes + 2 + length, 0);
    frame[0] = 0xFB;
    frame[1] = address;
    frame[2] = command;
    frame[3] = static_cast<std::uint8_t>(length >> 8);
    frame[4] = static_cast<std::uint8_t>(length & 0xFF);
    std::copy(reply.payload.begin(), reply.payload.end(), frame.begin() + 5);
    frame[frame.size() - 2] = reply.status;
    SealReplyFrame(frame);
    return frame;
}

void SealReplyFrame(std::span<std::uint8_t> frame) {
    if (frame.empty()) {
        return;
    }
    const unsigned sum = std::accumulate(frame.begin(), frame.end() - 1, 0u);
    frame.back() = static_cast<std::uint8_t>(0x100u - (sum & 0xFFu));
}

}  // namespace arvestra::devsim
