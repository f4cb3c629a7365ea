#include "devsim/TestSignal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "model/ParamField.h"
#include "model/PresetImage.h"

namespace arvestra::devsim {
namespace {

constexpr int kThreshold0dB = 200;
constexpr int kThresholdMinus50dB = 100;
constexpr int kRatio1 = 0;    // 1.00:1
constexpr int kRatio2 = 5;    // 2.00:1
constexpr int kRatio20 = 39;  // 20:1

// The initial image with the compressor/limiter of `channel` fed and set as given.
PresetImage CompressorImage(int channel, bool fullRange, int threshold, int ratio) {
    PresetImage image = InitialPresetImage();
    WriteField(image.bytes, ParamField::ClSource, channel, 0, channel == 0 ? 1 : 2);
    WriteField(image.bytes, ParamField::ClMode, channel, 0, fullRange ? 1 : 0);
    for (int band = 0; band < 2; ++band) {
        WriteField(image.bytes, ParamField::ClThreshold, channel, band, threshold);
        WriteField(image.bytes, ParamField::ClRatio, channel, band, ratio);
    }
    return image;
}

TEST(TestSignal, ToneSwellsBetweenItsLimits) {
    double lowest = 0;
    double highest = -100;
    for (int step = 0; step < 400; ++step) {
        const double level = TestToneDbfs(0, step * 0.01);
        lowest = std::min(lowest, level);
        highest = std::max(highest, level);
    }
    EXPECT_NEAR(lowest, -42.0, 0.01);
    EXPECT_NEAR(highest, -6.0, 0.01);
    EXPECT_NEAR(TestToneDbfs(1, 0.0), -6.0, 1e-9);  // channel B a quarter period ahead at 0
    EXPECT_NEAR(TestToneDbfs(0, 0.0), -24.0, 1e-9);
}

TEST(TestSignal, BandReductionFollowsThresholdAndRatio) {
    struct Case {
        double level;
        int threshold;
        int ratio;
        double reduction;
    };
    const std::vector<Case> cases{
        {-10.0, kThreshold0dB, kRatio20, 0.0},         // below the threshold
        {-10.0, kThresholdMinus50dB, kRatio1, 0.0},    // 1:1 never reduces
        {-10.0, kThresholdMinus50dB, kRatio2, 20.0},   // 40 dB over at 2:1
        {-10.0, kThresholdMinus50dB, kRatio20, 38.0},  // 40 dB over at 20:1
        {-50.0, kThresholdMinus50dB, kRatio20, 0.0},   // exactly at the threshold
        {-10.0, 160, kRatio2, 5.0},                    // threshold -20 dB
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(BandReductionDb(c.level, c.threshold, c.ratio), c.reduction, 1e-9)
            << c.level << " " << c.threshold << " " << c.ratio;
    }
}

TEST(TestSignal, InitialImageReducesNothingAndReportsLevels) {
    const PresetImage image = InitialPresetImage();
    for (const double t : {0.0, 0.7, 1.9, 3.3}) {
        const StatusBytes status = SimulateStatus(image.bytes, 0, 3, t);
        for (const int byte : {2, 4, 6, 8}) {
            EXPECT_EQ(status[byte], 0) << "byte " << byte << " at " << t;
        }
        // Input levels are half-dB steps below full scale of the tone at 0 dB input gain.
        EXPECT_EQ(status[11], std::lround(-2.0 * TestToneDbfs(0, t))) << t;
        EXPECT_EQ(status[12], std::lround(-2.0 * TestToneDbfs(1, t))) << t;
        EXPECT_EQ(status[13], status[11] + 36) << t;
        EXPECT_EQ(status[15], 3);
        EXPECT_EQ(status[10], 0);
    }
}

TEST(TestSignal, MetersMoveWithTime) {
    const PresetImage image = InitialPresetImage();
    const StatusBytes early = SimulateStatus(image.bytes, 0, 1, 0.0);
    const StatusBytes later = SimulateStatus(image.bytes, 0, 1, 1.0);
    EXPECT_NE(early[11], later[11]);
    EXPECT_NE(early[12], later[12]);
}

TEST(TestSignal, InputLevelShiftsTheMeter) {
    PresetImage image = InitialPresetImage();
    WriteField(image.bytes, ParamField::InputLevel, 0, 0, 172);  // -10 dB
    const StatusBytes quiet = SimulateStatus(image.bytes, 0, 1, 0.0);
    EXPECT_EQ(quiet[11], 2 * 34);  // -24 dBFS tone, -10 dB input level
    WriteField(image.bytes, ParamField::InputLevel, 0, 0, 232);       // +20 dB
    const StatusBytes loud = SimulateStatus(image.bytes, 0, 1, 1.0);  // tone at -6 dBFS
    EXPECT_EQ(loud[11], 0);                                           // clipped at full scale
    EXPECT_EQ(loud[10] & 0x01, 0x01);
}

struct CompressorCase {
    std::string what;
    int channel;
    bool fullRange;
    int threshold;
    int ratio;
    std::uint8_t deviceBypass;
    bool blockBypass;
    bool connected;
    int band1;  // expected status bytes (first, second) of the channel's block
    int band2;
};

TEST(TestSignal, GainReductionFollowsTheCompressorSettings) {
    // At t = 1 s channel A's tone is at -6 dBFS; at t = 0 channel B's is.
    const std::vector<CompressorCase> cases{
        {"A full range 2:1 from -50", 0, true, kThresholdMinus50dB, kRatio2, 0, false, true, 0, 44},
        {"A split 2:1 from -50", 0, false, kThresholdMinus50dB, kRatio2, 0, false, true, 41, 41},
        {"A full range at 0 dB", 0, true, kThreshold0dB, kRatio20, 0, false, true, 0, 0},
        {"A block bypassed", 0, true, kThresholdMinus50dB, kRatio2, 0, true, true, 0, 0},
        {"A channel bypassed", 0, true, kThresholdMinus50dB, kRatio2, 1, false, true, 0, 0},
        {"A other channel bypassed", 0, true, kThresholdMinus50dB, kRatio2, 2, false, true, 0, 44},
        {"A not connected", 0, true, kThresholdMinus50dB, kRatio2, 0, false, false, 0, 0},
        {"B full range 20:1", 1, true, kThresholdMinus50dB, kRatio20, 0, false, true, 0, 84},
    };
    for (const auto& c : cases) {
        PresetImage image = CompressorImage(c.channel, c.fullRange, c.threshold, c.ratio);
        WriteField(image.bytes, ParamField::ClBypass, c.channel, 0, c.blockBypass ? 1 : 0);
        if (!c.connected) WriteField(image.bytes, ParamField::ClSource, c.channel, 0, 0);
        const double t = c.channel == 0 ? 1.0 : 0.0;
        const StatusBytes status = SimulateStatus(image.bytes, c.deviceBypass, 1, t);
        const int first = c.channel == 0 ? 2 : 6;
        EXPECT_EQ(status[first], c.band1) << c.what;
        EXPECT_EQ(status[first + 2], c.band2) << c.what;
        const int other = c.channel == 0 ? 6 : 2;
        EXPECT_EQ(status[other], 0) << c.what;
        EXPECT_EQ(status[other + 2], 0) << c.what;
    }
}

TEST(TestSignal, LimitingLightsTheBlockIndicators) {
    const PresetImage a = CompressorImage(0, false, kThresholdMinus50dB, kRatio20);
    EXPECT_EQ(SimulateStatus(a.bytes, 0, 1, 1.0)[10] & 0x0C, 0x0C);
    const PresetImage b = CompressorImage(1, true, kThresholdMinus50dB, kRatio20);
    EXPECT_EQ(SimulateStatus(b.bytes, 0, 1, 0.0)[10] & 0x30, 0x20);     // full range: band 2 only
    const PresetImage gentle = CompressorImage(0, true, 160, kRatio2);  // 7 dB at most
    EXPECT_EQ(SimulateStatus(gentle.bytes, 0, 1, 1.0)[10] & 0x3C, 0);
}

TEST(TestSignal, ReductionLowersTheOutputLevel) {
    const PresetImage plain = InitialPresetImage();
    const PresetImage squashed = CompressorImage(0, true, kThresholdMinus50dB, kRatio2);
    const StatusBytes before = SimulateStatus(plain.bytes, 0, 1, 1.0);
    const StatusBytes after = SimulateStatus(squashed.bytes, 0, 1, 1.0);
    EXPECT_EQ(after[11], before[11]);             // the input meter does not change
    EXPECT_EQ(after[13], before[13] + after[4]);  // the output drops by the reduction
}

}  // namespace
}  // namespace arvestra::devsim
