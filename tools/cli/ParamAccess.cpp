#include "cli/ParamAccess.h"

#include <algorithm>

#include "model/Latin1.h"
#include "model/PresetImageView.h"

namespace arvestra::cli {

int ReadParamCode(CLocationImage& location, int slot, int image, const ParamRef& ref) {
    PresetImageView view;
    if (!view.rebind(location.Image(slot, 0), image)) return 0;
    switch (ref.kind) {
        case ParamKind::DelayTime:
            return view.delaySamples(ref.channel);
        case ParamKind::Temperature:
            return view.temperatureTenths(ref.channel);
        case ParamKind::PresetName:
            return 0;
        case ParamKind::Field:
            break;
    }
    return view.Get(ref.field, ref.channel == kNoChannel ? kChannelA : ref.channel, ref.index);
}

std::string ReadImageName(const CLocationImage& location, int slot, int image) {
    return Latin1ToUtf8(location.PresetName(slot, image));
}

void WriteParamCode(CQ7310Doc& doc, const ParamRef& ref, long long code) {
    switch (ref.kind) {
        case ParamKind::DelayTime:
            doc.SetDelaySamples(ref.channel, code);
            return;
        case ParamKind::Temperature:
            doc.SetTemperatureKeepingDistance(ref.channel, code);
            return;
        case ParamKind::PresetName:
            return;
        case ParamKind::Field:
            break;
    }
    const FieldDescriptor& info = FieldInfo(ref.field);
    if (info.role == FieldRole::Master) {
        doc.SetMasterWithCopy(info.block, ref.channel,
                              static_cast<int>(ClampToField(ref.field, code)));
        return;
    }
    const ParamCodes codes = CodesOfParam(ref);
    doc.Set(ref.field, ref.channel == kNoChannel ? kChannelA : ref.channel, ref.index,
            std::clamp<long long>(code, codes.lowest, codes.highest));
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

void WriteDelayDistance(CQ7310Doc& doc, int channel, const DelayDistance& distance) {
    if (distance.unit == DistanceUnit::Metres) {
        doc.SetDelayMetres(channel, distance.value);
    } else {
        doc.SetDelayFeet(channel, distance.value);
    }
}

int WritePresetName(CQ7310Doc& doc, const std::string& utf8) {
    return doc.SetPresetName(Utf8ToLatin1(utf8));
}

}  // namespace arvestra::cli
