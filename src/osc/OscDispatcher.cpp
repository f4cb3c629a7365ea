#include "osc/OscDispatcher.h"

#include <cmath>
#include <optional>

#include "document/EditPath.h"
#include "document/RemoteControl.h"
#include "osc/OscPacket.h"
#include "osc/OscReplies.h"
#include "osc/OscValue.h"

namespace arvestra::osc {

namespace {

bool IsNumberType(char type) {
    return type == 'i' || type == 'h' || type == 'f' || type == 'd';
}

// The one whole-numbered argument of a message, when it lies within [lowest, highest].
std::optional<int> OneWhole(const OscMessage& message, int lowest, int highest) {
    if (message.args.size() != 1 || !IsNumberType(message.args[0].type)) return std::nullopt;
    const double value = message.args[0].number;
    if (!(value >= lowest && value <= highest) || value != std::floor(value)) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

std::vector<OscOutgoing> OscDispatcher::HandleDatagram(const OscDatagram& datagram,
                                                       OscFeedback::Clock::time_point now) {
    const OscDecode decode = DecodeOscPacket(datagram.bytes, kMaxMessagesPerDatagram);
    std::vector<OscOutgoing> out;
    for (const OscMessage& message : decode.messages) {
        std::vector<OscOutgoing> replies = Handle(message, datagram.from, now);
        out.insert(out.end(), replies.begin(), replies.end());
    }
    if (!decode.error.empty()) {
        ++errors_;
        out.push_back({datagram.from, ErrorReply("", decode.error)});
    }
    return out;
}

std::vector<OscOutgoing> OscDispatcher::Handle(const OscMessage& message, const OscPeer& from,
                                               OscFeedback::Clock::time_point now) {
    const OscRouteParse parse = ParseOscPath(message.path);
    Outcome outcome;
    if (!parse.route) {
        outcome.replies.push_back(ErrorReply(message.path, parse.error));
    } else {
        outcome = Apply(message, *parse.route, from, now);
    }
    changed_ = changed_ || outcome.changed;
    std::vector<OscOutgoing> out;
    for (OscMessage& reply : outcome.replies) {
        if (reply.path == "/arvestra/error") ++errors_;
        out.push_back({from, std::move(reply)});
    }
    return out;
}

bool OscDispatcher::TakeChanged() {
    const bool changed = changed_;
    changed_ = false;
    return changed;
}

OscDispatcher::Outcome OscDispatcher::Apply(const OscMessage& message, const OscRoute& route,
                                            const OscPeer& from,
                                            OscFeedback::Clock::time_point now) {
    Outcome outcome;
    const auto fail = [&](const std::string& reason) {
        outcome.replies.push_back(ErrorReply(message.path, reason));
        return outcome;
    };
    if (route.verb == OscVerb::Subscribe || route.verb == OscVerb::Unsubscribe) {
        return Subscription(message, route, from, now);
    }
    if (busy_ && busy_()) return fail("the editor is busy; try again in a moment");
    if (route.address != kAllDevices) {
        if (!doc_.Devices().IsDevicePresent(route.address)) {
            return fail("there is no device at address " + std::to_string(route.address));
        }
        return ApplyToDevice(message, route, route.address);
    }
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (!doc_.Devices().IsDevicePresent(address)) continue;
        Outcome one = ApplyToDevice(message, route, address);
        outcome.changed = outcome.changed || one.changed;
        outcome.replies.insert(outcome.replies.end(), one.replies.begin(), one.replies.end());
        // The same wrong argument is wrong for every device: one error says it.
        if (!one.replies.empty() && one.replies.back().path == "/arvestra/error" &&
            route.verb != OscVerb::Recall && route.verb != OscVerb::Store) {
            break;
        }
    }
    return outcome;
}

OscDispatcher::Outcome OscDispatcher::Subscription(const OscMessage& message, const OscRoute& route,
                                                   const OscPeer& from,
                                                   OscFeedback::Clock::time_point now) {
    Outcome outcome;
    const bool subscribe = route.verb == OscVerb::Subscribe;
    // subscribe [rate [port]], unsubscribe [port]: the port is the sender's own unless given.
    const std::size_t rateArgs = subscribe ? 1 : 0;
    const std::size_t portAt = rateArgs;
    bool wellFormed = message.args.size() <= rateArgs + 1;
    for (const OscArg& arg : message.args) wellFormed = wellFormed && IsNumberType(arg.type);
    std::optional<int> port;
    if (wellFormed && message.args.size() > portAt) {
        const OscMessage portOnly{message.path, {message.args[portAt]}};
        port = OneWhole(portOnly, 1, 65535);
        wellFormed = port.has_value();
    }
    if (!wellFormed) {
        outcome.replies.push_back(ErrorReply(
            message.path, subscribe ? "subscribe takes a rate (feedbacks a second) and a port"
                                    : "unsubscribe takes a port"));
        return outcome;
    }
    OscPeer to = from;
    if (port) to.port = static_cast<std::uint16_t>(*port);
    if (!subscribe) {
        feedback_.Unsubscribe(to);
        return outcome;
    }
    const double rate = message.args.empty() ? OscFeedback::kDefaultRateHz : message.args[0].number;
    const std::string refused = feedback_.Subscribe(to, rate, now);
    if (!refused.empty()) outcome.replies.push_back(ErrorReply(message.path, refused));
    return outcome;
}

OscDispatcher::Outcome OscDispatcher::ApplyToDevice(const OscMessage& message,
                                                    const OscRoute& route, int address) {
    Outcome outcome;
    const auto fail = [&](const std::string& reason) {
        outcome.replies.push_back(ErrorReply(message.path, reason));
    };
    switch (route.verb) {
        case OscVerb::Recall:
        case OscVerb::Store: {
            const std::optional<int> preset = OneWhole(message, kFirstPreset, kLastPreset);
            if (!preset) {
                fail("a preset number 1 to 8 (one int)");
                break;
            }
            OnDevice(address, [&] {
                if (route.verb == OscVerb::Recall) {
                    Recall(*preset, outcome, message.path);
                } else {
                    Store(*preset, outcome, message.path);
                }
            });
            break;
        }
        case OscVerb::PresetGet:
            if (!message.args.empty()) {
                fail("/get takes no arguments");
                break;
            }
            outcome.replies.push_back(PresetReply(
                address,
                std::clamp<int>(doc_.Devices().Location().RecordInt(
                                    doc_.Devices().Location().SlotOf(address), kRecCurrentPreset),
                                kFirstPreset, kLastPreset)));
            break;
        case OscVerb::BypassGet: {
            if (!message.args.empty()) {
                fail("/get takes no arguments");
                break;
            }
            const std::size_t field = route.channel == kChannelA ? kRecBypassA : kRecBypassB;
            outcome.replies.push_back(
                BypassReply(address, route.channel,
                            doc_.Devices().Location().RecordInt(
                                doc_.Devices().Location().SlotOf(address), field) != 0));
            break;
        }
        case OscVerb::Get:
            if (!message.args.empty()) {
                fail("/get takes no arguments");
                break;
            }
            outcome.replies.push_back(
                ParamReply(address, route.param, EditBufferOf(doc_.Devices().Location(), address)));
            break;
        case OscVerb::Bypass:
            OnDevice(address, [&] { SetBypass(route, message, outcome); });
            break;
        case OscVerb::Set:
            OnDevice(address, [&] { SetParam(route, message, outcome); });
            break;
        case OscVerb::Inc:
            OnDevice(address, [&] { StepParam(route, message, outcome); });
            break;
        case OscVerb::Subscribe:
        case OscVerb::Unsubscribe:
            break;
    }
    return outcome;
}

void OscDispatcher::Recall(int preset, Outcome& outcome, const std::string& path) {
    // A cue recalls as the device's own buttons do: edits of the current preset are given up,
    // so the recall asks nothing (the stored presets are untouched).
    outcome.changed = true;
    if (!doc_.RecallPresetDiscardingEdits(preset)) {
        outcome.replies.push_back(ErrorReply(path, "the preset was not recalled"));
    }
}

void OscDispatcher::Store(int preset, Outcome& outcome, const std::string& path) {
    outcome.changed = true;
    if (doc_.StorePresetAs(preset, std::nullopt) != IRemoteControl::StoreOutcome::Stored) {
        outcome.replies.push_back(ErrorReply(path, "the preset was not stored"));
    }
}

void OscDispatcher::SetBypass(const OscRoute& route, const OscMessage& message, Outcome& outcome) {
    const std::optional<int> on = OneWhole(message, 0, 1);
    if (!on) {
        outcome.replies.push_back(ErrorReply(message.path, "a bypass is 0 or 1 (one int)"));
        return;
    }
    outcome.changed = true;
    const int done = doc_.SetBypass(route.channel, *on != 0);
    if (!done) outcome.replies.push_back(ErrorReply(message.path, "the bypass was not sent"));
}

void OscDispatcher::SetParam(const OscRoute& route, const OscMessage& message, Outcome& outcome) {
    if (message.args.size() != 1) {
        outcome.replies.push_back(ErrorReply(message.path, "a set takes one value"));
        return;
    }
    const OscValueParse value = ValueToSet(route.param, message.args[0]);
    if (!value.error.empty()) {
        outcome.replies.push_back(ErrorReply(message.path, value.error));
        return;
    }
    ParamEdit edit = CodeEdit(route.param, value.code.value_or(0));
    if (value.text) edit.text = *value.text;
    edit.distance = value.distance;
    const bool done = doc_.ApplyEdits(std::span<const ParamEdit>(&edit, 1), EditReason::Osc);
    outcome.changed = true;
    if (!value.limited.empty()) outcome.replies.push_back(ErrorReply(message.path, value.limited));
    if (!done) outcome.replies.push_back(ErrorReply(message.path, "the value was not applied"));
}

void OscDispatcher::StepParam(const OscRoute& route, const OscMessage& message, Outcome& outcome) {
    if (message.args.size() != 1) {
        outcome.replies.push_back(ErrorReply(message.path, "a step takes one value"));
        return;
    }
    const int current = ReadParamCode(doc_.Edits().View(), route.param);
    const OscValueParse value = ValueAfterStep(route.param, current, message.args[0]);
    if (!value.error.empty()) {
        outcome.replies.push_back(ErrorReply(message.path, value.error));
        return;
    }
    if (*value.code == current) return;
    outcome.changed = true;
    const ParamEdit edit = CodeEdit(route.param, *value.code);
    if (!doc_.ApplyEdits(std::span<const ParamEdit>(&edit, 1), EditReason::Osc)) {
        outcome.replies.push_back(ErrorReply(message.path, "the value was not applied"));
    }
}

void OscDispatcher::OnDevice(int address, const std::function<void()>& apply) {
    const int previous =
        doc_.Devices().CurrentSlot() == kNoDevice ? 0 : doc_.Devices().CurrentAddress();
    if (previous != address) doc_.SelectDevice(address);
    apply();
    if (previous != address && previous != 0 && doc_.Devices().IsDevicePresent(previous)) {
        doc_.SelectDevice(previous);
    }
}

}  // namespace arvestra::osc
