#pragma once

#include "model/FilterSection.h"

namespace arvestra {

// The filter designs of the equaliser graphs, at the device's 48 kHz sampling rate. The device
// firmware uses pi = 3.1415926535, so these constants do too (not the full double pi).
namespace FilterDesign {

// Angular frequency per hertz: 2 * 3.1415926535 / 48000.
inline constexpr double kRadiansPerHertz = 0.00013089969389583334;
// 3.1415926535 / 8, the angle of the fourth-order Butterworth pole pair.
inline constexpr double kPiOver8 = 0.3926990816875;

// Second-order Butterworth low-pass (12 dB/octave) with its cut-off at frequencyHz.
FilterSection LowPass12(double frequencyHz);
// Second-order Butterworth high-pass (12 dB/octave) with its cut-off at frequencyHz.
FilterSection HighPass12(double frequencyHz);
// Fourth-order Butterworth low-pass (24 dB/octave) with its cut-off at frequencyHz.
FilterSection LowPass24(double frequencyHz);
// Fourth-order Butterworth high-pass (24 dB/octave) with its cut-off at frequencyHz.
FilterSection HighPass24(double frequencyHz);
// Peaking section of a parametric band: gainDb at frequencyHz over a relative bandwidth.
FilterSection ParametricBand(double frequencyHz, double gainDb, double bandwidth);
// Band-pass section of a graphic band scaled by (A - 1); widthDivisor narrows it as it grows.
FilterSection GraphicBand(double frequencyHz, double gainDb, double widthDivisor);

}  // namespace FilterDesign
}  // namespace arvestra
