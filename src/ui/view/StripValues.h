// The numbers of the strip below the pages: level codes and their read-outs, and the meter
// positions that the status values give.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace arvestra {

// The raw level codes the four sliders work in.
inline constexpr int kLevelCodeMin = 152;
inline constexpr int kLevelCodeMax = 232;

// Meter ranges: input 0..90 (-45..0 dBFS), output 0..114 (-33..24 dBu), gain reduction 0..41.
inline constexpr int kInputMeterMax = 90;
inline constexpr int kOutputMeterMax = 114;
inline constexpr int kReductionMeterMax = 41;

// The level in dB of a code: (code - 152) * 0.5 - 20.
double LevelDecibels(int code);
// The read-out of a level code, "%.1f dB": 152 gives "-20.0 dB", 192 "0.0 dB".
std::string LevelText(int code);

// A gain-reduction meter shows 41 - reduction, so the bright part grows from the right end as
// the reduction rises; sums above 41 show the whole bar bright.
int ReductionMeterPosition(int reduction);

// What the status poll leaves in the document.
struct MeterReadings {
    std::uint8_t levelA = 0;
    std::uint8_t levelB = 0;
    std::uint8_t level2A = 0;
    std::uint8_t level2B = 0;
    std::array<std::uint8_t, 2> reduction1{};  // first value per channel (rows L)
    std::array<std::uint8_t, 2> reduction2{};  // second value per channel (rows H)
};

// Positions of the eight meters, in id order 1127..1134.
std::array<int, 8> MeterPositions(const MeterReadings& readings);

}  // namespace arvestra
