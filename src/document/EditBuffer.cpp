// The edit buffer's block parameter operations. Every edit of a preset goes through here:
// clamp, compare, write through the image view, apply the channel link, mark the byte for
// sending while live, raise the modified flags, and announce the changed bytes. One generic
// setter per family, driven by the model's field table.
#include "document/EditBuffer.h"

#include <algorithm>
#include <initializer_list>

#include "model/DelayMath.h"
#include "model/Scales.h"

namespace arvestra {

namespace {

using PF = ParamField;

// The families of set operations.
enum class Family { Linked, PerChannel, Routing, Configuration };

Family FamilyOf(const FieldDescriptor& f) {
    switch (f.role) {
        case FieldRole::Source:
            return Family::Routing;
        case FieldRole::Master:
        case FieldRole::LinkDerived:
            return Family::PerChannel;
        case FieldRole::Value:
            break;
    }
    switch (f.block) {
        case FieldBlock::Input:
        case FieldBlock::Output:
            return Family::PerChannel;
        case FieldBlock::Configuration:
        case FieldBlock::Name:
            return Family::Configuration;
        default:
            return Family::Linked;
    }
}

// The master flag of a linkable block; false for the blocks without one.
bool MasterOf(FieldBlock block, ParamField& master) {
    switch (block) {
        case FieldBlock::Equaliser:
            master = PF::EqMaster;
            return true;
        case FieldBlock::LowPass:
            master = PF::LpMaster;
            return true;
        case FieldBlock::HighPass:
            master = PF::HpMaster;
            return true;
        case FieldBlock::Delay:
            master = PF::DelayMaster;
            return true;
        case FieldBlock::CompLimiter:
            master = PF::ClMaster;
            return true;
        default:
            return false;
    }
}

bool IsChannel(int channel) {
    return channel == kChannelA || channel == kChannelB;
}

// One field element of a block, in the order a block is copied and checked.
struct FieldRef {
    ParamField field;
    int index;
};

// Appends every element of `field` to `out`.
void AppendAll(std::vector<FieldRef>& out, ParamField field) {
    const int count = FieldInfo(field).indexCount;
    for (int i = 0; i < count; ++i) out.push_back({field, i});
}

// The fields of a block that "copy to the other channel" carries, in copy order.
std::vector<FieldRef> CopiedFields(FieldBlock block) {
    std::vector<FieldRef> out;
    const auto add = [&out](std::initializer_list<ParamField> fields) {
        for (ParamField f : fields) AppendAll(out, f);
    };
    switch (block) {
        case FieldBlock::Equaliser:
            add({PF::EqBypass, PF::EqType, PF::EqReserved, PF::EqGraphicQ, PF::EqGraphicGain,
                 PF::EqParamFrequency, PF::EqParamBandwidth, PF::EqParamGain, PF::EqParamBypass});
            break;
        case FieldBlock::LowPass:
            add({PF::LpBlockFlag, PF::LpCutoff, PF::LpSlope});
            break;
        case FieldBlock::HighPass:
            add({PF::HpBlockFlag, PF::HpCutoff, PF::HpSlope});
            break;
        case FieldBlock::Delay:
            add({PF::DelayBypass, PF::DelayHigh, PF::DelayMiddle, PF::DelayLow, PF::TemperatureHigh,
                 PF::TemperatureLow});
            break;
        case FieldBlock::CompLimiter: {
            add({PF::ClBypass, PF::ClReserved, PF::ClCrossover, PF::ClMode});
            const ParamField band[] = {PF::ClAttack,    PF::ClRelease, PF::ClBandReserved,
                                       PF::ClThreshold, PF::ClRatio,   PF::ClKnee,
                                       PF::ClGain};
            for (int b = 0; b < 2; ++b) {
                for (ParamField f : band) out.push_back({f, b});
            }
            break;
        }
        default:
            break;
    }
    return out;
}

// Codes that no block has; an image read from a device has them replaced by 0.
bool IsInvalidBlockCode(int code) {
    return code == 6 || code == 7 || code == 9 || code == 10;
}

constexpr FieldBlock kCheckedBlocks[] = {FieldBlock::Delay, FieldBlock::Equaliser,
                                         FieldBlock::LowPass, FieldBlock::HighPass,
                                         FieldBlock::CompLimiter};

}  // namespace

// ---- Generic access ------------------------------------------------------------------------

int EditBuffer::Get(ParamField field, int channel, int index) const {
    return view_.Get(field, channel, index);
}

void EditBuffer::Set(ParamField field, int channel, int index, long long value) {
    const EditBatch batch(*this);
    switch (FamilyOf(FieldInfo(field))) {
        case Family::Linked:
            SetLinked(field, channel, index, value);
            break;
        case Family::PerChannel:
            SetPerChannel(field, channel, value);
            break;
        case Family::Routing:
            SetRouting(field, channel, value);
            break;
        case Family::Configuration:
            SetConfig(field, index, value);
            break;
    }
}

bool EditBuffer::WriteField(ParamField field, int channel, int index, int value) {
    std::lock_guard<std::mutex> lock(lock_);
    return WriteFieldLocked(field, channel, index, value);
}

bool EditBuffer::WriteFieldLocked(ParamField field, int channel, int index, int value) {
    if (!view_.isBound()) return false;
    const int offset = FieldOffset(field, channel, index);
    if (offset < 0) return false;
    if (view_.Get(field, channel, index) == value) return false;
    const auto before = static_cast<uint8_t>(view_.byteAt(offset));
    view_.Set(field, channel, index, value);
    // Marked after the write and under the same lock, so the worker never sends a half edit.
    MarkLocked(offset);
    Record(offset, before, static_cast<uint8_t>(view_.byteAt(offset)));
    return true;
}

void EditBuffer::MarkLocked(int offset) {
    if (!live_() || quiet_ > 0) return;
    const auto byte = static_cast<uint8_t>(offset);
    dirtyFirst_ = std::min(dirtyFirst_, byte);
    dirtyLast_ = std::max(dirtyLast_, byte);
}

void EditBuffer::FlagChange(bool presetToo) {
    if (changed_) changed_(presetToo);
}

bool EditBuffer::IsLinked(FieldBlock block) const {
    ParamField master{};
    if (!MasterOf(block, master)) return false;
    return view_.Get(master, kChannelA) != 0 || view_.Get(master, kChannelB) != 0;
}

void EditBuffer::SetLinked(ParamField field, int channel, int index, long long value) {
    const EditBatch batch(*this);
    const int v = ClampToField(field, value);
    const FieldBlock block = FieldInfo(field).block;
    // The link is read afresh before each channel: a write may have been to a master flag's byte.
    if (IsLinked(block) || channel == kChannelA) {
        if (WriteField(field, kChannelA, index, v)) FlagChange(true);
    }
    if (IsLinked(block) || channel == kChannelB) {
        if (WriteField(field, kChannelB, index, v)) FlagChange(true);
    }
}

void EditBuffer::SetLinkedTogether(std::initializer_list<FieldWrite> writes, int channel) {
    if (writes.size() == 0) return;
    // Every field of one value belongs to the same block, so one link test covers them all.
    const bool linked = IsLinked(FieldInfo(writes.begin()->field).block);
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(lock_);
        for (const int ch : {kChannelA, kChannelB}) {
            if (!linked && channel != ch) continue;
            for (const FieldWrite& w : writes) {
                changed |= WriteFieldLocked(w.field, ch, 0, ClampToField(w.field, w.value));
            }
        }
    }
    if (changed) FlagChange(true);
}

