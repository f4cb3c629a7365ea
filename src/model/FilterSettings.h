#pragma once

#include <array>

namespace arvestra {

// The physical values of one channel's filters that the response curves are computed from.
// Codes are turned into these values by the value scales before they reach the response math.
struct PassFilterSettings {
    double cutoffHz = 1000.0;
    int slope = 1;  // 1 = 24 dB/octave, anything else = 12 dB/octave

    bool operator==(const PassFilterSettings&) const = default;
};

struct GraphicEqSettings {
    static constexpr int kBands = 31;

    bool bypass = false;                  // "EQ Bypass": every band behaves as 0 dB
    double q = 4.0;                       // graphic band width; only whether it is above 4 matters
    std::array<double, kBands> gainDb{};  // band gains, band 0 at 20 Hz

    bool operator==(const GraphicEqSettings&) const = default;
};

struct ParametricBandSettings {
    double frequencyHz = 1000.0;
    double gainDb = 0.0;
    double bandwidth = 1.0;  // of the effective bandwidth code, relative to the frequency
    bool bypass = false;     // the band's own "Bypass": the band behaves as 0 dB

    bool operator==(const ParametricBandSettings&) const = default;
};

struct ParametricEqSettings {
    static constexpr int kBands = 10;

    bool bypass = false;  // "EQ Bypass": every band behaves as 0 dB
    std::array<ParametricBandSettings, kBands> bands{};

    bool operator==(const ParametricEqSettings&) const = default;
};

struct ChannelFilterSettings {
    PassFilterSettings lowPass{20000.0, 1};
    PassFilterSettings highPass{20.0, 1};
    GraphicEqSettings graphic;
    ParametricEqSettings parametric;

    bool operator==(const ChannelFilterSettings&) const = default;
};

}  // namespace arvestra
