#include "link/TelnetDecoder.h"

namespace arvestra {
namespace {

using namespace telnet;

// A subnegotiation longer than this is not one we understand; it is skipped, not kept.
constexpr std::size_t kMaxSubnegotiation = 64;
constexpr std::uint8_t kCr = 0x0D;
// Answers nobody collects are dropped beyond this many.
constexpr std::size_t kMaxQueuedAnswers = 64;

bool LocalSupported(std::uint8_t option) {
    return option == kBinary || option == kComPort;
}

bool RemoteSupported(std::uint8_t option) {
    return option == kBinary || option == kSuppressGoAhead;
}

void Send(std::vector<std::uint8_t>& out, std::uint8_t verb, std::uint8_t option) {
    out.insert(out.end(), {kIac, verb, option});
}

}  // namespace

std::vector<std::uint8_t> TelnetEscape(const std::uint8_t* bytes, std::size_t count, bool binary) {
    std::vector<std::uint8_t> out;
    out.reserve(count + 8);
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == kIac) out.push_back(kIac);
        if (bytes[i] == kCr && !binary) out.push_back(0);
    }
    return out;
}

std::vector<std::uint8_t> ComPortRequest(std::uint8_t command,
                                         const std::vector<std::uint8_t>& value) {
    std::vector<std::uint8_t> out{kIac, kSb, kComPort, command};
    const std::vector<std::uint8_t> escaped = TelnetEscape(value.data(), value.size());
    out.insert(out.end(), escaped.begin(), escaped.end());
    out.insert(out.end(), {kIac, kSe});
    return out;
}

TelnetDecoder::TelnetDecoder() {
    sub_.reserve(kMaxSubnegotiation);
}

std::vector<std::uint8_t> TelnetDecoder::OpeningRequests() {
    std::vector<std::uint8_t> out;
    local_[kComPort].asked = true;
    local_[kBinary].asked = true;
    remote_[kBinary].asked = true;
    Send(out, kWill, kComPort);
    Send(out, kWill, kBinary);
    Send(out, kDo, kBinary);
    return out;
}

void TelnetDecoder::Feed(const std::uint8_t* bytes, std::size_t count,
                         std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& replies) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        switch (state_) {
            case State::Data:
                if (b == kIac) {
                    state_ = State::Iac;
                } else if (!(afterCr_ && b == 0 && !ServerSendsBinary())) {
                    data.push_back(b);
                }
                afterCr_ = b == kCr;
                break;
            case State::Iac:
                afterCr_ = false;
                if (b == kIac) {
                    data.push_back(kIac);
                    state_ = State::Data;
                } else if (b >= kWill) {
                    verb_ = b;
                    state_ = State::Verb;
                } else if (b == kSb) {
                    sub_.clear();
                    subOverflow_ = false;
                    state_ = State::Sub;
                } else {
                    state_ = State::Data;  // NOP, GA and the like carry nothing for us
                }
                break;
            case State::Verb:
                Negotiate(verb_, b, replies);
                state_ = State::Data;
                break;
            case State::Sub:
                if (b == kIac) {
                    state_ = State::SubIac;
                } else if (sub_.size() < kMaxSubnegotiation) {
                    sub_.push_back(b);
                } else {
                    subOverflow_ = true;
                }
                break;
            case State::SubIac:
                if (b == kSe) {
                    EndSubnegotiation();
                    state_ = State::Data;
                } else {
                    // IAC IAC stands for 0xFF; anything else is malformed and kept as it came.
                    if (sub_.size() < kMaxSubnegotiation) {
                        sub_.push_back(kIac);
                    } else {
                        subOverflow_ = true;
                    }
                    state_ = State::Sub;
                }
                break;
        }
    }
}

void TelnetDecoder::Negotiate(std::uint8_t verb, std::uint8_t option,
                              std::vector<std::uint8_t>& replies) {
    const bool localVerb = verb == kDo || verb == kDont;
    Option& state = localVerb ? local_[option] : remote_[option];
    const bool enable = verb == kDo || verb == kWill;
    const bool supported = localVerb ? LocalSupported(option) : RemoteSupported(option);
    const std::uint8_t yes = localVerb ? kWill : kDo;
    const std::uint8_t no = localVerb ? kWont : kDont;
    const bool wasAsked = state.asked;
    state.asked = false;
    if (enable && supported) {
        if (!state.on && !wasAsked) Send(replies, yes, option);
        state.on = true;
    } else if (enable) {
        Send(replies, no, option);
    } else {
        if (state.on && !wasAsked) Send(replies, no, option);
        state.on = false;
    }
    if (localVerb && option == kComPort) {
        comPort_ = state.on ? ComPortState::Accepted : ComPortState::Refused;
    }
}

void TelnetDecoder::EndSubnegotiation() {
    if (subOverflow_ || sub_.size() < 2 || sub_[0] != kComPort) return;
    if (answers_.size() >= kMaxQueuedAnswers) answers_.pop_front();
    answers_.push_back(
        ComPortAnswer{sub_[1], std::vector<std::uint8_t>(sub_.begin() + 2, sub_.end())});
}

}  // namespace arvestra