void EditBuffer::SetPerChannel(ParamField field, int channel, long long value) {
    const EditBatch batch(*this);
    const int v = ClampToField(field, value);
    if (!IsChannel(channel)) return;
    // Switching the equaliser link changes no sound, so the preset does not count as modified.
    if (WriteField(field, channel, 0, v)) FlagChange(field != PF::EqMaster);
}

void EditBuffer::SetRouting(ParamField field, int channel, long long node) {
    const RoutingWrite write{field, channel, node};
    SetRoutingTogether({&write, 1});
}

void EditBuffer::SetRoutingTogether(std::span<const RoutingWrite> writes) {
    const EditBatch batch(*this);
    std::lock_guard<std::mutex> lock(lock_);
    for (const RoutingWrite& w : writes) {
        if (IsChannel(w.channel))
            WriteFieldLocked(w.field, w.channel, 0, ClampToField(w.field, w.node));
    }
}

void EditBuffer::SetConfig(ParamField field, int index, long long value) {
    const EditBatch batch(*this);
    int v = ClampToField(field, value);
    // A code no block has is left out here just as the check after reading leaves it out:
    // otherwise the device keeps a code that a read-back clears in the document alone, and the
    // next store puts one version into the device and another into the file.
    if ((field == PF::ChainSlot || field == PF::PalettePosition) && IsInvalidBlockCode(v)) v = 0;
    if (WriteField(field, kChannelA, index, v)) FlagChange(field != PF::Reserved195);
}

