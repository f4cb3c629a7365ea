#include "model/PresetImage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "model/PresetImageView.h"

namespace arvestra {
namespace {

// The image a new device record holds, written out from the parameter map byte by byte.
std::array<std::uint8_t, kPresetImageSize> ExpectedInitialImage() {
    std::array<std::uint8_t, kPresetImageSize> b{};
    for (int base : {0, 65}) {  // equaliser A, then B
        b[base + 3] = 6;        // graphic Q
        for (int i = 0; i < 31; ++i) b[base + 4 + i] = 30;
        for (int i = 0; i < 10; ++i) {
            b[base + 35 + i] = static_cast<std::uint8_t>(7 + 9 * i);
            b[base + 45 + i] = 19;
            b[base + 55 + i] = 97;
        }
    }
    const std::uint8_t filters[12] = {0, 100, 1, 0, 0, 1, 0, 100, 1, 0, 0, 1};  // 130..141
    std::memcpy(&b[130], filters, sizeof filters);
    b[142] = 192;
    b[143] = 192;
    const std::uint8_t clA[19] = {0, 1,  0,  0,  184, 10,  59, 48, 200, 0,
                                  1, 40, 10, 59, 48,  200, 0,  1,  40};
    const std::uint8_t clB[19] = {0, 2,  0,  1,  184, 10,  59, 48, 200, 0,
                                  1, 40, 10, 59, 48,  200, 0,  1,  40};
    std::memcpy(&b[152], clA, sizeof clA);
    std::memcpy(&b[171], clB, sizeof clB);
    const std::uint8_t outputsAndConfig[6] = {1, 192, 2, 192, 0, 1};  // 190..195
    std::memcpy(&b[190], outputsAndConfig, sizeof outputsAndConfig);
    const std::uint8_t palette[12] = {0x10, 0xB0, 0xD0, 0x50, 0x30, 0x00,
                                      0x20, 0xC0, 0xE0, 0x80, 0x40, 0x00};
    std::memcpy(&b[196], palette, sizeof palette);
    b[214] = 2;
    b[215] = 2;
    b[216] = 168;
    b[217] = 168;
    return b;
}

TEST(InitialImage, MatchesTheParameterMapByteByByte) {
    const auto expected = ExpectedInitialImage();
    const PresetImage image = InitialPresetImage();
    for (std::size_t i = 0; i < kPresetImageSize; ++i) {
        EXPECT_EQ(image.bytes[i], expected[i]) << "byte " << i;
    }
}

TEST(InitialImage, SlotCarriesImageAndZeroTail) {
    std::array<std::uint8_t, kImageSlotSize> slot;
    slot.fill(0xAA);
    FillInitialSlot(slot);
    const auto expected = ExpectedInitialImage();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), slot.begin()));
    for (std::size_t i = kPresetImageSize; i < kImageSlotSize; ++i) EXPECT_EQ(slot[i], 0) << i;
}

TEST(InitialImage, DeviceAreaNamesEachSlotAfterItsNumber) {
    std::vector<std::uint8_t> area(kImageAreaSize, 0x55);
    FillInitialImageArea(ImageArea(area.data(), kImageAreaSize));
    const auto expected = ExpectedInitialImage();
    PresetImageView view;
    ASSERT_TRUE(view.rebind(area.data(), 0));
    for (int s = 0; s < static_cast<int>(kImagesPerDevice); ++s) {
        const std::uint8_t* slot = area.data() + s * kImageSlotSize;
        EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + kNameOffset, slot)) << s;
        EXPECT_EQ(view.getName(s), "Preset " + std::to_string(s));
        for (std::size_t i = kNameOffset + 8; i < kImageSlotSize; ++i) EXPECT_EQ(slot[i], 0);
    }
}

struct DelaySplitCase {
    int samples;
    DelayBytes bytes;
};

class DelaySplit : public ::testing::TestWithParam<DelaySplitCase> {};

TEST_P(DelaySplit, LimitsAndSplitsMostSignificantFirst) {
    const DelaySplitCase& c = GetParam();
    const DelayBytes b = SplitDelaySamples(c.samples);
    EXPECT_EQ(b.high, c.bytes.high);
    EXPECT_EQ(b.middle, c.bytes.middle);
    EXPECT_EQ(b.low, c.bytes.low);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, DelaySplit,
    ::testing::Values(DelaySplitCase{0, {0, 0, 0}}, DelaySplitCase{-5, {0, 0, 0}},
                      DelaySplitCase{48000, {0, 0xBB, 0x80}},
                      DelaySplitCase{65535, {0, 0xFF, 0xFF}}, DelaySplitCase{65536, {1, 0, 0}},
                      DelaySplitCase{65537, {1, 0, 0}}, DelaySplitCase{0x7FFFFFFF, {1, 0, 0}}));

TEST(DelayJoin, KeepsCountsAboveTheEditLimit) {
    EXPECT_EQ(JoinDelayBytes({3, 0, 0}), 3 << 16);
    EXPECT_EQ(JoinDelayBytes({0xFF, 0xFF, 0xFF}), 0xFFFFFF);
    EXPECT_EQ(JoinDelayBytes({0, 0xBB, 0x80}), 48000);
}

TEST(TemperatureSplit, LimitsTo150DegreesAndSplitsHighLow) {
    const TemperatureBytes initial = SplitTemperatureTenths(680);
    EXPECT_EQ(initial.high, 2);
    EXPECT_EQ(initial.low, 168);
    const TemperatureBytes top = SplitTemperatureTenths(99999);
    EXPECT_EQ(JoinTemperatureBytes(top), 1500);
    const TemperatureBytes bottom = SplitTemperatureTenths(-1);
    EXPECT_EQ(JoinTemperatureBytes(bottom), 0);
    EXPECT_EQ(JoinTemperatureBytes({0xFF, 0xFF}), 65535);
}

}  // namespace
}  // namespace arvestra
