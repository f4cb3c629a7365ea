#pragma once

#include <cstdint>
#include <span>

#include "model/FilterResponse.h"
#include "model/PresetImage.h"

namespace arvestra {

// Reads the low-pass, high-pass and equaliser settings of one channel (0 = A, anything else B)
// from an image as physical values. Every code is first limited to its field's range, so a
// corrupt image gives the nearest valid settings; parametric bands get the bandwidth of their
// effective bandwidth code.
ChannelFilterSettings ChannelFilterSettingsFromImage(
    std::span<const std::uint8_t, kPresetImageSize> image, int channel);

// Reads both channels' filter settings from an image, channel A first.
FilterResponse::ChannelSettings FilterSettingsFromImage(
    std::span<const std::uint8_t, kPresetImageSize> image);

}  // namespace arvestra
