#include "document/EditPath.h"

#include <algorithm>

#include "document/CQ7310Doc.h"
#include "document/ChainRouting.h"
#include "model/Latin1.h"

namespace arvestra {

namespace {

int ChannelOf(const ParamRef& ref) {
    return ref.channel == kNoChannel ? kChannelA : ref.channel;
}

// The 32 name bytes of the bound image, through the name operations.
void WriteNameBytes(EditBuffer& buffer, const std::string& latin1) {
    for (int i = 0; i < static_cast<int>(kNameLength); ++i) {
        const auto at = static_cast<std::size_t>(i);
        // A 0 byte ends the name, as it does in a device's image.
        const bool inside = at < latin1.size() && latin1.find('\0') > at;
        buffer.Set(ParamField::NameChar, kChannelA, i,
                   inside ? static_cast<unsigned char>(latin1[at]) : 0);
    }
}

void WriteDelayDistance(EditBuffer& buffer, int channel, const DelayDistance& distance) {
    if (distance.unit == DistanceUnit::Metres) {
        buffer.SetDelayMetres(channel, distance.value);
    } else {
        buffer.SetDelayFeet(channel, distance.value);
    }
}

bool AnyChangesRouting(std::span<const ParamEdit> edits) {
    return std::any_of(edits.begin(), edits.end(),
                       [](const ParamEdit& edit) { return ChangesRouting(edit.ref); });
}

}  // namespace

void ApplyParamEdit(EditBuffer& buffer, const ParamEdit& edit) {
    const ParamRef& ref = edit.ref;
    switch (ref.kind) {
        case ParamKind::PresetName:
            WriteNameBytes(buffer, Utf8ToLatin1(edit.text));
            return;
        case ParamKind::DelayTime:
            if (edit.distance) {
                WriteDelayDistance(buffer, ref.channel, *edit.distance);
            } else {
                buffer.SetDelaySamples(ref.channel, edit.code);
            }
            return;
        case ParamKind::Temperature:
            buffer.SetTemperatureKeepingDistance(ref.channel, edit.code);
            return;
        case ParamKind::Field:
            break;
    }
    const FieldDescriptor& info = FieldInfo(ref.field);
    if (info.role == FieldRole::Master) {
        buffer.SetMasterWithCopy(info.block, ref.channel, ClampToField(ref.field, edit.code));
        return;
    }
    // A named parameter may allow less than its byte holds (a delay's high byte).
    const ParamCodes codes = CodesOfParam(ref);
    buffer.Set(ref.field, ChannelOf(ref), ref.index,
               std::clamp<long long>(edit.code, codes.lowest, codes.highest));
}

bool ChangesRouting(const ParamRef& ref) {
    if (ref.kind != ParamKind::Field) return false;
    switch (ref.field) {
        case ParamField::ChainSlot:
        case ParamField::PalettePosition:
        case ParamField::PinkNoiseOn:
        case ParamField::JoinPosition:
        case ParamField::JoinOn:
        case ParamField::JoinTarget:
            return true;
        default:
            return false;
    }
}

bool ApplyDocumentEdit(CQ7310Doc& doc, const ParamEdit& edit) {
    if (edit.ref.kind == ParamKind::PresetName) {
        return doc.SetPresetName(Utf8ToLatin1(edit.text)) != 0;
    }
    ApplyParamEdit(doc.Edits(), edit);
    return true;
}

int FinishRoutingEdits(CQ7310Doc& doc, std::span<const ParamEdit> edits) {
    return AnyChangesRouting(edits) ? ApplyRouting(doc) : 1;
}

bool ApplyDocumentEdits(CQ7310Doc& doc, std::span<const ParamEdit> edits, EditReason reason) {
    const EditScope scope(doc.Edits(), reason);
    for (const ParamEdit& edit : edits) {
        if (!ApplyDocumentEdit(doc, edit)) return false;
    }
    return FinishRoutingEdits(doc, edits) != 0;
}

bool ApplyImageEdits(CLocationImage& location, int address, int image,
                     std::span<const ParamEdit> edits, EditReason reason) {
    const int slot =
        CLocationImage::IsDeviceAddress(address) ? location.SlotOf(address) : kNoDevice;
    if (slot == kNoDevice || image < 0 || image >= kImageCount) return false;
    // No device plays this image and no worker reads it: nothing is ever marked for sending.
    bool changed = false;
    EditBuffer buffer([] { return false; }, [&changed](bool) { changed = true; });
    buffer.Bind(location.Image(slot, 0), image, address);
    {
        const EditScope scope(buffer, reason);
        for (const ParamEdit& edit : edits) ApplyParamEdit(buffer, edit);
    }
    // An edit buffer that was written no longer matches its stored preset.
    if (changed && image == 0) location.SetRecordInt(slot, kRecPresetModified, 1);
    return true;
}

int ReadParamCode(std::span<const uint8_t, kPresetImageSize> image, const ParamRef& ref) {
    const int channel = ChannelOf(ref);
    const auto byte = [&](ParamField field) {
        return static_cast<uint8_t>(ReadField(image, field, channel));
    };
    switch (ref.kind) {
        case ParamKind::DelayTime:
            return JoinDelayBytes(DelayBytes{byte(ParamField::DelayHigh),
                                             byte(ParamField::DelayMiddle),
                                             byte(ParamField::DelayLow)});
        case ParamKind::Temperature:
            return JoinTemperatureBytes(TemperatureBytes{byte(ParamField::TemperatureHigh),
                                                         byte(ParamField::TemperatureLow)});
        case ParamKind::PresetName:
            return 0;
        case ParamKind::Field:
            break;
    }
    return ReadField(image, ref.field, channel, ref.index);
}

int ReadParamCode(const PresetImageView& view, const ParamRef& ref) {
    if (!view.isBound()) return 0;
    return ReadParamCode(std::span<const uint8_t, kPresetImageSize>(view.data(), kPresetImageSize),
                         ref);
}

int ReadParamCode(const CLocationImage& location, int slot, int image, const ParamRef& ref) {
    PresetImageView view;
    // The view only reads here; the location's record storage is writable.
    if (slot == kNoDevice || !view.rebind(const_cast<uint8_t*>(location.Image(slot, 0)), image)) {
        return 0;
    }
    return ReadParamCode(view, ref);
}

}  // namespace arvestra
