#pragma once

#include <cstddef>
#include <cstdint>

namespace arvestra {

// Request frames: FB, address, length (N + 2, big-endian), command, N payload bytes, checksum.
inline constexpr std::uint8_t kFrameStart = 0xFB;
inline constexpr int kMaxPayload = 260;    // the largest payload the buffers below hold
inline constexpr int kStagingSize = 268;   // unstuffed frame, and the reply read into it
inline constexpr int kStuffedSize = 532;   // every byte after the start byte doubled
inline constexpr int kReplyOverhead = 7;   // 3 leading, 2 length, status, checksum
inline constexpr int kMaxReplyRead = 266;  // a reply read is never longer than this

// Negated 8-bit sum of the bytes: appending it makes the bytes sum to 0.
std::uint8_t NegatedSum(const std::uint8_t* bytes, std::size_t count);

// Builds the unstuffed frame into `frame` (kStagingSize bytes); returns its size, or 0 when the
// payload length is outside 0..kMaxPayload.
int BuildRequestFrame(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                      int payloadLength, std::uint8_t* frame);

// Copies the frame into `stuffed` (kStuffedSize bytes), sending every 0xFB after the start byte
// twice; returns the stuffed size.
int StuffFrame(const std::uint8_t* frame, int frameSize, std::uint8_t* stuffed);

// Number of reply bytes read for a reply payload of M bytes: min(M + 7, 266).
int ReplyReadLength(int replyPayloadLength);

}  // namespace arvestra
