#include "model/ParamField.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <set>
#include <string>

#include "model/PresetImageView.h"

namespace arvestra {
namespace {

using F = ParamField;

// A zeroed nine-slot image area with a view bound to slot 0.
class ImageFixture {
  public:
    ImageFixture() { view.rebind(area.data(), 0); }
    std::uint8_t* image() { return area.data(); }
    std::array<std::uint8_t, kImageAreaSize> area{};
    PresetImageView view;
};

// Where a field of the map lives for each channel.
struct PlacementCase {
    ParamField field;
    int index;
    int offsetA;
    int offsetB;
};

std::ostream& operator<<(std::ostream& os, const PlacementCase& c) {
    return os << FieldInfo(c.field).name << "[" << c.index << "]";
}

class Placement : public ::testing::TestWithParam<PlacementCase> {};

// Writing the top of the range into a zeroed image must change exactly the mapped byte.
void ExpectOnlyByteChanges(const PlacementCase& c, int channel, int expectedOffset) {
    ImageFixture fx;
    const FieldDescriptor& info = FieldInfo(c.field);
    fx.view.Set(c.field, channel, c.index, info.hi);
    for (int offset = 0; offset < static_cast<int>(kImageAreaSize); ++offset) {
        if (offset == expectedOffset) {
            EXPECT_NE(fx.area[offset], 0) << "channel " << channel;
        } else {
            EXPECT_EQ(fx.area[offset], 0) << "channel " << channel << " offset " << offset;
        }
    }
    EXPECT_EQ(fx.view.Get(c.field, channel, c.index), info.hi);
    EXPECT_EQ(FieldOffset(c.field, channel, c.index), expectedOffset);
}

TEST_P(Placement, EachChannelWritesItsMappedByte) {
    const PlacementCase& c = GetParam();
    ExpectOnlyByteChanges(c, kChannelA, c.offsetA);
    ExpectOnlyByteChanges(c, kChannelB, c.offsetB);
}

INSTANTIATE_TEST_SUITE_P(
    Map, Placement,
    ::testing::Values(
        PlacementCase{F::EqType, 0, 0, 65}, PlacementCase{F::EqSource, 0, 1, 66},
        PlacementCase{F::EqMaster, 0, 1, 66}, PlacementCase{F::EqBypass, 0, 1, 66},
        PlacementCase{F::EqReserved, 0, 2, 67}, PlacementCase{F::EqGraphicQ, 0, 3, 68},
        PlacementCase{F::EqGraphicGain, 0, 4, 69}, PlacementCase{F::EqGraphicGain, 30, 34, 99},
        PlacementCase{F::EqParamFrequency, 0, 35, 100},
        PlacementCase{F::EqParamFrequency, 9, 44, 109},
        PlacementCase{F::EqParamBandwidth, 0, 45, 110},
        PlacementCase{F::EqParamBandwidth, 9, 54, 119}, PlacementCase{F::EqParamGain, 0, 55, 120},
        PlacementCase{F::EqParamBypass, 9, 64, 129}, PlacementCase{F::LpSource, 0, 130, 136},
        PlacementCase{F::LpBlockFlag, 0, 130, 136}, PlacementCase{F::LpCutoff, 0, 131, 137},
        PlacementCase{F::LpSlope, 0, 132, 138}, PlacementCase{F::HpMaster, 0, 133, 139},
        PlacementCase{F::HpCutoff, 0, 134, 140}, PlacementCase{F::HpSlope, 0, 135, 141},
        PlacementCase{F::InputLevel, 0, 142, 143}, PlacementCase{F::DelayBypass, 0, 144, 148},
        PlacementCase{F::DelayHigh, 0, 145, 149}, PlacementCase{F::DelayMiddle, 0, 146, 150},
        PlacementCase{F::DelayLow, 0, 147, 151}, PlacementCase{F::TemperatureHigh, 0, 214, 215},
        PlacementCase{F::TemperatureLow, 0, 216, 217}, PlacementCase{F::ClSource, 0, 152, 171},
        PlacementCase{F::ClLinkMode, 0, 153, 172}, PlacementCase{F::ClReserved, 0, 154, 173},
        PlacementCase{F::ClLinkFlag, 0, 155, 174}, PlacementCase{F::ClCrossover, 0, 156, 175},
        PlacementCase{F::ClMode, 0, 156, 175}, PlacementCase{F::ClAttack, 0, 157, 176},
        PlacementCase{F::ClRelease, 0, 158, 177}, PlacementCase{F::ClBandReserved, 0, 159, 178},
        PlacementCase{F::ClThreshold, 0, 160, 179}, PlacementCase{F::ClRatio, 0, 161, 180},
        PlacementCase{F::ClKnee, 0, 162, 181}, PlacementCase{F::ClGain, 0, 163, 182},
        PlacementCase{F::ClAttack, 1, 164, 183}, PlacementCase{F::ClThreshold, 1, 167, 186},
        PlacementCase{F::ClGain, 1, 170, 189}, PlacementCase{F::OutputSource, 0, 190, 192},
        PlacementCase{F::OutputLevel, 0, 191, 193}, PlacementCase{F::PinkNoiseLevel, 0, 194, 194},
        PlacementCase{F::Reserved195, 0, 195, 195}, PlacementCase{F::ChainSlot, 0, 196, 196},
        PlacementCase{F::ChainSlot, 15, 211, 211}, PlacementCase{F::PalettePosition, 11, 207, 207},
        PlacementCase{F::PinkNoiseOn, 0, 212, 212}, PlacementCase{F::PinkNoiseOn, 1, 213, 213},
        PlacementCase{F::JoinPosition, 1, 213, 213}, PlacementCase{F::JoinOn, 0, 212, 212},
        PlacementCase{F::JoinTarget, 0, 212, 212}, PlacementCase{F::NameChar, 31, 249, 249}));

// A field written into a byte that already holds other bits.
struct BitCase {
    ParamField field;
    int channel;
    int index;
    int offset;
    std::uint8_t before;
    long long value;
    int stored;  // the clamped value returned and read back
    std::uint8_t after;
};

std::ostream& operator<<(std::ostream& os, const BitCase& c) {
    return os << FieldInfo(c.field).name << " ch " << c.channel << "[" << c.index
              << "] = " << c.value;
}

class BitFields : public ::testing::TestWithParam<BitCase> {};

TEST_P(BitFields, ClampAndLeaveNeighbouringBitsAlone) {
    const BitCase& c = GetParam();
    ImageFixture fx;
    fx.area[c.offset] = c.before;
    EXPECT_EQ(fx.view.Set(c.field, c.channel, c.index, c.value), c.stored);
    EXPECT_EQ(fx.area[c.offset], c.after);
    EXPECT_EQ(fx.view.Get(c.field, c.channel, c.index), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Map, BitFields,
    ::testing::Values(
        // Source node 20 stores 17 and keeps master and bypass.
        BitCase{F::EqSource, 0, 0, 1, 0xC0, 20, 17, 0xD1},
        BitCase{F::EqSource, 0, 0, 1, 0xFF, -4, 0, 0xC0},
        BitCase{F::DelaySource, 1, 0, 148, 0x80, 5, 5, 0x85},
        // One-bit flags: 5 stores 1 and -3 stores 0, other bits unchanged.
        BitCase{F::EqMaster, 0, 0, 1, 0x85, 5, 1, 0xC5},
        BitCase{F::EqMaster, 0, 0, 1, 0xFF, -3, 0, 0xBF},
        BitCase{F::EqBypass, 1, 0, 66, 0x11, 5, 1, 0x91},
        BitCase{F::EqBypass, 1, 0, 66, 0xFF, -3, 0, 0x7F},
        BitCase{F::LpSlope, 0, 0, 132, 0x00, 5, 1, 0x01},
        BitCase{F::HpSlope, 1, 0, 141, 0x01, -3, 0, 0x00},
        BitCase{F::ClMode, 0, 0, 156, 0x38, 5, 1, 0xB8},
        BitCase{F::ClMode, 1, 0, 175, 0xB8, -3, 0, 0x38},
        BitCase{F::ClMaster, 1, 0, 171, 0x00, 1, 1, 0x40},
        // Crossover 23..86 in the low seven bits under the mode bit.
        BitCase{F::ClCrossover, 0, 0, 156, 0x80, 0, 23, 0x97},
        BitCase{F::ClCrossover, 0, 0, 156, 0x80, 127, 86, 0xD6},
        // Parametric gain keeps the band's bypass bit and the bypass keeps the gain.
        BitCase{F::EqParamGain, 0, 4, 59, 0x80, 121, 121, 0xF9},
        BitCase{F::EqParamGain, 1, 9, 129, 0x80, 200, 121, 0xF9},
        BitCase{F::EqParamBypass, 0, 4, 59, 0x61, 1, 1, 0xE1},
        BitCase{F::EqParamBypass, 0, 4, 59, 0xE1, 0, 0, 0x61},
        // Chain slot 3 and palette position 3 share byte 199.
        BitCase{F::ChainSlot, 0, 3, 199, 0xA0, 14, 14, 0xAE},
        BitCase{F::ChainSlot, 0, 3, 199, 0xA5, 99, 14, 0xAE},
        BitCase{F::PalettePosition, 0, 3, 199, 0x05, 12, 12, 0xC5},
        BitCase{F::PalettePosition, 1, 3, 199, 0xF5, -1, 0, 0x05},
        // Byte 212: pink noise bit 0, join position bits 1-4, join on 5, join target 6.
        BitCase{F::PinkNoiseOn, 0, 0, 212, 0xFE, 1, 1, 0xFF},
        BitCase{F::JoinPosition, 0, 0, 212, 0xFF, 0, 0, 0xE1},
        BitCase{F::JoinPosition, 0, 0, 212, 0x61, 9, 8, 0x71},
        BitCase{F::JoinPosition, 1, 1, 213, 0x01, 3, 3, 0x07},
        BitCase{F::JoinOn, 0, 0, 212, 0x5F, 7, 1, 0x7F},
        BitCase{F::JoinTarget, 0, 0, 212, 0xFF, 0, 0, 0xBF},
        // Whole bytes: clamp lo first, then hi.
        BitCase{F::InputLevel, 1, 0, 143, 0, 100, 152, 152},
        BitCase{F::InputLevel, 1, 0, 143, 0, 250, 232, 232},
        BitCase{F::ClAttack, 0, 1, 164, 0, 0, 10, 10},
        BitCase{F::ClRelease, 1, 1, 184, 0, 1000, 82, 82},
        BitCase{F::ClThreshold, 0, 0, 160, 0, LLONG_MIN, 100, 100},
        BitCase{F::ClBandReserved, 0, 0, 159, 0, LLONG_MAX, 96, 96},
        BitCase{F::ClReserved, 1, 0, 173, 0, 96, 95, 95},
        BitCase{F::ClLinkMode, 0, 0, 153, 0, 3, 2, 2}, BitCase{F::ClKnee, 0, 0, 162, 0, 3, 3, 3},
        BitCase{F::NameChar, 0, 5, 223, 0, 300, 255, 255},
        BitCase{F::Reserved195, 0, 0, 195, 0, -1, 0, 0}));

// Any channel value other than 0 reaches channel B's storage.
TEST(ParamFieldChannels, NonZeroChannelMeansB) {
    for (int channel : {1, 2, -1, INT_MAX}) {
        ImageFixture fx;
        fx.view.Set(F::ClThreshold, channel, 1, 150);
        EXPECT_EQ(fx.area[186], 150) << channel;
        EXPECT_EQ(fx.area[167], 0) << channel;
        EXPECT_EQ(fx.view.Get(F::ClThreshold, channel, 1), 150);
    }
}

TEST(ParamFieldIndex, OutsideTheArrayWritesNothing) {
    ImageFixture fx;
    struct Case {
        ParamField field;
        int index;
    };
    for (Case c : {Case{F::EqGraphicGain, 31}, Case{F::EqGraphicGain, -1}, Case{F::ClThreshold, 2},
                   Case{F::ChainSlot, 16}, Case{F::PalettePosition, 12}, Case{F::NameChar, 32},
                   Case{F::EqType, 1}, Case{F::NameChar, INT_MIN}}) {
        EXPECT_EQ(FieldOffset(c.field, 0, c.index), -1);
        EXPECT_EQ(fx.view.Set(c.field, 1, c.index, 1000), FieldInfo(c.field).hi);
        EXPECT_EQ(fx.view.Get(c.field, 1, c.index), 0);
    }
    for (std::uint8_t byte : fx.area) ASSERT_EQ(byte, 0);
}

TEST(ParamFieldTable, NamesAreUniqueAndFindTheirField) {
    std::set<std::string> names;
    for (int i = 0; i < kParamFieldCount; ++i) {
        const auto field = static_cast<ParamField>(i);
        const FieldDescriptor& info = FieldInfo(field);
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
        EXPECT_EQ(FieldByName(info.name), field);
    }
    EXPECT_FALSE(FieldByName("eq.nothing").has_value());
    EXPECT_FALSE(FieldByName("").has_value());
    EXPECT_EQ(AllFields().size(), static_cast<std::size_t>(kParamFieldCount));
}

TEST(ParamFieldTable, RolesAndBlocksServeTheLinkedSetter) {
    EXPECT_EQ(FieldInfo(F::EqSource).role, FieldRole::Source);
    EXPECT_EQ(FieldInfo(F::OutputSource).role, FieldRole::Source);
    EXPECT_EQ(FieldInfo(F::DelayMaster).role, FieldRole::Master);
    EXPECT_EQ(FieldInfo(F::ClLinkFlag).role, FieldRole::LinkDerived);
    EXPECT_EQ(FieldInfo(F::ClLinkMode).role, FieldRole::LinkDerived);
    EXPECT_EQ(FieldInfo(F::TemperatureLow).block, FieldBlock::Delay);
    EXPECT_EQ(FieldInfo(F::ClBandReserved).block, FieldBlock::CompLimiter);
    EXPECT_FALSE(FieldInfo(F::JoinOn).perChannel());
    EXPECT_TRUE(FieldInfo(F::TemperatureHigh).perChannel());
    EXPECT_EQ(FieldInfo(F::EqParamGain).scale, Scale::ParametricGain);
    EXPECT_EQ(FieldInfo(F::ClCrossover).scale, Scale::Frequency);
}

TEST(ParamFieldTable, BadEnumValueFallsBackInsteadOfReadingPastTheTable) {
    const FieldDescriptor& info = FieldInfo(static_cast<ParamField>(9999));
    EXPECT_EQ(&info, &FieldInfo(static_cast<ParamField>(0)));
    EXPECT_EQ(&FieldInfo(static_cast<ParamField>(-1)), &info);
}

}  // namespace
}  // namespace arvestra
