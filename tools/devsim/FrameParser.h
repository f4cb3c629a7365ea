#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace arvestra::devsim {

// One request as the device sees it after de-stuffing and checking.
struct Request {
    std::uint8_t address = 0;
    std::uint8_t command = 0;
    std::vector<std::uint8_t> payload;
    std::vector<std::uint8_t> wire;  // the frame as it came over the line, stuffing included
};

// What one received byte completed.
enum class ParseEvent {
    None,         // nothing yet: the byte was part of a frame, or ignored line noise
    Request,      // a whole frame with a good checksum; see LastRequest()
    BadChecksum,  // a whole frame whose length, command, payload and checksum do not sum to 0
    BadLength,    // a length field outside 2..kMaxFrameLength; the frame is dropped
    Resync,  // a lone start byte inside a frame: the partial frame is dropped, a new one begins
};

// The device side of the frame protocol, written independently of the host's encoder so that a
// fault in one is not hidden by the same fault in the other. A frame is 0xFB, address, length
// (high, low), command, payload, checksum; every 0xFB after the start byte is doubled on the wire.
// A single 0xFB followed by anything else starts a new frame, so the parser finds its way back
// into step after garbage, a lost byte or a frame cut short.
class CFrameParser {
  public:
    // Longest length field accepted: command, a 260-byte payload and the checksum.
    static constexpr int kMaxFrameLength = 262;
    static constexpr std::uint8_t kStartByte = 0xFB;

    // Feeds one received byte and says what, if anything, it completed.
    ParseEvent Feed(std::uint8_t byte);
    // The request completed by the last Feed that returned ParseEvent::Request.
    const Request& LastRequest() const { return request_; }
    // Forgets any partial frame (after a pause on the line); the next 0xFB starts a frame.
    void Reset();
    // True while a frame has been started and not yet finished or dropped.
    bool InFrame() const { return state_ != State::Idle; }
    // Bytes dropped so far outside any frame (line noise before a start byte).
    std::size_t NoiseBytes() const { return noiseBytes_; }
    // Raw bytes of the frame in progress, or of the last frame dropped or completed.
    const std::vector<std::uint8_t>& Wire() const { return wire_; }

  private:
    enum class State { Idle, Address, LengthHigh, LengthLow, Body };

    void StartFrame();
    ParseEvent TakeFieldByte(std::uint8_t byte);
    ParseEvent FinishFrame();

    State state_ = State::Idle;
    bool pendingStart_ = false;  // a 0xFB inside a frame, waiting to see if it is doubled
    std::uint8_t address_ = 0;
    int length_ = 0;
    std::uint8_t lengthHigh_ = 0;
    std::uint8_t lengthLow_ = 0;
    std::vector<std::uint8_t> body_;  // command, payload and checksum, de-stuffed
    std::vector<std::uint8_t> wire_;  // raw bytes of the frame in progress
    std::size_t noiseBytes_ = 0;
    Request request_;
};

}  // namespace arvestra::devsim
