#include <gtest/gtest.h>

#include "model/FilterSettingsFromImage.h"
#include "model/ParamField.h"
#include "model/Scales.h"

namespace arvestra {
namespace {

TEST(FilterSettingsFromImage, InitialImageIsFlatWithOpenFilters) {
    const PresetImage image = InitialPresetImage();
    for (int channel : {0, 1}) {
        const ChannelFilterSettings s = ChannelFilterSettingsFromImage(image.bytes, channel);
        EXPECT_EQ(s.lowPass, (PassFilterSettings{20000.0, 1}));
        EXPECT_EQ(s.highPass, (PassFilterSettings{20.0, 1}));
        EXPECT_FALSE(s.graphic.bypass);
        EXPECT_EQ(s.graphic.q, 4.0);
        for (double gain : s.graphic.gainDb) EXPECT_EQ(gain, 0.0);
        EXPECT_FALSE(s.parametric.bypass);
        for (int i = 0; i < 10; ++i) {
            const ParametricBandSettings& band = s.parametric.bands[i];
            EXPECT_EQ(band.frequencyHz, valueOf(Scale::Frequency, 7 + 9 * i));
            EXPECT_EQ(band.gainDb, 0.0);
            EXPECT_EQ(band.bandwidth, 1.0);
            EXPECT_FALSE(band.bypass);
        }
    }
}

TEST(FilterSettingsFromImage, ReadsEachChannelsOwnFields) {
    PresetImage image = InitialPresetImage();
    auto bytes = std::span<std::uint8_t, kPresetImageSize>(image.bytes);
    WriteField(bytes, ParamField::LpCutoff, 1, 0, 56);
    WriteField(bytes, ParamField::LpSlope, 1, 0, 0);
    WriteField(bytes, ParamField::HpCutoff, 0, 0, 23);
    WriteField(bytes, ParamField::EqGraphicQ, 0, 0, 12);
    WriteField(bytes, ParamField::EqGraphicGain, 0, 30, 0);
    WriteField(bytes, ParamField::EqBypass, 1, 0, 1);
    WriteField(bytes, ParamField::EqParamFrequency, 1, 3, 100);
    WriteField(bytes, ParamField::EqParamBandwidth, 1, 3, 39);
    WriteField(bytes, ParamField::EqParamGain, 1, 3, 121);
    WriteField(bytes, ParamField::EqParamBypass, 1, 4, 1);
    WriteField(bytes, ParamField::EqParamFrequency, 0, 0, 0);
    WriteField(bytes, ParamField::EqParamBandwidth, 0, 0, 0);

    const auto both = FilterSettingsFromImage(image.bytes);
    const ChannelFilterSettings& a = both[0];
    const ChannelFilterSettings& b = both[1];
    EXPECT_EQ(b.lowPass, (PassFilterSettings{1000.0, 0}));
    EXPECT_EQ(a.lowPass, (PassFilterSettings{20000.0, 1}));
    EXPECT_EQ(a.highPass, (PassFilterSettings{100.0, 1}));
    EXPECT_EQ(a.graphic.q, 7.0);
    EXPECT_EQ(a.graphic.gainDb[30], -15.0);
    EXPECT_EQ(b.graphic.gainDb[30], 0.0);
    EXPECT_TRUE(b.graphic.bypass);
    EXPECT_TRUE(b.parametric.bypass);
    EXPECT_FALSE(a.parametric.bypass);
    // Bandwidths are those of the effective codes: 3.0 at 20 kHz is 0.5, 0.05 at 20 Hz is 0.2.
    EXPECT_EQ(b.parametric.bands[3].frequencyHz, 20000.0);
    EXPECT_EQ(b.parametric.bands[3].bandwidth, 0.5);
    EXPECT_EQ(b.parametric.bands[3].gainDb, 12.0);
    EXPECT_FALSE(b.parametric.bands[3].bypass);
    EXPECT_TRUE(b.parametric.bands[4].bypass);
    EXPECT_EQ(a.parametric.bands[0].frequencyHz, 20.0);
    EXPECT_EQ(a.parametric.bands[0].bandwidth, 0.2);
}

TEST(FilterSettingsFromImage, GarbageBytesGiveTheNearestValidSettings) {
    PresetImage image;
    image.bytes.fill(0xFF);
    for (int channel : {0, 1}) {
        const ChannelFilterSettings s = ChannelFilterSettingsFromImage(image.bytes, channel);
        EXPECT_EQ(s.lowPass, (PassFilterSettings{20000.0, 1}));
        EXPECT_EQ(s.highPass, (PassFilterSettings{20000.0, 1}));
        EXPECT_EQ(s.graphic.q, 10.0);
        EXPECT_TRUE(s.graphic.bypass);
        for (double gain : s.graphic.gainDb) EXPECT_EQ(gain, 15.0);
        for (const ParametricBandSettings& band : s.parametric.bands) {
            EXPECT_EQ(band.frequencyHz, 20000.0);
            EXPECT_EQ(band.gainDb, 12.0);
            EXPECT_EQ(band.bandwidth, 0.5);
            EXPECT_TRUE(band.bypass);
        }
    }
}

}  // namespace
}  // namespace arvestra