// ---- Master toggles and block copy ---------------------------------------------------------

void EditBuffer::SetMasterWithCopy(FieldBlock block, int channel, int value) {
    const EditBatch batch(*this);
    ParamField master{};
    if (!MasterOf(block, master)) return;
    const int m = ClampToField(master, value);
    SetPerChannel(master, channel, m);
    if (m == 1 && IsChannel(channel)) CopyBlockToOtherChannel(block, channel);
    if (block == FieldBlock::CompLimiter) UpdateCompLimLinkFields();
}

void EditBuffer::CopyBlockToOtherChannel(FieldBlock block, int sourceChannel) {
    const EditBatch batch(*this);
    if (!IsChannel(sourceChannel)) return;
    const int target = 1 - sourceChannel;
    for (const FieldRef& ref : CopiedFields(block)) {
        SetLinked(ref.field, target, ref.index, Get(ref.field, sourceChannel, ref.index));
    }
}

void EditBuffer::UpdateCompLimLinkFields() {
    const EditBatch batch(*this);
    const bool linked = IsLinked(FieldBlock::CompLimiter);
    SetPerChannel(PF::ClLinkMode, kChannelA, linked ? 0 : 1);
    SetPerChannel(PF::ClLinkMode, kChannelB, linked ? 0 : 2);
    SetPerChannel(PF::ClLinkFlag, kChannelA, 0);
    SetPerChannel(PF::ClLinkFlag, kChannelB, linked ? 0 : 1);
}

// ---- Check after reading ---------------------------------------------------------------------

void EditBuffer::CheckImageAfterRead() {
    // The limits put back what was read; none of it is an edit to send back to the device.
    const EditBatch batch(*this);
    ++quiet_;
    const auto again = [this](ParamField field, int channel, int index = 0) {
        Set(field, channel, index, Get(field, channel, index));
    };
    for (int ch = kChannelA; ch <= kChannelB; ++ch) {
        for (ParamField f : {PF::EqSource, PF::EqMaster, PF::LpSource, PF::LpMaster, PF::HpSource,
                             PF::HpMaster, PF::InputLevel, PF::DelaySource, PF::DelayMaster,
                             PF::ClSource, PF::ClMaster, PF::OutputSource, PF::OutputLevel}) {
            again(f, ch);
        }
    }
    again(PF::PinkNoiseLevel, 0);
    again(PF::Reserved195, 0);
    for (int s = 0; s < 16; ++s) again(PF::ChainSlot, 0, s);
    for (int p = 0; p < 10; ++p) again(PF::PalettePosition, 0, p);
    for (int i = 0; i < 2; ++i) again(PF::PinkNoiseOn, 0, i);
    for (int i = 0; i < 2; ++i) again(PF::JoinPosition, 0, i);
    again(PF::JoinOn, 0);
    again(PF::JoinTarget, 0);
    for (int i = 0; i < 32; ++i) again(PF::NameChar, 0, i);

    for (FieldBlock block : kCheckedBlocks) {
        std::vector<FieldRef> fields = CopiedFields(block);
        if (block == FieldBlock::CompLimiter) {
            fields.push_back({PF::ClLinkMode, 0});
            fields.push_back({PF::ClLinkFlag, 0});
        }
        for (int ch = kChannelA; ch <= kChannelB; ++ch) {
            for (const FieldRef& ref : fields) again(ref.field, ch, ref.index);
        }
    }

    for (int s = 0; s < 16; ++s) {
        if (IsInvalidBlockCode(Get(PF::ChainSlot, 0, s))) SetConfig(PF::ChainSlot, s, 0);
    }
    for (int p = 0; p < 10; ++p) {
        if (IsInvalidBlockCode(Get(PF::PalettePosition, 0, p))) {
            SetConfig(PF::PalettePosition, p, 0);
        }
    }
    --quiet_;
}

