#include "remote/RemoteState.h"

#include <cmath>
#include <span>

#include <QJsonArray>

#include "document/RemoteControl.h"
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

QJsonArray DeviceList(const DeviceTable& table) {
    QJsonArray devices;
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (!table.IsDevicePresent(address)) continue;
        devices.append(
            QJsonObject{{"address", address}, {"name", Text(table.GetDeviceName(address))}});
    }
    return devices;
}

QJsonArray ArrayOf(const EditBuffer& edits, ParamField field, int channel) {
    QJsonArray codes;
    for (int i = 0; i < FieldInfo(field).indexCount; ++i)
        codes.append(edits.Get(field, channel, i));
    return codes;
}

QJsonObject Channel(const EditBuffer& edits, int channel) {
    QJsonObject values;
    for (const ParamField field :
         {ParamField::InputLevel, ParamField::OutputLevel, ParamField::EqType, ParamField::EqBypass,
          ParamField::EqMaster, ParamField::EqGraphicQ}) {
        values.insert(FieldInfo(field).name, edits.Get(field, channel));
    }
    for (const ParamField field :
         {ParamField::EqGraphicGain, ParamField::EqParamFrequency, ParamField::EqParamBandwidth,
          ParamField::EqParamGain, ParamField::EqParamBypass}) {
        values.insert(FieldInfo(field).name, ArrayOf(edits, field, channel));
    }
    return values;
}

QJsonArray PresetNames(const DeviceTable& table) {
    QJsonArray names;
    for (int image = kFirstPreset; image <= kLastPreset; ++image) {
        names.append(Text(table.GetPresetName(image)));
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

QJsonObject StateMessage(const IRemoteControl& doc) {
    QJsonObject state{
        {"t", "state"}, {"online", doc.IsOnline() != 0}, {"devices", DeviceList(doc.Devices())}};
    if (doc.Devices().CurrentSlot() == kNoDevice) {
        state.insert("address", 0);
        return state;
    }
    state.insert("address", doc.Devices().CurrentAddress());
    state.insert("preset", doc.Devices().CurrentPreset());
    state.insert("modified", doc.Devices().PresetModified() != 0);
    state.insert("name", Text(doc.Devices().GetPresetName(0)));
    state.insert("presets", PresetNames(doc.Devices()));
    state.insert("bypass", QJsonArray{doc.Devices().BypassA() != 0, doc.Devices().BypassB() != 0});
    state.insert("ch",
                 QJsonArray{Channel(doc.Edits(), kChannelA), Channel(doc.Edits(), kChannelB)});
    return state;
}

void AddResponse(const IRemoteControl& doc, QJsonObject& state) {
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

QJsonObject MetersMessage(const IRemoteControl& doc) {
    const MeterRecord polled = doc.Meters();
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
