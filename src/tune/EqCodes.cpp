#include "tune/EqCodes.h"

#include <cmath>

#include "model/FilterDesign.h"
#include "model/Scales.h"

namespace arvestra {

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
