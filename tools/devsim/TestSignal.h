#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/PresetImage.h"

namespace arvestra::devsim {

inline constexpr std::size_t kStatusBytes = 16;
using StatusBytes = std::array<std::uint8_t, kStatusBytes>;

// What the simulated signal looks like in one channel at one moment, in dB.
struct ChannelSignal {
    double inputDbfs = 0;     // after the input level, clipped at 0 dBFS
    double reduction1Db = 0;  // compressor/limiter band 1 (low band in split mode)
    double reduction2Db = 0;  // band 2 (high band, or the full range)
    double outputDbfs = 0;    // after the compressor/limiter, before the output level
};

// Level of the built-in test tone of a channel before the input level, in dBFS: a slow swell
// between -42 and -6 dBFS, channel B a quarter period behind channel A.
double TestToneDbfs(int channel, double seconds);

// Static gain reduction in dB of a compressor/limiter band with these threshold and ratio codes
// for a signal of `levelDb`.
double BandReductionDb(double levelDb, int thresholdCode, int ratioCode);

// The signal of one channel through the edit buffer's input level and compressor/limiter; a
// bypassed or unconnected compressor/limiter, or a bypassed channel, reduces nothing.
ChannelSignal SimulateChannel(std::span<const std::uint8_t, kPresetImageSize> editBuffer,
                              int channel, bool channelBypassed, double seconds);

// The 16 bytes of a status reply for the edit buffer, the device bypass bits and the running
// preset at time `seconds`: reduction values in half-dB steps (bytes 2, 4, 6, 8), overload
// indicators (byte 10), input levels in half-dB steps below full scale (11, 12), output levels
// offset by 36 (13, 14) and the preset (15).
StatusBytes SimulateStatus(std::span<const std::uint8_t, kPresetImageSize> editBuffer,
                           std::uint8_t bypassBits, int currentPreset, double seconds);

}  // namespace arvestra::devsim
