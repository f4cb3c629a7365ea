#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace arvestra::devsim {

// Faults the simulator can inject into one device's answers.
enum class FaultKind {
    NoReply,      // the device stops answering (and stops acting on requests)
    ShortReply,   // only the first half of each reply is sent
    BadChecksum,  // the reply's checksum byte is off by one
    BadStatus,    // the reply carries a non-zero status byte
    WrongLength,  // the reply's length field is one too large (the frame itself is not)
    SlowReply,    // each reply is held back by the slow-reply delay
    WrongType,    // CMD_IDENTIFY reports another device type
    WrongMaker,   // CMD_IDENTIFY reports another manufacturer
    OldFirmware,  // CMD_READ_FIRMWARE reports a compatibility level below the editor's
};

inline constexpr std::array<FaultKind, 9> kAllFaultKinds{
    FaultKind::NoReply,   FaultKind::ShortReply,  FaultKind::BadChecksum,
    FaultKind::BadStatus, FaultKind::WrongLength, FaultKind::SlowReply,
    FaultKind::WrongType, FaultKind::WrongMaker,  FaultKind::OldFirmware};

// Marks a fault that never ends.
inline constexpr int kFaultForGood = -1;

// A fault on one address, active once the device has received `afterRequests` requests and
// until it has received `untilRequests` (kFaultForGood: to the end).
struct FaultSpec {
    int address = 0;
    FaultKind kind = FaultKind::NoReply;
    int afterRequests = 0;
    int untilRequests = kFaultForGood;

    // True when the fault applies to the device's request number `index`, counted from 0.
    bool ActiveFor(int index) const {
        return index >= afterRequests && (untilRequests == kFaultForGood || index < untilRequests);
    }

    bool operator==(const FaultSpec&) const = default;
};

// The option spelling of a fault kind ("no-reply", "bad-checksum", ...).
std::string_view FaultName(FaultKind kind);

// The fault kind spelt `name`, or nothing.
std::optional<FaultKind> FaultKindFromName(std::string_view name);

// Parses "ADDR:KIND", "ADDR:KIND@N" or "ADDR:KIND@N-M" (address 1..126, 0 <= N < M); nothing
// when malformed.
std::optional<FaultSpec> ParseFault(std::string_view text);

// The fault as the option spells it, for the log.
std::string DescribeFault(const FaultSpec& fault);

}  // namespace arvestra::devsim
