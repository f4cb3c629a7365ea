#include "devsim/FrameParser.h"

namespace arvestra::devsim {

void CFrameParser::Reset() {
    state_ = State::Idle;
    pendingStart_ = false;
    body_.clear();
}

void CFrameParser::StartFrame() {
    state_ = State::Address;
    pendingStart_ = false;
    body_.clear();
    wire_.assign(1, kStartByte);
}

ParseEvent CFrameParser::Feed(std::uint8_t byte) {
    if (state_ == State::Idle) {
        if (byte == kStartByte) {
            StartFrame();
        } else {
            ++noiseBytes_;
        }
        return ParseEvent::None;
    }
    wire_.push_back(byte);
    if (pendingStart_) {
        pendingStart_ = false;
        if (byte == kStartByte) {
            return TakeFieldByte(kStartByte);  // a doubled 0xFB is one data byte
        }
        // The 0xFB before this byte was a start byte: the frame in progress is lost.
        StartFrame();
        wire_.push_back(byte);
        TakeFieldByte(byte);
        return ParseEvent::Resync;
    }
    if (byte == kStartByte) {
        pendingStart_ = true;
        return ParseEvent::None;
    }
    return TakeFieldByte(byte);
}

ParseEvent CFrameParser::TakeFieldByte(std::uint8_t byte) {
    switch (state_) {
        case State::Idle:
            return ParseEvent::None;
        case State::Address:
            address_ = byte;
            state_ = State::LengthHigh;
            return ParseEvent::None;
        case State::LengthHigh:
            lengthHigh_ = byte;
            state_ = State::LengthLow;
            return ParseEvent::None;
        case State::LengthLow:
            lengthLow_ = byte;
            length_ = lengthHigh_ * 256 + lengthLow_;
            if (length_ < 2 || length_ > kMaxFrameLength) {
                Reset();
                return ParseEvent::BadLength;
            }
            body_.reserve(static_cast<std::size_t>(length_));
            state_ = State::Body;
            return ParseEvent::None;
        case State::Body:
            body_.push_back(byte);
            if (static_cast<int>(body_.size()) == length_) {
                return FinishFrame();
            }
            return ParseEvent::None;
    }
    return ParseEvent::None;
}

ParseEvent CFrameParser::FinishFrame() {
    unsigned sum = lengthHigh_ + lengthLow_;
    for (const std::uint8_t b : body_) {
        sum += b;
    }
    state_ = State::Idle;
    if ((sum & 0xFFu) != 0) {
        body_.clear();
        return ParseEvent::BadChecksum;
    }
    request_.address = address_;
    request_.command = body_.front();
    request_.payload.assign(body_.begin() + 1, body_.end() - 1);
    request_.wire = wire_;
    body_.clear();
    return ParseEvent::Request;
}

}  // namespace arvestra::devsim