// ---- Initial settings ------------------------------------------------------------------------

void EditBuffer::ApplyConfigurationDefaults() {
    const EditBatch batch(*this);
    for (int ch = kChannelA; ch <= kChannelB; ++ch) {
        for (ParamField f : {PF::EqSource, PF::LpSource, PF::HpSource, PF::DelaySource,
                             PF::ClSource, PF::OutputSource}) {
            Set(f, ch, 0);
        }
        for (ParamField f :
             {PF::EqMaster, PF::LpMaster, PF::HpMaster, PF::DelayMaster, PF::ClMaster}) {
            Set(f, ch, 0);
        }
        Set(PF::InputLevel, ch, 192);
        Set(PF::OutputLevel, ch, 192);
    }
    SetConfig(PF::PinkNoiseLevel, 0, 0);
    SetConfig(PF::Reserved195, 0, 1);
    for (int s = 0; s < 16; ++s) SetConfig(PF::ChainSlot, s, 0);
    for (int p = 0; p < 10; ++p) SetConfig(PF::PalettePosition, p, 0);
    for (int i = 0; i < 2; ++i) {
        SetConfig(PF::PinkNoiseOn, i, 0);
        SetConfig(PF::JoinPosition, i, 0);
    }
    SetConfig(PF::JoinOn, 0, 0);
    SetConfig(PF::JoinTarget, 0, 0);
    for (int i = 0; i < 32; ++i) SetConfig(PF::NameChar, i, 0);
}

void EditBuffer::ApplyEqualiserDefaults() {
    const EditBatch batch(*this);
    for (int ch = kChannelA; ch <= kChannelB; ++ch) {
        Set(PF::EqBypass, ch, 0);
        Set(PF::EqType, ch, 0);
        Set(PF::EqReserved, ch, 0);
        Set(PF::EqGraphicQ, ch, 6);
        for (int i = 0; i < 31; ++i) Set(PF::EqGraphicGain, ch, i, 30);
        for (int i = 0; i < 10; ++i) {
            Set(PF::EqParamFrequency, ch, i, 50);
            Set(PF::EqParamBandwidth, ch, i, 19);
            Set(PF::EqParamGain, ch, i, 97);
            Set(PF::EqParamBypass, ch, i, 0);
        }
    }
}

void EditBuffer::ApplyLowPassDefaults() {
    const EditBatch batch(*this);
    for (int ch = kChannelA; ch <= kChannelB; ++ch) {
        Set(PF::LpBlockFlag, ch, 0);
        Set(PF::LpCutoff, ch, 100);
        Set(PF::LpSlope, ch, 1);
    }
}

void EditBuffer::ApplyHighPassDefaults() {
    const EditBatch batch(*this);
    for (int ch = kChannelA; ch <= kChannelB; ++ch) {
        Set(PF::HpBlockFlag, ch, 0);
        Set(PF::HpCutoff, ch, 0);
        Set(PF::HpSlope, ch, 1);
    }
}

void EditBuffer::ApplyDelayDefaults() {
    const EditBatch batch(*this);
    for (int ch = kChannelA; ch <= kChannelB; ++ch) {
        Set(PF::DelayBypass, ch, 0);
        Set(PF::DelayHigh, ch, 0);
        Set(PF::DelayMiddle, ch, 0);
        Set(PF::DelayLow, ch, 0);
        Set(PF::TemperatureHigh, ch, 2);
        Set(PF::TemperatureLow, ch, 168);
    }
}

void EditBuffer::ApplyCompLimiterDefaults() {
    const EditBatch batch(*this);
    for (int ch = kChannelA; ch <= kChannelB; ++ch) {
        Set(PF::ClBypass, ch, 0);
        Set(PF::ClLinkMode, ch, 0);
        Set(PF::ClReserved, ch, 0);
        Set(PF::ClLinkFlag, ch, 0);
        Set(PF::ClCrossover, ch, 56);
        Set(PF::ClMode, ch, 1);
        for (int b = 0; b < 2; ++b) {
            Set(PF::ClAttack, ch, b, 10);
            Set(PF::ClRelease, ch, b, 59);
            Set(PF::ClBandReserved, ch, b, 48);
            Set(PF::ClThreshold, ch, b, 200);
            Set(PF::ClRatio, ch, b, 0);
            Set(PF::ClKnee, ch, b, 1);
            Set(PF::ClGain, ch, b, 40);
        }
    }
}

