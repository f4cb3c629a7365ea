// Measurements made as the inverse of an in-range EQ setting plus noise, for the fit tests and
// the fit benchmarks.
#pragma once

#include <random>
#include <vector>

#include "model/FilterResponse.h"
#include "model/Scales.h"
#include "tune/EqCodes.h"
#include "tune/FitProblem.h"

namespace arvestra::fit_cases {

inline constexpr double kLowHz = 40.0;
inline constexpr double kHighHz = 16000.0;
inline constexpr double kNoiseDb = 0.5;

// The editor's own response (the graph's math) of an EQ setting, over the whole grid.
inline std::vector<double> GraphicLevels(const GraphicGainCodes& gains, int qCode) {
    ChannelFilterSettings channel;
    channel.graphic.q = valueOf(Scale::GraphicQ, qCode);
    for (int i = 0; i < kGraphicBandCount; ++i) {
        channel.graphic.gainDb[static_cast<std::size_t>(i)] =
            valueOf(Scale::GraphicGain, gains[static_cast<std::size_t>(i)]);
    }
    FilterResponse response;
    CurveSet path;
    path.Add(0, CurveKind::Graphic);
    response.Update(path, {channel, channel});
    return {response.LevelsDb().begin(), response.LevelsDb().end()};
}

inline std::vector<double> ParametricLevels(const ParametricCodes& bands) {
    ChannelFilterSettings channel;
    for (int i = 0; i < kParametricBandCount; ++i) {
        const ParametricBandCodes& b = bands[static_cast<std::size_t>(i)];
        channel.parametric.bands[static_cast<std::size_t>(i)] = {
            valueOf(Scale::Frequency, b.frequency), valueOf(Scale::ParametricGain, b.gain),
            valueOf(Scale::Bandwidth, effectiveBandwidth(b.frequency, b.bandwidth)), b.bypass};
    }
    FilterResponse response;
    CurveSet path;
    path.Add(0, CurveKind::Parametric);
    response.Update(path, {channel, channel});
    return {response.LevelsDb().begin(), response.LevelsDb().end()};
}

inline std::vector<double> GridHz() {
    const FilterResponse response;
    return {response.Grid().Frequencies().begin(), response.Grid().Frequencies().end()};
}

// True when levels stay within the limits over the fit's range.
inline bool WithinLimitsOverRange(const std::vector<double>& levels, const FitLimits& limits) {
    const std::vector<double> hz = GridHz();
    for (std::size_t i = 0; i < hz.size(); ++i) {
        if (hz[i] < kLowHz || hz[i] > kHighHz) continue;
        if (levels[i] > limits.maxBoostDb + 1e-6 || levels[i] < -limits.maxCutDb - 1e-6) {
            return false;
        }
    }
    return true;
}

// The measurement of a system that the given EQ levels would make flat, with uniform noise.
inline Measurement InverseWithNoise(const std::vector<double>& eqLevels, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-kNoiseDb, kNoiseDb);
    std::vector<double> db;
    for (double level : eqLevels) db.push_back(75.0 - level + noise(random));
    return Measurement(GridHz(), db);
}

// A random graphic setting within the default limits, whose response keeps them too.
inline GraphicGainCodes RandomGraphic(unsigned seed, int qCode) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> code(14, 40);  // -8 dB to +5 dB
    for (;;) {
        GraphicGainCodes gains{};
        for (int& g : gains) g = code(random);
        if (WithinLimitsOverRange(GraphicLevels(gains, qCode), FitLimits{})) return gains;
    }
}

// A random parametric setting within the default limits, whose response keeps them too.
inline ParametricCodes RandomParametric(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> frequency(10, 96);  // 40 Hz to 16 kHz
    std::uniform_int_distribution<int> bandwidth(0, 39);
    std::uniform_int_distribution<int> gain(67, 109);  // -15 dB to +6 dB
    for (;;) {
        ParametricCodes bands{};
        for (ParametricBandCodes& b : bands) {
            b.frequency = frequency(random);
            b.bandwidth = effectiveBandwidth(b.frequency, bandwidth(random));
            b.gain = gain(random);
        }
        if (WithinLimitsOverRange(ParametricLevels(bands), FitLimits{})) return bands;
    }
}

inline FitRequest RequestFor(const Measurement& measurement) {
    FitRequest request;
    request.measurement = measurement;
    request.lowHz = kLowHz;
    request.highHz = kHighHz;
    return request;
}

}  // namespace arvestra::fit_cases
