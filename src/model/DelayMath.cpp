#include "model/DelayMath.h"

#include <algorithm>
#include <cmath>

#include "model/PresetImage.h"

namespace arvestra {
namespace {

constexpr double kAbsoluteZeroOffset = 459.4;  // deg F added before the square root
constexpr double kSoundFactor = 49.0;
constexpr double kMaxFahrenheit = 150.0;

}  // namespace

double DelaySeconds(int samples) {
    return samples / static_cast<double>(kDelaySampleRate);
}

double SpeedOfSoundFeetPerSecond(double fahrenheit) {
    return kSoundFactor * std::sqrt(std::max(fahrenheit + kAbsoluteZeroOffset, 0.0));
}

double TemperatureFahrenheit(int tenths) {
    return tenths / 10.0;
}

double DelayFeet(int samples, int temperatureTenths) {
    return DelaySeconds(samples) *
           SpeedOfSoundFeetPerSecond(TemperatureFahrenheit(temperatureTenths));
}

double DelayMetres(int samples, int temperatureTenths) {
    return DelayFeet(samples, temperatureTenths) * kMetresPerFoot;
}

int SamplesFromSeconds(double seconds) {
    // Limit in floating point first: NaN, infinities and huge values never reach the conversion.
    const double scaled = seconds * kDelaySampleRate + 0.5;
    if (!(scaled > 0.0)) return 0;
    if (scaled >= kMaxDelaySamples) return kMaxDelaySamples;
    return static_cast<int>(scaled);
}

int SamplesFromFeet(double feet, int temperatureTenths) {
    const double speed = SpeedOfSoundFeetPerSecond(TemperatureFahrenheit(temperatureTenths));
    return SamplesFromSeconds(feet / speed);
}

int SamplesFromMetres(double metres, int temperatureTenths) {
    return SamplesFromFeet(metres / kMetresPerFoot, temperatureTenths);
}

double CelsiusFromFahrenheit(double fahrenheit) {
    return (fahrenheit - 32.0) * 5.0 / 9.0;
}

double FahrenheitFromCelsius(double celsius) {
    return celsius * 9.0 / 5.0 + 32.0;
}

double ShownTemperature(int tenths, bool celsius) {
    const double fahrenheit = TemperatureFahrenheit(tenths);
    return celsius ? CelsiusFromFahrenheit(fahrenheit) : fahrenheit;
}

int TemperatureTenthsFromTyped(double typed, bool celsius) {
    double fahrenheit = celsius ? FahrenheitFromCelsius(typed) : typed;
    if (!(fahrenheit >= 0.0)) fahrenheit = 0.0;  // negative or not a number
    if (fahrenheit > kMaxFahrenheit) fahrenheit = kMaxFahrenheit;
    return static_cast<int>(fahrenheit * 10.0 + 0.5);
}

int SamplesForNewTemperature(int samples, int oldTenths, int newTenths) {
    return SamplesFromFeet(DelayFeet(samples, oldTenths), newTenths);
}

}  // namespace arvestra
