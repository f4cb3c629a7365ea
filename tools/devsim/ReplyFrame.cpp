#include "devsim/ReplyFrame.h"

#include <numeric>

namespace arvestra::devsim {

std::vector<std::uint8_t> BuildReplyFrame(std::uint8_t address, std::uint8_t command,
                                          const Reply& reply) {
    const std::size_t length = reply.payload.size() + 2;
    std::vector<std::uint8_t> frame{0xFB, address, command, static_cast<std::uint8_t>(length >> 8),
                                    static_cast<std::uint8_t>(length & 0xFF)};
    frame.insert(frame.end(), reply.payload.begin(), reply.payload.end());
    frame.push_back(reply.status);
    frame.push_back(0);
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
