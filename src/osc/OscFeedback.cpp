#include "osc/OscFeedback.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "document/EditPath.h"
#include "document/RemoteControl.h"
#include "osc/OscReplies.h"
#include "osc/OscRoute.h"

namespace arvestra::osc {

namespace {

OscFeedback::Clock::duration IntervalOf(double rateHz) {
    const double hz = std::clamp(rateHz, OscFeedback::kLowestRateHz, OscFeedback::kHighestRateHz);
    return std::chrono::duration_cast<OscFeedback::Clock::duration>(
        std::chrono::duration<double>(1.0 / hz));
}

bool IsReserved(const ParamRef& ref) {
    if (ref.kind != ParamKind::Field) return false;
    return ref.field == ParamField::EqReserved || ref.field == ParamField::ClReserved ||
           ref.field == ParamField::ClBandReserved || ref.field == ParamField::Reserved195;
}

// The parameters feedback names: those of "arvestra-cli params", without the bytes that a delay
// time, a temperature and the name are made of (each is told as one value) and without the
// reserved fields.
const std::vector<ParamRef>& FeedbackParams() {
    static const std::vector<ParamRef> params = [] {
        std::vector<ParamRef> kept;
        for (const ParamRef& ref : AllParams()) {
            if (CoveredByCompound(ref) || IsReserved(ref)) continue;
            kept.push_back(ref);
        }
        return kept;
    }();
    return params;
}

}  // namespace

OscFeedback::~OscFeedback() {
    Clear();
}

void OscFeedback::Clear() {
    subscribers_.clear();
    if (followed_ != nullptr) followed_->StopListeningToEdits(listener_);
    followed_ = nullptr;
}

void OscFeedback::Follow(IRemoteControl& doc) {
    if (followed_ == &doc) return;
    if (followed_ != nullptr) followed_->StopListeningToEdits(listener_);
    followed_ = &doc;
    listener_ = doc.ListenToEdits([this](const EditEvent& event) { Heard(event); });
}

void OscFeedback::Heard(const EditEvent& event) {
    // A stored preset being built is no device's edit buffer.
    if (event.image != 0) return;
    for (Subscriber& subscriber : subscribers_) {
        if (event.address == 0) {
            subscriber.everyDeviceEdited = true;  // another location: anything may differ
        } else {
            subscriber.edited.insert(event.address);
        }
    }
}

std::string OscFeedback::Subscribe(const OscPeer& peer, double rateHz, Clock::time_point now) {
    const double rate = std::isfinite(rateHz) ? rateHz : kDefaultRateHz;
    for (Subscriber& subscriber : subscribers_) {
        if (subscriber.peer != peer) continue;
        subscriber.interval = IntervalOf(rate);
        subscriber.due = now;
        subscriber.devices.clear();  // a renewed subscription is told everything again
        return {};
    }
    if (subscribers_.size() >= kMaxSubscribers) {
        return "too many subscribers (" + std::to_string(kMaxSubscribers) + ")";
    }
    subscribers_.push_back(Subscriber{peer, IntervalOf(rate), now, {}, {}, false});
    return {};
}

bool OscFeedback::Unsubscribe(const OscPeer& peer) {
    const auto found = std::find_if(subscribers_.begin(), subscribers_.end(),
                                    [&](const Subscriber& s) { return s.peer == peer; });
    if (found == subscribers_.end()) return false;
    subscribers_.erase(found);
    return true;
}

std::vector<OscOutgoing> OscFeedback::Tick(IRemoteControl& doc, Clock::time_point now) {
    Follow(doc);
    std::vector<OscOutgoing> out;
    std::vector<DeviceState> state;
    bool stateRead = false;
    for (Subscriber& subscriber : subscribers_) {
        if (now < subscriber.due) continue;
        if (!stateRead) {
            state = CurrentState(doc.Devices().Location());
            stateRead = true;
        }
        // A subscriber that was late (a long operation) is not sent several feedbacks at once.
        subscriber.due = std::max(subscriber.due + subscriber.interval, now);
        std::vector<OscMessage> messages;
        for (const DeviceState& device : state) {
            const auto before =
                std::find_if(subscriber.devices.begin(), subscriber.devices.end(),
                             [&](const DeviceState& d) { return d.address == device.address; });
            const bool edited =
                subscriber.everyDeviceEdited || subscriber.edited.count(device.address) != 0;
            Compare(before == subscriber.devices.end() ? nullptr : &*before, device, edited,
                    messages);
        }
        subscriber.edited.clear();
        subscriber.everyDeviceEdited = false;
        AddMeters(doc, messages);
        subscriber.devices = state;
        for (OscMessage& message : messages) out.push_back({subscriber.peer, std::move(message)});
    }
    return out;
}

std::vector<OscFeedback::DeviceState> OscFeedback::CurrentState(const CLocationImage& location) {
    std::vector<DeviceState> devices;
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        const int slot = location.SlotOf(address);
        if (slot == kNoDevice) continue;
        DeviceState device;
        device.address = address;
        device.preset =
            std::clamp<int>(location.RecordInt(slot, kRecCurrentPreset), kFirstPreset, kLastPreset);
        device.bypass[0] = location.RecordInt(slot, kRecBypassA) != 0 ? 1 : 0;
        device.bypass[1] = location.RecordInt(slot, kRecBypassB) != 0 ? 1 : 0;
        std::memcpy(device.image.data(), location.Image(slot, 0), kPresetImageSize);
        devices.push_back(device);
    }
    return devices;
}

// A device a subscriber has not yet been told about is told its preset and bypass; its
// parameters follow when they change.
void OscFeedback::Compare(const DeviceState* before, const DeviceState& now, bool edited,
                          std::vector<OscMessage>& out) {
    if (before == nullptr || before->preset != now.preset) {
        out.push_back(PresetReply(now.address, now.preset));
    }
    for (int channel = 0; channel < 2; ++channel) {
        if (before == nullptr || before->bypass[channel] != now.bypass[channel]) {
            out.push_back(BypassReply(now.address, channel, now.bypass[channel] != 0));
        }
    }
    if (before == nullptr || !edited || before->image == now.image) return;
    const ImageBytes old(before->image);
    const ImageBytes current(now.image);
    for (const ParamRef& ref : FeedbackParams()) {
        const bool changed = ref.kind == ParamKind::PresetName
                                 ? NameInImage(old) != NameInImage(current)
                                 : ReadParamCode(old, ref) != ReadParamCode(current, ref);
        if (changed) out.push_back(ParamReply(now.address, ref, current));
    }
}

void OscFeedback::AddMeters(const IRemoteControl& doc, std::vector<OscMessage>& out) {
    if (!doc.IsOnline() || doc.Devices().CurrentSlot() == kNoDevice) return;
    OscMessage meters{DevicePrefix(doc.Devices().CurrentAddress()) + "/meters", {}};
    const MeterRecord polled = doc.Meters();
    for (const std::uint8_t level :
         {polled.levelA, polled.levelB, polled.level2A, polled.level2B}) {
        meters.args.push_back(OscArg::Int(level));
    }
    for (int channel = 0; channel < 2; ++channel) {
        meters.args.push_back(OscArg::Int(polled.reduction1[channel]));
        meters.args.push_back(OscArg::Int(polled.reduction2[channel]));
    }
    for (int channel = 0; channel < 2; ++channel) {
        meters.args.push_back(OscArg::Int(doc.AnyIndicatorLit(channel) != 0 ? 1 : 0));
    }
    out.push_back(std::move(meters));
}

}  // namespace arvestra::osc
