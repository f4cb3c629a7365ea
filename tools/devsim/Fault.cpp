#include "devsim/Fault.h"

#include "devsim/ParseNumber.h"

namespace arvestra::devsim {

std::string_view FaultName(FaultKind kind) {
    switch (kind) {
        case FaultKind::NoReply:
            return "no-reply";
        case FaultKind::ShortReply:
            return "short-reply";
        case FaultKind::BadChecksum:
            return "bad-checksum";
        case FaultKind::BadStatus:
            return "bad-status";
        case FaultKind::WrongLength:
            return "wrong-length";
        case FaultKind::SlowReply:
            return "slow-reply";
        case FaultKind::WrongType:
            return "wrong-type";
        case FaultKind::WrongMaker:
            return "wrong-maker";
        case FaultKind::OldFirmware:
            return "old-firmware";
    }
    return "unknown";
}

std::optional<FaultKind> FaultKindFromName(std::string_view name) {
    for (const FaultKind kind : kAllFaultKinds) {
        if (FaultName(kind) == name) {
            return kind;
        }
    }
    return std::nullopt;
}

std::optional<FaultSpec> ParseFault(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto address = ParseNumber(text.substr(0, colon), 1, 126);
    std::string_view rest = text.substr(colon + 1);
    int after = 0;
    if (const auto at = rest.find('@'); at != std::string_view::npos) {
        const auto count = ParseNumber(rest.substr(at + 1), 0, 1'000'000'000);
        if (!count) {
            return std::nullopt;
        }
        after = *count;
        rest = rest.substr(0, at);
    }
    const auto kind = FaultKindFromName(rest);
    if (!address || !kind) {
        return std::nullopt;
    }
    return FaultSpec{*address, *kind, after};
}

std::string DescribeFault(const FaultSpec& fault) {
    std::string text = std::to_string(fault.address) + ":" + std::string(FaultName(fault.kind));
    if (fault.afterRequests > 0) {
        text += "@" + std::to_string(fault.afterRequests);
    }
    return text;
}

}  // namespace arvestra::devsim
