#include "model/FilterSettingsFromImage.h"

#include "model/ParamField.h"
#include "model/Scales.h"

namespace arvestra {

namespace {

using ImageBytes = std::span<const std::uint8_t, kPresetImageSize>;

// A field read from the image and limited to its range.
int Code(ImageBytes image, ParamField field, int channel, int index = 0) {
    return ClampToField(field, ReadField(image, field, channel, index));
}

double Value(ImageBytes image, ParamField field, int channel, int index = 0) {
    return valueOf(FieldInfo(field).scale, Code(image, field, channel, index));
}

PassFilterSettings PassFilter(ImageBytes image, ParamField cutoff, ParamField slope, int channel) {
    return {Value(image, cutoff, channel), Code(image, slope, channel)};
}

GraphicEqSettings Graphic(ImageBytes image, int channel) {
    GraphicEqSettings graphic;
    graphic.bypass = Code(image, ParamField::EqBypass, channel) != 0;
    graphic.q = Value(image, ParamField::EqGraphicQ, channel);
    for (int band = 0; band < GraphicEqSettings::kBands; ++band) {
        graphic.gainDb[static_cast<std::size_t>(band)] =
            Value(image, ParamField::EqGraphicGain, channel, band);
    }
    return graphic;
}

ParametricEqSettings Parametric(ImageBytes image, int channel) {
    ParametricEqSettings parametric;
    parametric.bypass = Code(image, ParamField::EqBypass, channel) != 0;
    for (int index = 0; index < ParametricEqSettings::kBands; ++index) {
        ParametricBandSettings& band = parametric.bands[static_cast<std::size_t>(index)];
        const int frequencyCode = Code(image, ParamField::EqParamFrequency, channel, index);
        const int bandwidthCode = Code(image, ParamField::EqParamBandwidth, channel, index);
        band.frequencyHz = valueOf(Scale::Frequency, frequencyCode);
        band.gainDb = Value(image, ParamField::EqParamGain, channel, index);
        band.bandwidth =
            valueOf(Scale::Bandwidth, effectiveBandwidth(frequencyCode, bandwidthCode));
        band.bypass = Code(image, ParamField::EqParamBypass, channel, index) != 0;
    }
    return parametric;
}

}  // namespace

ChannelFilterSettings ChannelFilterSettingsFromImage(ImageBytes image, int channel) {
    ChannelFilterSettings settings;
    settings.lowPass = PassFilter(image, ParamField::LpCutoff, ParamField::LpSlope, channel);
    settings.highPass = PassFilter(image, ParamField::HpCutoff, ParamField::HpSlope, channel);
    settings.graphic = Graphic(image, channel);
    settings.parametric = Parametric(image, channel);
    return settings;
}

FilterResponse::ChannelSettings FilterSettingsFromImage(ImageBytes image) {
    return {ChannelFilterSettingsFromImage(image, kChannelA),
            ChannelFilterSettingsFromImage(image, kChannelB)};
}

}  // namespace arvestra
