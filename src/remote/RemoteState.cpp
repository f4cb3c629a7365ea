#include "remote/RemoteState.h"

#include <cmath>
#include <span>

#include <QJsonArray>

#include "document/CQ7310Doc.h"
#include "model/FilterResponse.h"
#include "model/FilterSettingsFromImage.h"
#include "model/Latin1.h"
#include "model/Scales.h"
#include "model/SignalPath.h"

namespace arvestra::remote {

namespace {

QJsonArray ScaleValues(Scale scale) {
    QJsonArray values;
    for (const double value : ScaleTable(scale)) values.append(value);
    return values;
}

QString Text(const std::string& latin1) {
    return QString::fromStdString(Latin1ToUtf8(latin1)).trimmed();
}

QJsonArray FieldCodes(ParamField field) {
    const FieldDescriptor& info = FieldInfo(field);
    return QJsonArray{info.lo, info.hi};
}

QJsonArray Devices(const CQ7310Doc& doc) {
    QJsonArray devices;
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (!doc.Devices().IsDevicePresent(address)) continue;
        devices.append(QJsonObject{{"address", address},
                                   {"name", Text(doc.Devices().GetDeviceName(address))}});
    }
    return devices;
}

QJsonArray ArrayOf(const CQ7310Doc& doc, ParamField field, int channel) {
    QJsonArray codes;
    for (int i = 0; i < FieldInfo(field).indexCount; ++i)
        codes.append(doc.Edits().Get(field, channel, i));
    return codes;
}

QJsonObject Channel(const CQ7310Doc& doc, int channel) {
    QJsonObject values;
    for (const ParamField field :
         {ParamField::InputLevel, ParamField::OutputLevel, ParamField::EqType, ParamField::EqBypass,
          ParamField::EqMaster, ParamField::EqGraphicQ}) {
        values.insert(FieldInfo(field).name, doc.Edits().Get(field, channel));
    }
    for (const ParamField field :
         {ParamField::EqGraphicGain, ParamField::EqParamFrequency, ParamField::EqParamBandwidth,
          ParamField::EqParamGain, ParamField::EqParamBypass}) {
        values.insert(FieldInfo(field).name, ArrayOf(doc, field, channel));
    }
    return values;
}

QJsonArray PresetNames(const CQ7310Doc& doc) {
    QJsonArray names;
    for (int image = kFirstPreset; image <= kLastPreset; ++image) {
        names.append(Text(doc.Devices().GetPresetName(image)));
    }
    return names;
}

}  // namespace

QJsonObject HelloMessage() {
    QJsonObject scales{{"frequency", ScaleValues(Scale::Frequency)},
                       {"graphic_gain", ScaleValues(Scale::GraphicGain)},
                       {"parametric_gain", ScaleValues(Scale::ParametricGain)},
                       {"bandwidth", ScaleValues(Scale::Bandwidth)},
                       {"graphic_q", ScaleValues(Scale::GraphicQ)}};
    QJsonArray graphicCentres;
    for (int band = 0; band < FilterResponse::kGraphicBands; ++band) {
        graphicCentres.append(FilterResponse::GraphicBandCentreHz(band));
    }
    QJsonArray frequencies;
    const FilterResponse response(kResponseExtraPoints);
    for (const float hz : response.Grid().Frequencies()) frequencies.append(hz);
    QJsonObject codes;
    for (const ParamField field :
         {ParamField::InputLevel, ParamField::OutputLevel, ParamField::EqGraphicGain,
          ParamField::EqParamFrequency, ParamField::EqParamBandwidth, ParamField::EqParamGain}) {
        codes.insert(FieldInfo(field).name, FieldCodes(field));
    }
    return QJsonObject{{"t", "hello"},
                       {"scales", scales},
                       {"graphic_centres", graphicCentres},
                       {"frequencies", frequencies},
                       {"codes", codes}};
}

QJsonObject StateMessage(const CQ7310Doc& doc) {
    QJsonObject state{{"t", "state"}, {"online", doc.IsOnline() != 0}, {"devices", Devices(doc)}};
    if (doc.Devices().CurrentSlot() == kNoDevice) {
        state.insert("address", 0);
        return state;
    }
    state.insert("address", doc.Devices().CurrentAddress());
    state.insert("preset", doc.Devices().CurrentPreset());
    state.insert("modified", doc.Devices().PresetModified() != 0);
    state.insert("name", Text(doc.Devices().GetPresetName(0)));
    state.insert("presets", PresetNames(doc));
    state.insert("bypass", QJsonArray{doc.Devices().BypassA() != 0, doc.Devices().BypassB() != 0});
    state.insert("ch", QJsonArray{Channel(doc, kChannelA), Channel(doc, kChannelB)});
    return state;
}

void AddResponse(CQ7310Doc& doc, QJsonObject& state) {
    if (doc.Devices().CurrentSlot() == kNoDevice) return;
    const std::span<const std::uint8_t, kPresetImageSize> image(doc.Edits().Data(),
                                                                kPresetImageSize);
    const FilterResponse::ChannelSettings settings = FilterSettingsFromImage(image);
    QJsonArray outputs;
    QJsonArray equaliserInPath;
    for (int output = 0; output < 2; ++output) {
        const CurveSet path = WalkSignalPath(image, output).curves;
        bool equaliser = false;
        for (int channel = 0; channel < 2; ++channel) {
            equaliser = equaliser || path.Contains(channel, CurveKind::Graphic) ||
                        path.Contains(channel, CurveKind::Parametric);
        }
        equaliserInPath.append(equaliser);
        FilterResponse response(kResponseExtraPoints);
        response.Update(path, settings);
        QJsonArray levels;
        // Hundredths of a dB are finer than any screen shows, and keep the message short.
        for (const double db : response.LevelsDb()) levels.append(std::round(db * 100.0) / 100.0);
        outputs.append(levels);
    }
    state.insert("resp", outputs);
    state.insert("eq_in_path", equaliserInPath);
}

QJsonObject MetersMessage(const CQ7310Doc& doc) {
    const MeterRecord polled = doc.Bus().Meters();
    const QJsonArray input{polled.levelA, polled.levelB};
    const QJsonArray output{polled.level2A, polled.level2B};
    const QJsonArray reduction{polled.reduction1[0], polled.reduction2[0], polled.reduction1[1],
                               polled.reduction2[1]};
    const QJsonArray lamps{doc.AnyIndicatorLit(kChannelA) != 0,
                           doc.AnyIndicatorLit(kChannelB) != 0};
    return QJsonObject{{"t", "meters"},    {"online", doc.IsOnline() != 0},
                       {"in", input},      {"out", output},
                       {"red", reduction}, {"lamps", lamps}};
}

QJsonObject ErrorMessage(const std::string& text) {
    return QJsonObject{{"t", "error"}, {"text", QString::fromStdString(text)}};
}

}  // namespace arvestra::remote
