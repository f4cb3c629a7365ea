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
    int until = kFaultForGood;
    if (const auto at = rest.find('@'); at != std::string_view::npos) {
        std::string_view window = rest.substr(at + 1);
        rest = rest.substr(0, at);
        if (const auto dash = window.find('-'); dash != std::string_view::npos) {
            const auto end = ParseNumber(window.substr(dash + 1), 1, 1'000'000'000);
            if (!end) {
                return std::nullopt;
            }
            until = *end;
            window = window.substr(0, dash);
        }
        const auto count = ParseNumber(window, 0, 1'000'000'000);
        if (!count || (until != kFaultForGood && until <= *count)) {
            return std::nullopt;
        }
        after = *count;
    }
    const auto kind = FaultKindFromName(rest);
    if (!address || !kind) {
        return std::nullopt;
    }
    return FaultSpec{*address, *kind, after, until};
}

std::string DescribeFault(const FaultSpec& fault) {
    std::string text = std::to_string(fault.address) + ":" + std::string(FaultName(fault.kind));
    if (fault.afterRequests > 0 || fault.untilRequests != kFaultForGood) {
        text += "@" + std::to_string(fault.afterRequests);
    }
    if (fault.untilRequests != kFaultForGood) {
        text += "-" + std::to_string(fault.untilRequests);
    }
    return text;
}

}  // namespace arvestra::devsim
