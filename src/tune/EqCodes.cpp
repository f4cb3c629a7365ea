#include "tune/EqCodes.h"

#include <cmath>

#include "model/FilterDesign.h"
#include "model/ParamField.h"
#include "model/Scales.h"

namespace arvestra {

ParametricCodes ReadParametricCodes(std::span<const std::uint8_t, kPresetImageSize> image,
                                    int channel) {
    ParametricCodes bands{};
    for (int i = 0; i < kParametricBandCount; ++i) {
        ParametricBandCodes& band = bands[static_cast<std::size_t>(i)];
        band.frequency = ReadField(image, ParamField::EqParamFrequency, channel, i);
        band.bandwidth = ReadField(image, ParamField::EqParamBandwidth, channel, i);
        band.gain = ReadField(image, ParamField::EqParamGain, channel, i);
        band.bypass = ReadField(image, ParamField::EqParamBypass, channel, i) != 0;
    }
    return bands;
}

FilterSection ParametricBandSection(const ParametricBandCodes& codes) {
    const double hz = valueOf(Scale::Frequency, codes.frequency);
    const double gainDb = codes.bypass ? 0.0 : valueOf(Scale::ParametricGain, codes.gain);
    const double bw =
        valueOf(Scale::Bandwidth, effectiveBandwidth(codes.frequency, codes.bandwidth));
    return FilterDesign::ParametricBand(hz, gainDb, bw);
}

FilterSection CookbookPeaking(double frequencyHz, double gainDb, double q) {
    const double w = frequencyHz * FilterDesign::kRadiansPerHertz;
    const double amplitude = std::pow(10.0, gainDb / 40.0);
    const double alpha = std::sin(w) / (2.0 * q);
    const double twoCos = -2.0 * std::cos(w);
    FilterSection section;
    section.order = 2;
    section.b = {1.0 + alpha * amplitude, twoCos, 1.0 - alpha * amplitude, 0.0, 0.0};
    section.a = {1.0 + alpha / amplitude, twoCos, 1.0 - alpha / amplitude, 0.0, 0.0};
    return section;
}

}  // namespace arvestra
