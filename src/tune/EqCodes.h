#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/FilterSection.h"
#include "model/PresetImage.h"

namespace arvestra {

// The codes of one parametric band as the device stores them.
struct ParametricBandCodes {
    static constexpr int kFlatGain = 97;  // 0 dB

    int frequency = 56;    // frequency scale, 0..100 (56 = 1 kHz)
    int bandwidth = 19;    // stored bandwidth code, 0..39 (the effective one depends on frequency)
    int gain = kFlatGain;  // parametric gain scale, 0..121
    bool bypass = false;

    bool operator==(const ParametricBandCodes&) const = default;
};

inline constexpr int kParametricBandCount = 10;
inline constexpr int kGraphicBandCount = 31;
inline constexpr int kGraphicFlatGain = 30;  // graphic gain code of 0 dB

using ParametricCodes = std::array<ParametricBandCodes, kParametricBandCount>;
using GraphicGainCodes = std::array<int, kGraphicBandCount>;

// The codes of a channel's 10 parametric bands in a preset image.
ParametricCodes ReadParametricCodes(std::span<const std::uint8_t, kPresetImageSize> image,
                                    int channel);

// The device's section for a band's codes (a bypassed band is flat), with the effective
// bandwidth at its frequency as the editor's graph uses it.
FilterSection ParametricBandSection(const ParametricBandCodes& codes);

// The peaking filter of the audio EQ cookbook (what measurement programs mean by "PK") at the
// device's 48 kHz sampling rate.
FilterSection CookbookPeaking(double frequencyHz, double gainDb, double q);

}  // namespace arvestra
