#include "devsim/TestSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/ParamField.h"
#include "model/Scales.h"

namespace arvestra::devsim {

namespace {

constexpr double kToneCentreDbfs = -24.0;
constexpr double kToneSwingDb = 18.0;
constexpr double kTonePeriodSeconds = 4.0;
// In split-band mode each band carries about half of the tone's power.
constexpr double kSplitBandShareDb = -3.0;
// A band reducing by this much counts as limiting and lights its indicator.
constexpr double kLimitingDb = 20.0;
// The input is overloaded when it reaches full scale.
constexpr double kOverloadDbfs = -0.5;
// The output level byte is the level below full scale in half dB, offset by this.
constexpr int kOutputLevelOffset = 36;

constexpr int kBandOne = 0;
constexpr int kBandTwo = 1;

std::uint8_t HalfDbSteps(double db, int offset = 0) {
    const long steps = std::lround(2.0 * db) + offset;
    return static_cast<std::uint8_t>(std::clamp<long>(steps, 0, 255));
}

int Field(std::span<const std::uint8_t, kPresetImageSize> image, ParamField field, int channel,
          int index = 0) {
    return ReadField(image, field, channel, index);
}

// The compressor/limiter's own gain for the band that shapes the output.
double MakeUpGainDb(std::span<const std::uint8_t, kPresetImageSize> image, int channel,
                    bool fullRange) {
    const int band = fullRange ? kBandTwo : kBandOne;
    return valueOf(Scale::CompressorGain, Field(image, ParamField::ClGain, channel, band));
}

}  // namespace

double TestToneDbfs(int channel, double seconds) {
    const double phase = channel == 0 ? 0.0 : std::numbers::pi / 2.0;
    return kToneCentreDbfs +
           kToneSwingDb * std::sin(2.0 * std::numbers::pi * seconds / kTonePeriodSeconds + phase);
}

double BandReductionDb(double levelDb, int thresholdCode, int ratioCode) {
    const double threshold = valueOf(Scale::Threshold, thresholdCode);
    const double ratio = valueOf(Scale::Ratio, ratioCode);
    if (levelDb <= threshold || ratio <= 1.0) {
        return 0.0;
    }
    return (levelDb - threshold) * (1.0 - 1.0 / ratio);
}

ChannelSignal SimulateChannel(std::span<const std::uint8_t, kPresetImageSize> editBuffer,
                              int channel, bool channelBypassed, double seconds) {
    ChannelSignal signal;
    const double inputGain =
        valueOf(Scale::Level, Field(editBuffer, ParamField::InputLevel, channel));
    signal.inputDbfs = std::min(0.0, TestToneDbfs(channel, seconds) + inputGain);
    signal.outputDbfs = signal.inputDbfs;

    const bool connected = Field(editBuffer, ParamField::ClSource, channel) != 0;
    const bool bypassed = Field(editBuffer, ParamField::ClBypass, channel) != 0;
    if (channelBypassed || !connected || bypassed) {
        return signal;
    }
    const bool fullRange = Field(editBuffer, ParamField::ClMode, channel) != 0;
    const auto reduce = [&](int band, double level) {
        return BandReductionDb(level, Field(editBuffer, ParamField::ClThreshold, channel, band),
                               Field(editBuffer, ParamField::ClRatio, channel, band));
    };
    if (fullRange) {
        signal.reduction2Db = reduce(kBandTwo, signal.inputDbfs);
        signal.outputDbfs -= signal.reduction2Db;
    } else {
        const double bandLevel = signal.inputDbfs + kSplitBandShareDb;
        signal.reduction1Db = reduce(kBandOne, bandLevel);
        signal.reduction2Db = reduce(kBandTwo, bandLevel);
        signal.outputDbfs -= (signal.reduction1Db + signal.reduction2Db) / 2.0;
    }
    signal.outputDbfs += MakeUpGainDb(editBuffer, channel, fullRange);
    return signal;
}

StatusBytes SimulateStatus(std::span<const std::uint8_t, kPresetImageSize> editBuffer,
                           std::uint8_t bypassBits, int currentPreset, double seconds) {
    StatusBytes status{};
    std::uint8_t indicators = 0;
    for (int channel = 0; channel < 2; ++channel) {
        const bool bypassed = (bypassBits & (1 << channel)) != 0;
        const ChannelSignal signal = SimulateChannel(editBuffer, channel, bypassed, seconds);
        const int reductionByte = channel == 0 ? 2 : 6;  // Comp/Lim A at 2 and 4, B at 6 and 8
        status[reductionByte] = HalfDbSteps(signal.reduction1Db);
        status[reductionByte + 2] = HalfDbSteps(signal.reduction2Db);
        status[11 + channel] = HalfDbSteps(-signal.inputDbfs);
        status[13 + channel] = HalfDbSteps(-signal.outputDbfs, kOutputLevelOffset);
        if (signal.inputDbfs >= kOverloadDbfs) {
            indicators |= static_cast<std::uint8_t>(1 << channel);  // EQ A bit 0, EQ B bit 1
        }
        const int limitShift = 2 + 2 * channel;  // Comp/Lim A bits 2-3, B bits 4-5
        if (signal.reduction1Db >= kLimitingDb) {
            indicators |= static_cast<std::uint8_t>(1 << limitShift);
        }
        if (signal.reduction2Db >= kLimitingDb) {
            indicators |= static_cast<std::uint8_t>(2 << limitShift);
        }
    }
    status[10] = indicators;
    status[15] = static_cast<std::uint8_t>(currentPreset);
    return status;
}

}  // namespace arvestra::devsim
