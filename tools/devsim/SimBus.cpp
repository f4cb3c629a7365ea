#include "devsim/SimBus.h"

#include <algorithm>

namespace arvestra::devsim {

namespace {

constexpr std::uint8_t kWrongDeviceType = 35;
constexpr std::uint8_t kWrongManufacturer = 57;
constexpr std::uint8_t kOldCompatibilityLevel = 10;
// Position of the status byte, counted from the end of a reply frame.
constexpr std::size_t kStatusFromEnd = 2;
// The shortest whole reply frame: lead bytes, length (2), status and checksum.
constexpr std::size_t kMinReplyFrame = kReplyLeadBytes + 4;

bool IsWireFault(FaultKind kind) {
    return kind != FaultKind::WrongType && kind != FaultKind::WrongMaker &&
           kind != FaultKind::OldFirmware;
}

// Changes the reply payload for the faults that lie about the device itself.
void ApplyContentFault(FaultKind kind, std::uint8_t command, Reply& reply) {
    if (reply.status != kStatusOk) {
        return;
    }
    if (kind == FaultKind::WrongType && command == cmd::kIdentify && reply.payload.size() > 0) {
        reply.payload[0] = kWrongDeviceType;
    } else if (kind == FaultKind::WrongMaker && command == cmd::kIdentify &&
               reply.payload.size() > 1) {
        reply.payload[1] = kWrongManufacturer;
    } else if (kind == FaultKind::OldFirmware && command == cmd::kReadFirmware &&
               reply.payload.size() > 2) {
        reply.payload[2] = kOldCompatibilityLevel;
    }
}

// Damages a framed reply the way a faulty line or device would. The faults that rewrite a
// field of the frame leave a frame shorter than a whole reply alone.
void ApplyWireFault(FaultKind kind, std::chrono::milliseconds slowDelay, Outgoing& out) {
    std::vector<std::uint8_t>& frame = out.bytes;
    const bool whole = frame.size() >= kMinReplyFrame;
    switch (kind) {
        case FaultKind::NoReply:
            out.answered = false;
            frame.clear();
            break;
        case FaultKind::ShortReply:
            frame.resize(frame.size() / 2);
            break;
        case FaultKind::BadChecksum:
            if (!whole) break;
            frame.back() = static_cast<std::uint8_t>(frame.back() + 1);
            break;
        case FaultKind::BadStatus:
            if (!whole) break;
            frame[frame.size() - kStatusFromEnd] = kStatusInjectedFault;
            SealReplyFrame(frame);
            break;
        case FaultKind::WrongLength: {
            if (!whole) break;
            const unsigned length = (frame[3] << 8 | frame[4]) + 1u;
            frame[3] = static_cast<std::uint8_t>(length >> 8);
            frame[4] = static_cast<std::uint8_t>(length & 0xFF);
            SealReplyFrame(frame);
            break;
        }
        case FaultKind::SlowReply:
            out.extraDelay += slowDelay;
            break;
        default:
            break;
    }
}

}  // namespace

CSimBus::CSimBus(std::span<const int> addresses, std::vector<FaultSpec> faults,
                 std::chrono::milliseconds slowReplyDelay)
    : faults_(std::move(faults)), slowReplyDelay_(slowReplyDelay) {
    for (const int address : addresses) {
        if (address >= 1 && address <= 126) {
            devices_.try_emplace(address, address);
        }
    }
}

CSimDevice* CSimBus::Device(int address) {
    const auto it = devices_.find(address);
    return it == devices_.end() ? nullptr : &it->second;
}

int CSimBus::RequestCount(int address) const {
    const auto it = requestCounts_.find(address);
    return it == requestCounts_.end() ? 0 : it->second;
}

std::vector<int> CSimBus::Addresses() const {
    std::vector<int> addresses;
    for (const auto& [address, device] : devices_) {
        addresses.push_back(address);
    }
    return addresses;
}

std::vector<FaultKind> CSimBus::ActiveFaults(int address, int index) const {
    std::vector<FaultKind> active;
    for (const FaultSpec& fault : faults_) {
        if (fault.address == address && fault.ActiveFor(index)) {
            active.push_back(fault.kind);
        }
    }
    return active;
}

Outgoing CSimBus::Answer(const Request& request, double seconds) {
    Outgoing out;
    CSimDevice* device = Device(request.address);
    if (device == nullptr) {
        return out;
    }
    const int index = requestCounts_[request.address]++;
    const std::vector<FaultKind> faults = ActiveFaults(request.address, index);
    if (std::ranges::find(faults, FaultKind::NoReply) != faults.end()) {
        // A device that has stopped answering does not act on what it hears either.
        out.notes.emplace_back(FaultName(FaultKind::NoReply));
        return out;
    }
    Reply reply = device->Handle(request.command, request.payload, seconds);
    for (const FaultKind kind : faults) {
        ApplyContentFault(kind, request.command, reply);
    }
    out.answered = true;
    out.bytes = BuildReplyFrame(request.address, request.command, reply);
    // Every other wire fault damages the whole frame; the cut of a short reply comes last, in
    // whatever order the faults were given.
    bool shortReply = false;
    for (const FaultKind kind : faults) {
        out.notes.emplace_back(FaultName(kind));
        if (kind == FaultKind::ShortReply) {
            shortReply = true;
        } else if (IsWireFault(kind)) {
            ApplyWireFault(kind, slowReplyDelay_, out);
        }
    }
    if (shortReply) {
        ApplyWireFault(FaultKind::ShortReply, slowReplyDelay_, out);
    }
    return out;
}

}  // namespace arvestra::devsim
