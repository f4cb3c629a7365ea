// Block parameter operations: the four families, the channel link, marking, the modified
// flags, master toggles with copy, the check after reading and the page shortcuts.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "document/DocTestSupport.h"
#include "model/DelayMath.h"
#include "model/PresetImage.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;
using Range = std::pair<int, int>;
constexpr Range kEmpty{255, 0};

// A document at address 1 with default images, marking as if online, flags and range cleared.
struct LiveDoc : DocBench {
    LiveDoc() {
        doc.Bus().SetSyncLive(1);
        Reset();
    }
    // Forgets the marks and flags made while setting up.
    void Reset() {
        doc.TakeDirtyRange();
        doc.Devices().SetPresetModified(0);
        doc.SetModifiedFlag(false);
    }
    Range Marked() const {
        const auto r = doc.Edits().DirtyRange();
        return {r.first, r.second};
    }
    int Byte(int offset) { return doc.Edits().Data()[offset]; }
};

// ---- Linked family ---------------------------------------------------------------------------

struct LinkedCase {
    const char* name;
    PF field;
    int index;
    int masterA;  // master flag of the field's block on channel A before the edit
    int masterB;
    int channel;
    long long value;
    int expectA;  // the field on channel A afterwards
    int expectB;
    Range marked;
};

class LinkedSet : public ::testing::TestWithParam<LinkedCase> {};

PF MasterFieldOf(PF field) {
    switch (FieldInfo(field).block) {
        case FieldBlock::Equaliser:
            return PF::EqMaster;
        case FieldBlock::LowPass:
            return PF::LpMaster;
        case FieldBlock::HighPass:
            return PF::HpMaster;
        case FieldBlock::Delay:
            return PF::DelayMaster;
        default:
            return PF::ClMaster;
    }
}

TEST_P(LinkedSet, WritesAThenBOnlyWhereChangedAndMarksOnlyThoseBytes) {
    const LinkedCase& c = GetParam();
    LiveDoc t;
    t.doc.Edits().SetPerChannel(MasterFieldOf(c.field), 0, c.masterA);
    t.doc.Edits().SetPerChannel(MasterFieldOf(c.field), 1, c.masterB);
    t.Reset();
    const int beforeA = t.doc.Edits().Get(c.field, 0, c.index);
    const int beforeB = t.doc.Edits().Get(c.field, 1, c.index);

    t.doc.Edits().Set(c.field, c.channel, c.index, c.value);

    EXPECT_EQ(t.doc.Edits().Get(c.field, 0, c.index), c.expectA);
    EXPECT_EQ(t.doc.Edits().Get(c.field, 1, c.index), c.expectB);
    EXPECT_EQ(t.Marked(), c.marked);
    const bool changed = beforeA != c.expectA || beforeB != c.expectB;
    EXPECT_EQ(t.doc.Devices().PresetModified(), changed ? 1 : 0);
    EXPECT_EQ(t.doc.IsModified(), changed);
}

