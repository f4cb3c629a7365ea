#include "model/Scales.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/DelayMath.h"
#include "model/PresetImage.h"

namespace arvestra {
namespace {

// Each entry is an integer number of hundredths or thousandths divided once by a power of ten:
// a single correctly rounded division gives the double nearest to the decimal value (0.3, not
// 0.1 x 3).
template <std::size_t N, typename Rule>
constexpr std::array<double, N> MakeTable(Rule rule) {
    std::array<double, N> table{};
    for (std::size_t c = 0; c < N; ++c) table[c] = rule(static_cast<int>(c));
    return table;
}

constexpr auto kGraphicGain = MakeTable<61>([](int c) { return (-150 + 5 * c) / 10.0; });

constexpr auto kParametricGain = MakeTable<122>([](int c) {
    if (c <= 8) return (5 * (c - 97) - 10) / 10.0;  // -49.5 .. -45.5
    if (c == 35) return -30.5;
    return (5 * (c - 97)) / 10.0;
});

constexpr auto kBandwidth = MakeTable<40>([](int c) {
    if (c <= 10) return (50 + 5 * c) / 1000.0;
    return (c - 9) / 10.0;
});

constexpr auto kGraphicQ = MakeTable<19>([](int c) { return (10 + 5 * c) / 10.0; });

constexpr auto kAttack = MakeTable<101>([](int c) {
    if (c == 0) return 5 / 100.0;
    if (c <= 9) return c / 10.0;
    if (c <= 59) return static_cast<double>(c - 9);
    if (c <= 79) return 10.0 * (c - 54);
    return 350.0 + 100.0 * (c - 80);
});

constexpr auto kRelease = MakeTable<96>([](int c) {
    if (c <= 49) return static_cast<double>(c + 1);
    if (c <= 59) return 10.0 * (c - 44);
    if (c <= 68) return 10.0 * (c - 43);
    if (c <= 76) return 350.0 + 100.0 * (c - 69);
    return 1300.0 + 250.0 * (c - 77);
});

constexpr auto kThreshold = MakeTable<201>([](int c) { return (-1000 + 5 * c) / 10.0; });

constexpr auto kRatio = MakeTable<40>([](int c) {
    if (c <= 25) return (10 + 2 * c) / 10.0;
    return static_cast<double>(c - 19);
});

constexpr auto kCompressorGain = MakeTable<81>([](int c) { return (-200 + 5 * c) / 10.0; });
constexpr auto kPinkNoiseLevel = MakeTable<81>([](int c) { return (-400 + 5 * c) / 10.0; });

// Level codes 152..232; entry c - 152.
constexpr int kLowestLevelCode = 152;
constexpr auto kLevel = MakeTable<81>([](int i) { return (5 * i - 200) / 10.0; });

// Third-octave anchors and their codes; between two anchors the codes step by equal ratios.
struct Anchor {
    double hz;
    int code;
};
constexpr Anchor kAnchors[] = {
    {20, 0},     {25, 3},     {31.5, 6},   {40, 10},   {50, 13},   {63, 16},   {80, 20},
    {100, 23},   {125, 26},   {160, 30},   {200, 33},  {250, 36},  {315, 39},  {400, 43},
    {500, 46},   {630, 49},   {800, 53},   {1000, 56}, {1250, 59}, {1600, 63}, {2000, 66},
    {2500, 69},  {3150, 73},  {4000, 76},  {5000, 79}, {6300, 83}, {8000, 86}, {10000, 89},
    {12500, 92}, {16000, 96}, {20000, 100}};

std::array<double, 101> BuildFrequencyTable() {
    std::array<double, 101> table{};
    for (std::size_t k = 0; k + 1 < std::size(kAnchors); ++k) {
        const Anchor a = kAnchors[k];
        const Anchor b = kAnchors[k + 1];
        const int steps = b.code - a.code;
        for (int j = 0; j < steps; ++j) {
            table[a.code + j] =
                a.hz * std::pow(b.hz / a.hz, static_cast<double>(j) / static_cast<double>(steps));
        }
    }
    table[100] = kAnchors[std::size(kAnchors) - 1].hz;
    return table;
}

const std::array<double, 101>& FrequencyTable() {
    static const std::array<double, 101> table = BuildFrequencyTable();
    return table;
}

// Offsets of the effective-bandwidth walk, one per bandwidth code.
constexpr int kBandwidthOffsets[40] = {-13, -12, -11, -9, -8, -7, -6, -6, -5, -4, -3, 7,  13, 17,
                                       20,  23,  25,  27, 28, 30, 31, 33, 34, 35, 36, 37, 38, 38,
                                       39,  40,  41,  41, 42, 43, 43, 44, 44, 45, 45, 46};
constexpr int kEffectiveBandwidthLimit = 122;

// Bounds a table code the way the device's byte fields do: low 8 bits, then the table's ends.
int BoundTableCode(int code, CodeRange range) {
    return std::clamp(code & 0xFF, range.lowest, range.highest);
}

// Nearest-code search over a non-decreasing table whose first entry stands for code `first`.
int SearchNearest(std::span<const double> table, int first, double value) {
    const std::size_t last = table.size() - 1;
    if (!(value > table[0])) return first;  // NaN lands here too
    if (value >= table[last]) return first + static_cast<int>(last);
    // First entry above value; the one before it is the last entry not above value.
    const auto above = std::upper_bound(table.begin(), table.end(), value);
    const std::size_t i = static_cast<std::size_t>(above - table.begin()) - 1;
    const double lo = table[i];
    const double hi = table[i + 1];
    const std::size_t nearest = (hi - value > value - lo) ? i : i + 1;
    return first + static_cast<int>(nearest);
}

// Rounds value to the nearest whole number within lo..hi, limiting in floating point first.
int RoundWithin(double value, int lo, int hi) {
    if (!(value >= lo)) return lo;  // NaN and values below lo
    if (value >= hi) return hi;
    return static_cast<int>(std::floor(value + 0.5));
}

}  // namespace

CodeRange ScaleCodes(Scale scale) {
    switch (scale) {
        case Scale::Delay:
            return {0, kMaxDelaySamples};
        case Scale::Temperature:
            return {0, kMaxTemperatureTenths};
        case Scale::None:
            return {0, 255};
        case Scale::Level:
            return {kLowestLevelCode, kLowestLevelCode + static_cast<int>(kLevel.size()) - 1};
        default: {
            const std::span<const double> table = ScaleTable(scale);
            return {0, static_cast<int>(table.size()) - 1};
        }
    }
}

std::span<const double> ScaleTable(Scale scale) {
    switch (scale) {
        case Scale::Frequency:
            return FrequencyTable();
        case Scale::GraphicGain:
            return kGraphicGain;
        case Scale::ParametricGain:
            return kParametricGain;
        case Scale::Bandwidth:
            return kBandwidth;
        case Scale::GraphicQ:
            return kGraphicQ;
        case Scale::Attack:
            return kAttack;
        case Scale::Release:
            return kRelease;
        case Scale::Threshold:
            return kThreshold;
        case Scale::Ratio:
            return kRatio;
        case Scale::CompressorGain:
            return kCompressorGain;
        case Scale::PinkNoiseLevel:
            return kPinkNoiseLevel;
        case Scale::Level:
            return kLevel;
        case Scale::None:
        case Scale::Delay:
        case Scale::Temperature:
            break;
    }
    return {};
}

double valueOf(Scale scale, int code) {
    switch (scale) {
        case Scale::Delay:
            return DelaySeconds(std::clamp(code, 0, kMaxDelayCount));
        case Scale::Temperature:
            return std::clamp(code, 0, 0xFFFF) / 10.0;
        case Scale::None:
            return std::clamp(code, 0, 255);
        default: {
            const std::span<const double> table = ScaleTable(scale);
            if (table.empty()) return 0.0;  // not a scale at all
            const CodeRange range = ScaleCodes(scale);
            return table[BoundTableCode(code, range) - range.lowest];
        }
    }
}

int nearestCode(Scale scale, double value) {
    switch (scale) {
        case Scale::Delay:
            return SamplesFromSeconds(value);
        case Scale::Temperature:
            return TemperatureTenthsFromTyped(value, false);
        case Scale::None:
            return RoundWithin(value, 0, 255);
        default: {
            const std::span<const double> table = ScaleTable(scale);
            if (table.empty()) return 0;  // not a scale at all
            return SearchNearest(table, ScaleCodes(scale).lowest, value);
        }
    }
}

int effectiveBandwidth(int frequencyCode, int bandwidthCode) {
    constexpr int kLastBandwidth = static_cast<int>(std::size(kBandwidthOffsets)) - 1;
    const int f = BoundTableCode(frequencyCode, ScaleCodes(Scale::Frequency));
    int w = BoundTableCode(bandwidthCode, CodeRange{0, kLastBandwidth});
    while (w < kLastBandwidth && f + kBandwidthOffsets[w] < 0) ++w;
    while (w > 0 && f + kBandwidthOffsets[w] >= kEffectiveBandwidthLimit) --w;
    return w;
}

}  // namespace arvestra