// ---- Delay helpers and page shortcuts ---------------------------------------------------------

int EditBuffer::GetDelaySamples(int channel) const {
    return view_.delaySamples(channel);
}

void EditBuffer::SetDelaySamples(int channel, long long samples) {
    const EditBatch batch(*this);
    const long long limited = std::clamp<long long>(samples, 0, kMaxDelaySamples);
    const DelayBytes bytes = SplitDelaySamples(static_cast<int>(limited));
    SetLinkedTogether(
        {{PF::DelayLow, bytes.low}, {PF::DelayMiddle, bytes.middle}, {PF::DelayHigh, bytes.high}},
        channel);
}

int EditBuffer::GetTemperatureTenths(int channel) const {
    return view_.temperatureTenths(channel);
}

void EditBuffer::SetTemperatureTenths(int channel, long long tenths) {
    const EditBatch batch(*this);
    const long long limited = std::clamp<long long>(tenths, 0, kMaxTemperatureTenths);
    const TemperatureBytes bytes = SplitTemperatureTenths(static_cast<int>(limited));
    SetLinkedTogether({{PF::TemperatureLow, bytes.low}, {PF::TemperatureHigh, bytes.high}},
                      channel);
}

void EditBuffer::SetTemperatureKeepingDistance(int channel, long long tenths) {
    const EditBatch batch(*this);
    const int oldTenths = GetTemperatureTenths(channel);
    const int newTenths = static_cast<int>(std::clamp<long long>(tenths, 0, kMaxTemperatureTenths));
    const int samples = SamplesForNewTemperature(GetDelaySamples(channel), oldTenths, newTenths);
    // The temperature and the delay it implies reach the device together.
    const TemperatureBytes temperature = SplitTemperatureTenths(newTenths);
    const DelayBytes delay = SplitDelaySamples(samples);
    SetLinkedTogether({{PF::TemperatureLow, temperature.low},
                       {PF::TemperatureHigh, temperature.high},
                       {PF::DelayLow, delay.low},
                       {PF::DelayMiddle, delay.middle},
                       {PF::DelayHigh, delay.high}},
                      channel);
}

void EditBuffer::SetDelayFeet(int channel, double feet) {
    const EditBatch batch(*this);
    SetDelaySamples(channel, SamplesFromFeet(feet, GetTemperatureTenths(channel)));
}

void EditBuffer::SetDelayMetres(int channel, double metres) {
    const EditBatch batch(*this);
    SetDelaySamples(channel, SamplesFromMetres(metres, GetTemperatureTenths(channel)));
}

void EditBuffer::FlatGraphic(int channel) {
    const EditBatch batch(*this);
    for (int i = 0; i < FieldInfo(PF::EqGraphicGain).indexCount; ++i) {
        SetLinked(PF::EqGraphicGain, channel, i, 30);
    }
}

void EditBuffer::FlatParametric(int channel) {
    const EditBatch batch(*this);
    for (int i = 0; i < FieldInfo(PF::EqParamGain).indexCount; ++i) {
        SetLinked(PF::EqParamGain, channel, i, 97);
    }
}

void EditBuffer::NarrowGraphicBandwidth(int channel) {
    const EditBatch batch(*this);
    SetLinked(PF::EqGraphicQ, channel, 0, nearestCode(Scale::GraphicQ, 7.0));
}

void EditBuffer::WideGraphicBandwidth(int channel) {
    const EditBatch batch(*this);
    SetLinked(PF::EqGraphicQ, channel, 0, nearestCode(Scale::GraphicQ, 4.0));
}

void EditBuffer::DelayDefaultSettings(int channel) {
    const EditBatch batch(*this);
    // The distance stays; the time follows the new temperature.
    SetTemperatureKeepingDistance(channel, kDefaultTemperatureTenths);
}

void EditBuffer::ToggleFlag(ParamField field, int channel, int index) {
    const EditBatch batch(*this);
    Set(field, channel, index, Get(field, channel, index) != 0 ? 0 : 1);
}

}  // namespace arvestra