INSTANTIATE_TEST_SUITE_P(
    Families, LinkedSet,
    ::testing::Values(
        LinkedCase{"GainBUnlinkedClampsAndTouchesOnlyB",
                   PF::EqGraphicGain,
                   5,
                   0,
                   0,
                   1,
                   70,
                   30,
                   60,
                   {74, 74}},
        LinkedCase{
            "GainBWithMasterAWritesBoth", PF::EqGraphicGain, 5, 1, 0, 1, 36, 36, 36, {9, 74}},
        LinkedCase{
            "GainAWithMasterBWritesBoth", PF::EqGraphicGain, 5, 0, 1, 0, 12, 12, 12, {9, 74}},
        LinkedCase{"SameValueWritesNothing", PF::EqGraphicGain, 5, 1, 0, 1, 30, 30, 30, kEmpty},
        LinkedCase{"ChannelTwoUnlinkedIgnored", PF::EqGraphicGain, 5, 0, 0, 2, 40, 30, 30, kEmpty},
        LinkedCase{"ChannelMinusOneUnlinkedIgnored", PF::EqGraphicGain, 5, 0, 0, -1, 40, 30, 30,
                   kEmpty},
        LinkedCase{"ChannelTwoLinkedSetsBoth", PF::EqGraphicGain, 5, 1, 0, 2, 40, 40, 40, {9, 74}},
        LinkedCase{"EqTypeLinkedSwitchesBoth", PF::EqType, 0, 1, 0, 1, 1, 1, 1, {0, 65}},
        LinkedCase{"LowPassCutoffBelowRange", PF::LpCutoff, 0, 0, 0, 0, -5, 0, 100, {131, 131}},
        LinkedCase{"LowPassCutoffLinked", PF::LpCutoff, 0, 0, 1, 0, 50, 50, 50, {131, 137}},
        LinkedCase{"LowPassCutoffLinkedAlreadyAtTop", PF::LpCutoff, 0, 0, 1, 0, 200, 100, 100,
                   kEmpty},
        LinkedCase{"HighPassSlopeB", PF::HpSlope, 0, 0, 0, 1, 0, 1, 0, {141, 141}},
        LinkedCase{"DelayLowLinked", PF::DelayLow, 0, 1, 0, 0, 7, 7, 7, {147, 151}},
        LinkedCase{"TemperatureLowLinked", PF::TemperatureLow, 0, 0, 1, 1, 9, 9, 9, {216, 217}},
        LinkedCase{"CompBand2ThresholdA", PF::ClThreshold, 1, 0, 0, 0, 150, 150, 200, {167, 167}},
        LinkedCase{"CompBand2ThresholdB", PF::ClThreshold, 1, 0, 0, 1, 150, 200, 150, {186, 186}},
        LinkedCase{"CompAttackAboveRange", PF::ClAttack, 0, 0, 0, 1, 100, 10, 74, {176, 176}},
        LinkedCase{
            "CompCrossoverBelowRangeLinked", PF::ClCrossover, 0, 1, 1, 0, 0, 23, 23, {156, 175}},
        LinkedCase{"ParamBypassKeepsGain", PF::EqParamBypass, 3, 0, 0, 0, 1, 1, 0, {58, 58}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LinkedSetOffline, WritesAndFlagsButMarksNothing) {
    LiveDoc t;
    t.doc.Bus().SetSyncLive(0);
    t.doc.Edits().Set(PF::EqGraphicGain, 1, 5, 44);
    EXPECT_EQ(t.Byte(74), 44);
    EXPECT_EQ(t.Marked(), kEmpty);
    EXPECT_EQ(t.doc.Devices().PresetModified(), 1);
    EXPECT_TRUE(t.doc.IsModified());
}

TEST(LinkedSetBits, ParametricGainKeepsItsBypassBit) {
    LiveDoc t;
    t.doc.Edits().Set(PF::EqParamBypass, 0, 2, 1);
    t.doc.Edits().Set(PF::EqParamGain, 0, 2, 121);
    EXPECT_EQ(t.Byte(57), 0x80 | 121);
}

// ---- Per-channel, routing and configuration families -------------------------------------

struct DirectCase {
    const char* name;
    PF field;
    int channel;
    int index;
    long long value;
    int offset;    // byte that changes (-1: none)
    int expected;  // the field's value afterwards on the addressed place
    int presetModified;
    bool modified;
};

class DirectSet : public ::testing::TestWithParam<DirectCase> {};

TEST_P(DirectSet, WritesOnlyTheAddressedPlaceWithItsFlags) {
    const DirectCase& c = GetParam();
    LiveDoc t;
    std::vector<std::uint8_t> before(t.doc.Edits().Data(), t.doc.Edits().Data() + 256);

    t.doc.Edits().Set(c.field, c.channel, c.index, c.value);

    for (int i = 0; i < 256; ++i) {
        if (i != c.offset) {
            EXPECT_EQ(t.Byte(i), before[static_cast<std::size_t>(i)]) << "byte " << i;
        }
    }
    if (c.offset >= 0) {
        EXPECT_EQ(t.doc.Edits().Get(c.field, c.channel, c.index), c.expected);
        EXPECT_EQ(t.Marked(), Range(c.offset, c.offset));
    } else {
        EXPECT_EQ(t.Marked(), kEmpty);
    }
    EXPECT_EQ(t.doc.Devices().PresetModified(), c.presetModified);
    EXPECT_EQ(t.doc.IsModified(), c.modified);
}

INSTANTIATE_TEST_SUITE_P(
    Families, DirectSet,
    ::testing::Values(
        DirectCase{"InputLevelABelowRange", PF::InputLevel, 0, 0, 100, 142, 152, 1, true},
        DirectCase{"InputLevelBAboveRange", PF::InputLevel, 1, 0, 250, 143, 232, 1, true},
        DirectCase{"InputLevelChannelTwoIgnored", PF::InputLevel, 2, 0, 160, -1, 0, 0, false},
        DirectCase{"OutputLevelB", PF::OutputLevel, 1, 0, 200, 193, 200, 1, true},
        DirectCase{"EqMasterSetsOnlyDocumentModified", PF::EqMaster, 0, 0, 1, 1, 1, 0, true},
        DirectCase{"LowPassMasterSetsBoth", PF::LpMaster, 0, 0, 1, 130, 1, 1, true},
        DirectCase{"MasterChannelMinusOneIgnored", PF::DelayMaster, -1, 0, 1, -1, 0, 0, false},
        DirectCase{"CompLinkModeAClamped", PF::ClLinkMode, 0, 0, 9, 153, 2, 1, true},
        DirectCase{"CompLinkFlagA", PF::ClLinkFlag, 0, 0, 1, 155, 1, 1, true},
        DirectCase{"EqSourceClampedNoFlags", PF::EqSource, 0, 0, 20, 1, 17, 0, false},
        DirectCase{"OutputSourceBNoFlags", PF::OutputSource, 1, 0, 5, 192, 5, 0, false},
        DirectCase{"RoutingChannelThreeIgnored", PF::ClSource, 3, 0, 4, -1, 0, 0, false},
        DirectCase{"ChainSlot3LowNibble", PF::ChainSlot, 0, 3, 5, 199, 5, 1, true},
        DirectCase{"PalettePosition3HighNibble", PF::PalettePosition, 0, 3, 8, 199, 8, 1, true},
        DirectCase{"ChainSlotClamped", PF::ChainSlot, 0, 15, 99, 211, 14, 1, true},
        DirectCase{"Byte195OnlyDocumentModified", PF::Reserved195, 0, 0, 7, 195, 7, 0, true},
        DirectCase{"PinkNoiseLevelClamped", PF::PinkNoiseLevel, 0, 0, 500, 194, 80, 1, true},
        DirectCase{"PinkNoiseOnOfChainB", PF::PinkNoiseOn, 0, 1, 1, 213, 1, 1, true},
        DirectCase{"JoinOnMarks212", PF::JoinOn, 0, 0, 1, 212, 1, 1, true},
        DirectCase{"JoinTargetMarks212", PF::JoinTarget, 0, 0, 1, 212, 1, 1, true},
        DirectCase{"NameCharacter4", PF::NameChar, 0, 4, 'x', 222, 'x', 1, true},
        DirectCase{"ChainSlotOutsideArrayIgnored", PF::ChainSlot, 0, 16, 3, -1, 0, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever code the editor writes into a chain slot or palette position, reading the image
// back keeps it: a code the check after reading clears would stay in the device alone.
TEST(ConfigSet, ChainAndPaletteCodesSurviveTheCheckAfterReading) {
    for (const PF field : {PF::ChainSlot, PF::PalettePosition}) {
        for (int code = 0; code <= 15; ++code) {
            LiveDoc t;
            t.doc.Edits().Set(field, 0, 2, 5);
            t.doc.Edits().Set(field, 0, 2, code);
            const int written = t.doc.Edits().Get(field, 0, 2);
            const bool blockless = code == 6 || code == 7 || code == 9 || code == 10;
            EXPECT_EQ(written, blockless ? 0 : std::min(code, 14)) << code;
            t.doc.Edits().CheckImageAfterRead();
            EXPECT_EQ(t.doc.Edits().Get(field, 0, 2), written) << code;
        }
    }
}

TEST(PerChannelSet, TurningMastersOffFlagsAsEachBlockDoes) {
    LiveDoc t;
    t.doc.Edits().Set(PF::EqMaster, 0, 1);
    t.doc.Edits().Set(PF::LpMaster, 0, 1);
    t.Reset();
    t.doc.Edits().Set(PF::EqMaster, 0, 0);
    EXPECT_TRUE(t.doc.IsModified());
    EXPECT_EQ(t.doc.Devices().PresetModified(), 0);
    t.Reset();
    t.doc.Edits().Set(PF::LpMaster, 0, 0);
    EXPECT_TRUE(t.doc.IsModified());
    EXPECT_EQ(t.doc.Devices().PresetModified(), 1);
}

TEST(RoutingSet, SourceNodeKeepsMasterAndBypassBits) {
    LiveDoc t;
    t.doc.Edits().Set(PF::EqMaster, 0, 1);
    t.doc.Edits().Set(PF::EqBypass, 0, 1);
    t.doc.Edits().Set(PF::EqSource, 0, 20);
    EXPECT_EQ(t.Byte(1), 0xC0 | 17);
}

TEST(DirtyRange, EditsCollapseIntoOneRange) {
    LiveDoc t;
    t.doc.Edits().Set(PF::OutputLevel, 0, 200);      // byte 191
    t.doc.Edits().Set(PF::EqGraphicGain, 0, 6, 10);  // byte 10
    EXPECT_EQ(t.Marked(), Range(10, 191));
    const DirtyChunk chunk = t.doc.TakeDirtyRange();
    EXPECT_EQ(chunk.first, 10);
    EXPECT_EQ(chunk.count, 182);
    EXPECT_EQ(chunk.bytes[0], 10);
    EXPECT_EQ(chunk.bytes[181], 200);
    EXPECT_EQ(t.Marked(), kEmpty);
}

// ---- Master toggles with copy --------------------------------------------------------------

struct CopyCase {
    const char* name;
    FieldBlock block;
    std::vector<std::pair<PF, int>> copied;  // field and number of elements
    PF source;
};

class MasterCopy : public ::testing::TestWithParam<CopyCase> {};

// A value inside the field's range that differs from the default image for element i.
int Distinct(PF field, int i) {
    const FieldDescriptor& f = FieldInfo(field);
    if (f.hi - f.lo <= 1) return f.hi;
    return f.lo + 1 + (i % (f.hi - f.lo - 1));
}

TEST_P(MasterCopy, SourceChannelIsCopiedOntoTheOther) {
    const CopyCase& c = GetParam();
    for (int source = 0; source < 2; ++source) {
        LiveDoc t;
        const int target = 1 - source;
        t.doc.Edits().Set(c.source, target, 0, 9);
        for (const auto& [field, count] : c.copied) {
            for (int i = 0; i < count; ++i) t.doc.Edits().Set(field, source, i, Distinct(field, i));
        }
        t.Reset();

        t.doc.Edits().SetMasterWithCopy(c.block, source, 1);

        for (const auto& [field, count] : c.copied) {
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(t.doc.Edits().Get(field, target, i), Distinct(field, i))
                    << FieldInfo(field).name << "[" << i << "] from channel " << source;
            }
        }
        EXPECT_EQ(t.doc.Edits().Get(c.source, target), 9) << "source nodes are not copied";
        EXPECT_EQ(t.doc.Edits().IsLinked(c.block), true);
        const auto& master = FieldInfo(c.source);
        EXPECT_EQ(t.doc.Edits().Data()[FieldOffset(c.source, target)] & 0x40, 0)
            << "the target's master flag stays clear (" << master.name << ")";
        EXPECT_EQ(t.doc.Devices().PresetModified(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, MasterCopy,
    ::testing::Values(CopyCase{"Equaliser",
                               FieldBlock::Equaliser,
                               {{PF::EqBypass, 1},
                                {PF::EqType, 1},
                                {PF::EqReserved, 1},
                                {PF::EqGraphicQ, 1},
                                {PF::EqGraphicGain, 31},
                                {PF::EqParamFrequency, 10},
                                {PF::EqParamBandwidth, 10},
                                {PF::EqParamGain, 10},
                                {PF::EqParamBypass, 10}},
                               PF::EqSource},
                      CopyCase{"LowPass",
                               FieldBlock::LowPass,
                               {{PF::LpBlockFlag, 1}, {PF::LpCutoff, 1}, {PF::LpSlope, 1}},
                               PF::LpSource},
                      CopyCase{"HighPass",
                               FieldBlock::HighPass,
                               {{PF::HpBlockFlag, 1}, {PF::HpCutoff, 1}, {PF::HpSlope, 1}},
                               PF::HpSource},
                      CopyCase{"Delay",
                               FieldBlock::Delay,
                               {{PF::DelayBypass, 1},
                                {PF::DelayHigh, 1},
                                {PF::DelayMiddle, 1},
                                {PF::DelayLow, 1},
                                {PF::TemperatureHigh, 1},
                                {PF::TemperatureLow, 1}},
                               PF::DelaySource},
                      CopyCase{"CompLimiter",
                               FieldBlock::CompLimiter,
                               {{PF::ClBypass, 1},
                                {PF::ClReserved, 1},
                                {PF::ClCrossover, 1},
                                {PF::ClMode, 1},
                                {PF::ClAttack, 2},
                                {PF::ClRelease, 2},
                                {PF::ClBandReserved, 2},
                                {PF::ClThreshold, 2},
                                {PF::ClRatio, 2},
                                {PF::ClKnee, 2},
                                {PF::ClGain, 2}},
                               PF::ClSource}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MasterCopy, ClearingTheFlagCopiesNothing) {
    LiveDoc t;
    t.doc.Edits().Set(PF::LpCutoff, 1, 40);
    t.doc.Edits().SetMasterWithCopy(FieldBlock::LowPass, 1, 0);
    EXPECT_EQ(t.doc.Edits().Get(PF::LpCutoff, 0), 100);
}

TEST(MasterCopy, CompLimiterLinkFieldsFollowTheMasterFlags) {
    LiveDoc t;
    const auto linkFields = [&t] {
        return std::vector<int>{t.Byte(153), t.Byte(155), t.Byte(172), t.Byte(174)};
    };
    EXPECT_EQ(linkFields(), (std::vector<int>{1, 0, 2, 1}));
    t.doc.Edits().SetMasterWithCopy(FieldBlock::CompLimiter, 0, 1);
    EXPECT_EQ(linkFields(), (std::vector<int>{0, 0, 0, 0}));
    t.doc.Edits().SetMasterWithCopy(FieldBlock::CompLimiter, 0, 0);
    EXPECT_EQ(linkFields(), (std::vector<int>{1, 0, 2, 1}));
    t.doc.Edits().SetMasterWithCopy(FieldBlock::CompLimiter, 1, 1);
    EXPECT_EQ(linkFields(), (std::vector<int>{0, 0, 0, 0}));
}

// ---- Check after reading --------------------------------------------------------------------

struct CheckCase {
    const char* name;
    std::vector<std::pair<int, int>> raw;       // bytes written into the edit buffer first
    std::vector<std::pair<int, int>> expected;  // bytes after the check
    int presetModified;
};

class CheckAfterRead : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckAfterRead, LimitsFieldsAppliesLinksAndMarksNothing) {
    const CheckCase& c = GetParam();
    LiveDoc t;
    for (const auto& [offset, value] : c.raw) {
        t.doc.Edits().Data()[offset] = static_cast<std::uint8_t>(value);
    }
    t.Reset();

    t.doc.Edits().CheckImageAfterRead();

    for (const auto& [offset, value] : c.expected) EXPECT_EQ(t.Byte(offset), value) << offset;
    EXPECT_EQ(t.Marked(), kEmpty);
    EXPECT_EQ(t.doc.Bus().IsSyncLive(), 1) << "syncLive is put back";
    EXPECT_EQ(t.doc.Devices().PresetModified(), c.presetModified);
}

INSTANTIATE_TEST_SUITE_P(
    Images, CheckAfterRead,
    ::testing::Values(
        CheckCase{"ValidImagePassesUnchanged", {}, {{4, 30}, {142, 192}, {196, 0x10}}, 0},
        CheckCase{
            "InvalidChainCodeDroppedDelayHighKept", {{200, 9}, {145, 3}}, {{200, 0}, {145, 3}}, 1},
        CheckCase{"InvalidCodesInChainAndPalette",
                  {{196, 0x76}, {202, 0xA6}},
                  {{196, 0x00}, {202, 0x00}},
                  1},
        CheckCase{"PalettePositionsTenAndElevenNotCleaned",
                  {{206, 0x70}, {207, 0x90}},
                  {{206, 0x70}, {207, 0x90}},
                  0},
        CheckCase{
            "LinkedDelayTakesChannelA", {{144, 0x40}, {147, 5}, {151, 9}}, {{147, 5}, {151, 5}}, 1},
        CheckCase{"LinkedEqualiserTakesChannelA",
                  {{66, 0x40}, {4, 12}, {69, 50}},
                  {{4, 12}, {69, 12}},
                  1},
        CheckCase{"OutOfRangeValuesLimited",
                  {{142, 10}, {3, 30}, {153, 7}, {1, 63}, {176, 0}, {195, 200}},
                  {{142, 152}, {3, 18}, {153, 2}, {1, 17}, {176, 10}, {195, 200}},
                  1},
        CheckCase{"CompLinkFieldsOnlyLimitedNotRecomputed",
                  {{152, 0x40}, {153, 1}, {172, 2}},
                  {{153, 1}, {172, 2}, {155, 0}, {174, 1}},
                  0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Delay helpers and shortcuts ----------------------------------------------------------

TEST(DelayOps, SamplesAreLimitedAndSplitIntoThreeBytes) {
    LiveDoc t;
    t.doc.Edits().SetDelaySamples(0, 100000);
    EXPECT_EQ(t.doc.Edits().GetDelaySamples(0), 65536);
    EXPECT_EQ(t.Byte(145), 1);
    EXPECT_EQ(t.Byte(146), 0);
    EXPECT_EQ(t.Byte(147), 0);
    t.doc.Edits().SetDelaySamples(1, -4);
    EXPECT_EQ(t.doc.Edits().GetDelaySamples(1), 0);
}

TEST(DelayOps, DefaultSettingsKeepTheDistance) {
    LiveDoc t;
    t.doc.Edits().SetTemperatureTenths(0, 1000);  // 100.0 deg F
    t.doc.Edits().SetDelaySamples(0, 48000);
    t.doc.Edits().DelayDefaultSettings(0);
    EXPECT_EQ(t.doc.Edits().GetTemperatureTenths(0), 680);
    EXPECT_EQ(t.doc.Edits().GetDelaySamples(0), SamplesForNewTemperature(48000, 1000, 680));
    EXPECT_GT(t.doc.Edits().GetDelaySamples(0), 48000)
        << "slower sound needs more time for the distance";
}

TEST(DelayOps, DistancesAndTemperaturesFollowTheLink) {
    LiveDoc t;
    t.doc.Edits().SetPerChannel(PF::DelayMaster, 0, 1);
    t.doc.Edits().SetTemperatureTenths(1, 500);
    t.doc.Edits().SetDelayMetres(1, 100.0);
    const int samples = SamplesFromMetres(100.0, 500);
    for (int ch : {0, 1}) {
        EXPECT_EQ(t.doc.Edits().GetTemperatureTenths(ch), 500) << ch;
        EXPECT_EQ(t.doc.Edits().GetDelaySamples(ch), samples) << ch;
    }
    t.doc.Edits().SetTemperatureKeepingDistance(0, 99999);  // limited to 150.0 deg F
    for (int ch : {0, 1}) {
        EXPECT_EQ(t.doc.Edits().GetTemperatureTenths(ch), 1500) << ch;
        EXPECT_EQ(t.doc.Edits().GetDelaySamples(ch), SamplesForNewTemperature(samples, 500, 1500))
            << ch;
    }
    // Unlinked, only the given channel moves; a channel that is neither A nor B moves nothing.
    t.doc.Edits().SetPerChannel(PF::DelayMaster, 0, 0);
    t.doc.Edits().SetDelayFeet(0, 10.0);
    EXPECT_EQ(t.doc.Edits().GetDelaySamples(0), SamplesFromFeet(10.0, 1500));
    EXPECT_NE(t.doc.Edits().GetDelaySamples(1), t.doc.Edits().GetDelaySamples(0));
    t.Reset();
    t.doc.Edits().SetDelaySamples(7, 5);
    t.doc.Edits().SetTemperatureKeepingDistance(-1, 0);
    EXPECT_EQ(t.Marked(), kEmpty);
    EXPECT_EQ(t.doc.Devices().PresetModified(), 0);
}

TEST(Shortcuts, FlatAndBandwidthButtons) {
    LiveDoc t;
    for (int i = 0; i < 31; ++i) t.doc.Edits().Set(PF::EqGraphicGain, 1, i, i);
    for (int i = 0; i < 10; ++i) t.doc.Edits().Set(PF::EqParamGain, 1, i, i);
    t.doc.Edits().FlatGraphic(1);
    t.doc.Edits().FlatParametric(1);
    for (int i = 0; i < 31; ++i) EXPECT_EQ(t.doc.Edits().Get(PF::EqGraphicGain, 1, i), 30);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(t.doc.Edits().Get(PF::EqParamGain, 1, i), 97);
    t.doc.Edits().NarrowGraphicBandwidth(0);
    EXPECT_EQ(t.doc.Edits().Get(PF::EqGraphicQ, 0), 12);
    t.doc.Edits().WideGraphicBandwidth(0);
    EXPECT_EQ(t.doc.Edits().Get(PF::EqGraphicQ, 0), 6);
}

TEST(Shortcuts, ToggleInvertsTheFlag) {
    LiveDoc t;
    t.doc.Edits().ToggleFlag(PF::ClBypass, 1);
    EXPECT_EQ(t.doc.Edits().Get(PF::ClBypass, 1), 1);
    t.doc.Edits().ToggleFlag(PF::ClBypass, 1);
    EXPECT_EQ(t.doc.Edits().Get(PF::ClBypass, 1), 0);
    t.doc.Edits().ToggleFlag(PF::EqParamBypass, 0, 9);
    EXPECT_EQ(t.doc.Edits().Get(PF::EqParamBypass, 0, 9), 1);
}

}  // namespace
}  // namespace arvestra::testing
