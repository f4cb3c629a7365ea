#include "osc/OscEditPath.h"

#include "document/CQ7310Doc.h"
#include "document/ChainRouting.h"
#include "model/Latin1.h"

namespace arvestra::osc {

namespace {

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

int Finish(CQ7310Doc& doc, const ParamRef& ref) {
    doc.SetModifiedFlag(true);
    return ChangesRouting(ref) ? ApplyRouting(doc) : 1;
}

}  // namespace

int ParamCodeInImage(ImageBytes image, const ParamRef& ref) {
    const int channel = ref.channel == kNoChannel ? kChannelA : ref.channel;
    const auto byte = [&](ParamField field) {
        return static_cast<std::uint8_t>(ReadField(image, field, channel));
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

std::string NameInImage(ImageBytes image) {
    std::string latin1(image.begin() + kNameOffset, image.begin() + kNameOffset + kNameLength);
    const std::size_t end = latin1.find_last_not_of(std::string(" \0", 2));
    latin1.resize(end == std::string::npos ? 0 : end + 1);
    return Latin1ToUtf8(latin1);
}

ImageBytes EditBufferOf(const CQ7310Doc& doc, int address) {
    const CLocationImage& location = doc.Devices().Location();
    return ImageBytes(location.Image(location.SlotOf(address), 0), kPresetImageSize);
}

int ApplyParamCode(CQ7310Doc& doc, const ParamRef& ref, long long code) {
    switch (ref.kind) {
        case ParamKind::DelayTime:
            doc.SetDelaySamples(ref.channel, code);
            return Finish(doc, ref);
        case ParamKind::Temperature:
            doc.SetTemperatureKeepingDistance(ref.channel, code);
            return Finish(doc, ref);
        case ParamKind::PresetName:
            return 0;
        case ParamKind::Field:
            break;
    }
    const FieldDescriptor& info = FieldInfo(ref.field);
    if (info.role == FieldRole::Master) {
        doc.SetMasterWithCopy(info.block, ref.channel,
                              static_cast<int>(ClampToField(ref.field, code)));
    } else {
        doc.Set(ref.field, ref.channel == kNoChannel ? kChannelA : ref.channel, ref.index, code);
    }
    return Finish(doc, ref);
}

int ApplyDelayDistance(CQ7310Doc& doc, const ParamRef& ref, const DelayDistance& distance) {
    if (distance.unit == DistanceUnit::Metres) {
        doc.SetDelayMetres(ref.channel, distance.value);
    } else {
        doc.SetDelayFeet(ref.channel, distance.value);
    }
    return Finish(doc, ref);
}

int ApplyPresetName(CQ7310Doc& doc, const std::string& utf8) {
    if (!doc.SetPresetName(Utf8ToLatin1(utf8))) return 0;
    doc.SetModifiedFlag(true);
    return 1;
}

}  // namespace arvestra::osc
