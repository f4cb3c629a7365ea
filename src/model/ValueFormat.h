#pragma once

#include <string>

namespace arvestra {

// One formatting function per shown quantity, so every page and tool shows a value alike.

// Parametric band frequency: "%.0f Hz".
std::string FormatParametricFrequency(double hz);

// Effective parametric bandwidth: "%.2f".
std::string FormatBandwidth(double bw);

// Gains and levels (parametric and graphic band gain, input and output level, pink noise level,
// compressor output gain in tips): "%.1f dB".
std::string FormatDecibels(double db);

// Parametric band tip, band counted from 1: "Band %d: %.0f Hz, %.2f bw, %.1f dB".
std::string FormatBandTip(int bandNumber, double hz, double bw, double db);

// Low-pass and high-pass cut-off: "%.0f".
std::string FormatCutoff(double hz);

// Compressor/limiter crossover: "%.0f".
std::string FormatCrossover(double hz);

// Compressor/limiter release in ms: "%.0f".
std::string FormatRelease(double ms);

// Compressor/limiter attack in ms: "%.0f" from 1 ms up, "%0.2f" below.
std::string FormatAttack(double ms);

// Compressor/limiter ratio: "%.2f".
std::string FormatRatio(double ratio);

// Compressor/limiter threshold in dB: "%.1f".
std::string FormatThreshold(double db);

// Label of the compressor graph's gain axis: "%+2.0f".
std::string FormatGainAxisLabel(double db);

// Delay in seconds: "%.6f".
std::string FormatDelaySeconds(double seconds);

// Delay distance in feet: "%.1f".
std::string FormatFeet(double feet);

// Delay distance in metres: "%.1f".
std::string FormatMetres(double metres);

// Air temperature (deg F or deg C): "%.1f".
std::string FormatTemperature(double degrees);

}  // namespace arvestra
