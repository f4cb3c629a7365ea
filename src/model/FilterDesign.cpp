#include "model/FilterDesign.h"

#include <cmath>

namespace arvestra::FilterDesign {

namespace {

constexpr double kSqrt2 = 1.4142135623730951;

double AngularFrequency(double frequencyHz) {
    return frequencyHz * kRadiansPerHertz;
}

// Both 12 dB/octave designs share this denominator: the cookbook Butterworth pole pair with
// every coefficient doubled.
FilterSection SecondOrderButterworthDenominator(double w) {
    const double c = std::cos(w);
    const double s = std::sin(w);
    FilterSection section;
    section.order = 2;
    section.a = {2.0 + s * kSqrt2, -4.0 * c, 2.0 - s * kSqrt2, 0.0, 0.0};
    return section;
}

// Both 24 dB/octave designs share this denominator: two cascaded cookbook pole pairs with the
// Butterworth Q values 1/(2 cos(pi/8)) and 1/(2 sin(pi/8)), every coefficient multiplied by 8.
FilterSection FourthOrderButterworthDenominator(double w) {
    const double s = std::sin(w);
    const double h = 2.0 * (std::cos(kPiOver8) + std::sin(kPiOver8)) * s;
    const double v = 2.0 * kSqrt2 * s * s;
    const double bigB = 8.0 * std::cos(w);
    FilterSection section;
    section.order = 4;
    section.a = {8.0 + 4.0 * h + v, -(h + 4.0) * bigB, 32.0 + 16.0 * std::cos(2.0 * w) - 2.0 * v,
                 (h - 4.0) * bigB, 8.0 - 4.0 * h + v};
    return section;
}

double GainFactor(double gainDb) {
    return std::pow(10.0, gainDb * 0.05);
}

}  // namespace

FilterSection LowPass12(double frequencyHz) {
    const double w = AngularFrequency(frequencyHz);
    FilterSection section = SecondOrderButterworthDenominator(w);
    const double oneMinusC = 1.0 - std::cos(w);
    section.b = {oneMinusC, 2.0 * oneMinusC, oneMinusC, 0.0, 0.0};
    return section;
}

FilterSection HighPass12(double frequencyHz) {
    const double w = AngularFrequency(frequencyHz);
    FilterSection section = SecondOrderButterworthDenominator(w);
    const double onePlusC = 1.0 + std::cos(w);
    section.b = {onePlusC, -2.0 * onePlusC, onePlusC, 0.0, 0.0};
    return section;
}

FilterSection LowPass24(double frequencyHz) {
    const double w = AngularFrequency(frequencyHz);
    FilterSection section = FourthOrderButterworthDenominator(w);
    const double f = 8.0 * std::pow(std::sin(w / 2.0), 4);
    section.b = {f, 4.0 * f, 6.0 * f, 4.0 * f, f};
    return section;
}

FilterSection HighPass24(double frequencyHz) {
    const double w = AngularFrequency(frequencyHz);
    FilterSection section = FourthOrderButterworthDenominator(w);
    const double f = 8.0 * std::pow(std::cos(w / 2.0), 4);
    section.b = {f, -4.0 * f, 6.0 * f, -4.0 * f, f};
    return section;
}

FilterSection ParametricBand(double frequencyHz, double gainDb, double bandwidth) {
    const double w = AngularFrequency(frequencyHz);
    const double gain = GainFactor(gainDb);
    // The firmware divides by the reciprocal of the bandwidth; keep its rounding.
    const double e = std::tan(w * 0.5 / (1.0 / bandwidth));
    const double twoCos = -2.0 * std::cos(w);
    FilterSection section;
    section.order = 2;
    section.b = {1.0 + e * gain, twoCos, 1.0 - e * gain, 0.0, 0.0};
    section.a = {1.0 + e, twoCos, 1.0 - e, 0.0, 0.0};
    return section;
}

FilterSection GraphicBand(double frequencyHz, double gainDb, double widthDivisor) {
    const double w = AngularFrequency(frequencyHz);
    const double gainMinusOne = GainFactor(gainDb) - 1.0;
    const double m = std::tan(w * 0.5 / widthDivisor);
    FilterSection section;
    section.order = 2;
    section.b = {m * gainMinusOne, 0.0, -m * gainMinusOne, 0.0, 0.0};
    section.a = {1.0 + m, -2.0 * std::cos(w), 1.0 - m, 0.0, 0.0};
    return section;
}

}  // namespace arvestra::FilterDesign
