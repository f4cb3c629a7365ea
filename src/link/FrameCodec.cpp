#include "link/FrameCodec.h"

#include <algorithm>

namespace arvestra {

std::uint8_t NegatedSum(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
    return static_cast<std::uint8_t>(0u - sum);
}

int BuildRequestFrame(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                      int payloadLength, std::uint8_t* frame) {
    if (payloadLength < 0 || payloadLength > kMaxPayload) return 0;
    if (payloadLength > 0 && payload == nullptr) return 0;
    // The length counts the command, the payload and the checksum.
    const int length = payloadLength + 2;
    frame[0] = kFrameStart;
    frame[1] = address;
    frame[2] = static_cast<std::uint8_t>(length / 256);
    frame[3] = static_cast<std::uint8_t>(length % 256);
    frame[4] = command;
    if (payloadLength > 0) std::copy(payload, payload + payloadLength, frame + 5);
    // Start byte and address stay out of the sum.
    const int summed = 3 + payloadLength;
    frame[5 + payloadLength] = NegatedSum(frame + 2, static_cast<std::size_t>(summed));
    return 6 + payloadLength;
}

int StuffFrame(const std::uint8_t* frame, int frameSize, std::uint8_t* stuffed) {
    if (frameSize <= 0) return 0;
    int out = 0;
    stuffed[out++] = frame[0];
    // Only the start byte marks a frame, so any later 0xFB is doubled; the length field keeps
    // counting the unstuffed bytes.
    for (int i = 1; i < frameSize && out + 2 <= kStuffedSize; ++i) {
        stuffed[out++] = frame[i];
        if (frame[i] == kFrameStart) stuffed[out++] = frame[i];
    }
    return out;
}

int ReplyReadLength(int replyPayloadLength) {
    return std::min(std::max(replyPayloadLength, 0) + kReplyOverhead, kMaxReplyRead);
}

}  // namespace arvestra
