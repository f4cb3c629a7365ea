#pragma once

namespace arvestra {

inline constexpr int kDelaySampleRate = 48000;
inline constexpr double kMetresPerFoot = 0.3048;

// Returns the delay time in seconds for a sample count.
double DelaySeconds(int samples);

// Returns the speed of sound in feet per second at a temperature in deg F (49 x sqrt(F + 459.4));
// temperatures below absolute zero count as absolute zero.
double SpeedOfSoundFeetPerSecond(double fahrenheit);

// Returns the stored temperature (tenths of deg F) in deg F.
double TemperatureFahrenheit(int tenths);

// Returns the distance in feet that sound travels during the delay at the stored temperature.
double DelayFeet(int samples, int temperatureTenths);

// Returns the same distance in metres.
double DelayMetres(int samples, int temperatureTenths);

// Converts typed seconds to samples: integer part of (seconds x 48000 + 0.5), limited to
// 0..65536; NaN gives 0.
int SamplesFromSeconds(double seconds);

// Converts a typed distance in feet to samples at the stored temperature (then as seconds).
int SamplesFromFeet(double feet, int temperatureTenths);

// Converts a typed distance in metres to samples at the stored temperature.
int SamplesFromMetres(double metres, int temperatureTenths);

// Returns (F - 32) x 5 / 9.
double CelsiusFromFahrenheit(double fahrenheit);

// Returns C x 9 / 5 + 32.
double FahrenheitFromCelsius(double celsius);

// Returns the temperature as the delay page shows it: deg F, or deg C in Celsius mode.
double ShownTemperature(int tenths, bool celsius);

// Converts a typed temperature (deg C in Celsius mode) to stored tenths of deg F: limited to
// 0..150 deg F (NaN gives 0), then the integer part of (F x 10 + 0.5).
int TemperatureTenthsFromTyped(double typed, bool celsius);

// Returns the sample count that keeps the delay's distance in feet when the temperature changes.
int SamplesForNewTemperature(int samples, int oldTenths, int newTenths);

}  // namespace arvestra
