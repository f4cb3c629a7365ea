#include "link/DeviceCommands.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace arvestra {
namespace {

using Status = std::array<std::uint8_t, kStatusReplyLength>;

constexpr ChainMembership kNoBlocks{};
constexpr ChainMembership kBothCompLims{false, false, true, true};

TEST(DeviceCommandCodes, MatchTheWireNumbers) {
    const std::array<std::pair<std::uint8_t, int>, 11> codes{{{CMD_IDENTIFY, 2},
                                                              {CMD_READ_DEVICE_INFO, 18},
                                                              {CMD_READ_IMAGE, 32},
                                                              {CMD_READ_STATUS, 35},
                                                              {CMD_READ_FIRMWARE, 36},
                                                              {CMD_RECALL_PRESET, 130},
                                                              {CMD_STORE_PRESET, 147},
                                                              {CMD_WRITE_DEVICE_NAME, 148},
                                                              {CMD_SET_BYPASS, 150},
                                                              {CMD_SET_MIDI_DEBUG, 157},
                                                              {CMD_WRITE_IMAGE, 160}}};
    for (const auto& [code, wire] : codes) {
        EXPECT_EQ(code, wire);
    }
}

TEST(ClampReportedPreset, LimitsToStoredPresets) {
    const std::array<std::pair<int, int>, 7> cases{
        {{0, 1}, {1, 1}, {2, 2}, {8, 8}, {9, 8}, {255, 8}, {-4, 1}}};
    for (const auto& [reported, expected] : cases) {
        EXPECT_EQ(ClampReportedPreset(reported), expected) << reported;
    }
}

TEST(DecodeIdentify, ReadsTypeAndMaker) {
    const std::array<std::uint8_t, 2> reply{34, 57};
    const DeviceIdentity identity = DecodeIdentify(reply);
    EXPECT_EQ(identity.deviceType, 34);
    EXPECT_EQ(identity.manufacturer, 57);
}

std::array<std::uint8_t, kDeviceInfoReplyLength> InfoReply(std::string_view name, int preset,
                                                           int bypass) {
    std::array<std::uint8_t, kDeviceInfoReplyLength> reply{};
    std::copy(name.begin(), name.end(), reply.begin());
    reply[91] = static_cast<std::uint8_t>(preset);
    reply[94] = static_cast<std::uint8_t>(bypass);
    return reply;
}

struct InfoCase {
    int presetByte;
    int bypassByte;
    int preset;
    bool bypassA;
    bool bypassB;
};

TEST(DecodeDeviceInfo, ClampsPresetAndSplitsBypassBits) {
    const std::array<InfoCase, 7> cases{{{0, 0, 1, false, false},
                                         {1, 1, 1, true, false},
                                         {5, 2, 5, false, true},
                                         {8, 3, 8, true, true},
                                         {9, 0xFC, 8, false, false},
                                         {200, 0xFF, 8, true, true},
                                         {2, 0x04, 2, false, false}}};
    for (const auto& c : cases) {
        const DeviceInfo info =
            DecodeDeviceInfo(InfoReply("Stage Left", c.presetByte, c.bypassByte));
        EXPECT_EQ(info.name, "Stage Left");
        EXPECT_EQ(info.currentPreset, c.preset) << c.presetByte;
        EXPECT_EQ(info.bypassA, c.bypassA) << c.bypassByte;
        EXPECT_EQ(info.bypassB, c.bypassB) << c.bypassByte;
    }
}

TEST(DecodeDeviceInfo, NameStopsAtZeroAndAtThirtyTwoCharacters) {
    auto reply = InfoReply("", 1, 0);
    std::fill(reply.begin(), reply.end(), std::uint8_t{'x'});  // no terminating zero anywhere
    EXPECT_EQ(DecodeDeviceInfo(reply).name, std::string(32, 'x'));

    reply = InfoReply("AB", 1, 0);
    reply[5] = 'Z';  // bytes after the first zero are not part of the name
    EXPECT_EQ(DecodeDeviceInfo(reply).name, "AB");

    EXPECT_EQ(DecodeDeviceInfo(InfoReply("", 1, 0)).name, "");
}

TEST(DecodeFirmware, ReadsFiveNumbersAndIgnoresTheRest) {
    const std::array<std::uint8_t, 8> reply{7, 13, 11, 11, 10, 99, 98, 97};
    const FirmwareInfo fw = DecodeFirmware(reply);
    EXPECT_EQ(fw.applicationNumber, 7);
    EXPECT_EQ(fw.applicationRevision, 13);
    EXPECT_EQ(fw.compatibilityLevel, 11);
    EXPECT_EQ(fw.editorLevel, 11);
    EXPECT_EQ(fw.baseRevision, 10);
}

TEST(FirmwareCompatibility, AcceptsLevelsAroundEleven) {
    struct Case {
        int compatibility;
        int editor;
        bool compatibilityOk;
        bool editorOk;
    };
    const std::array<Case, 5> cases{{{11, 11, true, true},
                                     {10, 11, false, true},
                                     {12, 12, true, false},
                                     {255, 0, true, true},
                                     {0, 255, false, false}}};
    for (const auto& c : cases) {
        FirmwareInfo fw;
        fw.compatibilityLevel = c.compatibility;
        fw.editorLevel = c.editor;
        EXPECT_EQ(IsCompatibilityLevelAccepted(fw), c.compatibilityOk) << c.compatibility;
        EXPECT_EQ(IsEditorLevelAccepted(fw), c.editorOk) << c.editor;
    }
}

TEST(EncodeReadImage, AcceptsRangesInsideTheImage) {
    struct Case {
        int image, start, count;
        bool valid;
    };
    const std::array<Case, 10> cases{{{0, 0, 250, true},
                                      {8, 218, 32, true},
                                      {1, 255, 1, true},
                                      {0, 1, 255, true},
                                      {9, 0, 1, false},
                                      {-1, 0, 1, false},
                                      {0, 0, 0, false},
                                      {0, 0, 256, false},
                                      {0, 250, 7, false},
                                      {0, 256, 1, false}}};
    for (const auto& c : cases) {
        const auto request = EncodeReadImage(c.image, c.start, c.count);
        ASSERT_EQ(request.has_value(), c.valid) << c.image << " " << c.start << " " << c.count;
        if (request) {
            EXPECT_EQ((*request)[0], c.image);
            EXPECT_EQ((*request)[1], c.start);
            EXPECT_EQ((*request)[2], c.count);
        }
    }
}

TEST(EncodeWriteImage, WholeImageGivesTwoHundredFiftyTwoBytes) {
    std::vector<std::uint8_t> image(250);
    std::iota(image.begin(), image.end(), std::uint8_t{0});
    const auto payload = EncodeWriteImage(3, 0, image);
    ASSERT_TRUE(payload.has_value());
    ASSERT_EQ(payload->size(), 252u);
    EXPECT_EQ((*payload)[0], 3);
    EXPECT_EQ((*payload)[1], 0);
    EXPECT_EQ((*payload)[2], 0);
    EXPECT_EQ((*payload)[251], 249);
}

TEST(EncodeWriteImage, RejectsRangesOutsideTheImage) {
    struct Case {
        int image, start;
        std::size_t count;
        bool valid;
    };
    const std::array<Case, 8> cases{{{0, 10, 191, true},
                                     {0, 0, 256, true},
                                     {0, 255, 1, true},
                                     {0, 1, 256, false},
                                     {0, 250, 7, false},
                                     {9, 0, 1, false},
                                     {0, 0, 0, false},
                                     {0, -1, 1, false}}};
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> data(c.count, 0xAB);
        const auto payload = EncodeWriteImage(c.image, c.start, data);
        ASSERT_EQ(payload.has_value(), c.valid) << c.image << " " << c.start << " " << c.count;
        if (payload) {
            EXPECT_EQ(payload->size(), c.count + 2);
            EXPECT_EQ((*payload)[1], c.start);
        }
    }
}

TEST(EncodePresetNumbers, RecallTakesOneToEightStoreAlsoTwoFiftyFive) {
    const std::array<std::pair<int, bool>, 6> recall{
        {{0, false}, {1, true}, {8, true}, {9, false}, {255, false}, {-1, false}}};
    for (const auto& [preset, valid] : recall) {
        EXPECT_EQ(EncodeRecallPreset(preset).has_value(), valid) << preset;
    }
    const std::array<std::pair<int, bool>, 6> store{
        {{0, false}, {1, true}, {8, true}, {9, false}, {255, true}, {254, false}}};
    for (const auto& [preset, valid] : store) {
        EXPECT_EQ(EncodeStorePreset(preset).has_value(), valid) << preset;
    }
    EXPECT_EQ(EncodeStorePreset(255).value(), 255);
}

TEST(EncodeDeviceName, PadsAfterSixtyFiveZeroBytes) {
    const auto request = EncodeDeviceName("Amp");
    for (int i = 0; i < 65; ++i) {
        ASSERT_EQ(request[i], 0) << i;
    }
    EXPECT_EQ(request[65], 'A');
    EXPECT_EQ(request[67], 'p');
    for (int i = 68; i < 97; ++i) {
        ASSERT_EQ(request[i], 0) << i;
    }
}

TEST(EncodeDeviceName, CutsLongNamesToThirtyTwoWithoutTerminator) {
    const std::string longName(40, 'n');
    const auto request = EncodeDeviceName(longName);
    EXPECT_EQ(std::count(request.begin(), request.end(), 'n'), 32);
    EXPECT_EQ(request[96], 'n');
    EXPECT_EQ(request[64], 0);
}

TEST(EncodeFlags, BypassAndDebugBits) {
    EXPECT_EQ(EncodeBypass(false, false), 0);
    EXPECT_EQ(EncodeBypass(true, false), 1);
    EXPECT_EQ(EncodeBypass(false, true), 2);
    EXPECT_EQ(EncodeBypass(true, true), 3);
    EXPECT_EQ(EncodeMidiDebug(false), 0);
    EXPECT_EQ(EncodeMidiDebug(true), 1);
}

TEST(MembershipFromNodes, FindsTheFourReportingBlocks) {
    const std::vector<int> chain{1, 3, 13, 15, 7, 5};
    const ChainMembership m = MembershipFromNodes(chain);
    EXPECT_TRUE(m.eqA);
    EXPECT_FALSE(m.eqB);
    EXPECT_TRUE(m.compLimA);
    EXPECT_FALSE(m.compLimB);

    const std::vector<int> other{2, 4, 10, 0, 0};
    const ChainMembership n = MembershipFromNodes(other);
    EXPECT_FALSE(n.eqA);
    EXPECT_TRUE(n.eqB);
    EXPECT_FALSE(n.compLimA);
    EXPECT_TRUE(n.compLimB);

    // Block codes are not nodes: code 1 (EQ A) is node 3, and code 5 (Comp/Lim A) is node 7.
    const std::vector<int> codes{1, 2, 5, 8};
    const ChainMembership none = MembershipFromNodes(codes);
    EXPECT_FALSE(none.eqA || none.eqB || none.compLimA || none.compLimB);
}

TEST(IndicatorLit, EachBitNeedsItsBlockInTheChain) {
    struct Case {
        std::uint8_t bits;
        ChainMembership chain;
        bool lit;
    };
    const std::array<Case, 12> cases{{
        {0x01, {true, false, false, false}, true},
        {0x01, {false, true, true, true}, false},
        {0x02, {false, true, false, false}, true},
        {0x02, {true, false, false, false}, false},
        {0x04, {false, false, true, false}, true},
        {0x08, {false, false, true, false}, true},
        {0x0C, {false, false, false, true}, false},
        {0x10, {false, false, false, true}, true},
        {0x20, {false, false, false, true}, true},
        {0x30, {false, false, true, false}, false},
        {0xC0, {true, true, true, true}, false},
        {0x00, {true, true, true, true}, false},
    }};
    for (const auto& c : cases) {
        EXPECT_EQ(IndicatorLit(c.bits, c.chain), c.lit) << int(c.bits);
    }
}

TEST(DecodeStatus, LevelMetersCountDownFromNinety) {
    const std::array<std::pair<int, int>, 6> cases{
        {{0, 90}, {1, 89}, {45, 45}, {90, 0}, {120, 0}, {255, 0}}};
    for (const auto& [raw, meter] : cases) {
        Status reply{};
        reply[11] = static_cast<std::uint8_t>(raw);
        reply[12] = static_cast<std::uint8_t>(raw);
        const MeterRecord m = DecodeStatus(reply, {kNoBlocks, kNoBlocks}, 192, 192);
        EXPECT_EQ(m.levelA, meter) << raw;
        EXPECT_EQ(m.levelB, meter) << raw;
    }
}

TEST(DecodeStatus, OutputMetersFollowTheOutputLevelByte) {
    struct Case {
        int raw;
        int outputLevel;
        int meter;
    };
    // meter = max(0, G - min(min(raw, 240) - 36, 114) - 118)
    const std::array<Case, 9> cases{{{0, 192, 110},
                                     {36, 192, 74},
                                     {100, 192, 10},
                                     {110, 192, 0},
                                     {200, 192, 0},
                                     {36, 232, 114},
                                     {0, 232, 150},
                                     {255, 255, 23},
                                     {36, 152, 34}}};
    for (const auto& c : cases) {
        Status reply{};
        reply[13] = static_cast<std::uint8_t>(c.raw);
        reply[14] = static_cast<std::uint8_t>(c.raw);
        const auto level = static_cast<std::uint8_t>(c.outputLevel);
        const MeterRecord a = DecodeStatus(reply, {kNoBlocks, kNoBlocks}, level, 0);
        EXPECT_EQ(a.level2A, c.meter) << c.raw << " G=" << c.outputLevel;
        const MeterRecord b = DecodeStatus(reply, {kNoBlocks, kNoBlocks}, 0, level);
        EXPECT_EQ(b.level2B, c.meter) << c.raw << " G=" << c.outputLevel;
    }
}

struct ReductionCase {
    std::array<std::uint8_t, 4> bytes;  // status bytes 2, 4, 6, 8
    ChainMembership chainA;
    ChainMembership chainB;
    std::array<int, 2> first;
    std::array<int, 2> second;
};

TEST(DecodeStatus, GainReductionAddsCappedBlocksOfEachChain) {
    const ChainMembership onlyA{false, false, true, false};
    const ChainMembership onlyB{false, false, false, true};
    const std::array<ReductionCase, 8> cases{{
        {{50, 0, 50, 0}, kBothCompLims, kNoBlocks, {82, 0}, {0, 0}},
        {{10, 20, 30, 40}, onlyA, onlyB, {10, 30}, {20, 40}},
        {{10, 20, 30, 40}, onlyB, onlyA, {30, 10}, {40, 20}},
        {{10, 20, 30, 40}, kNoBlocks, kNoBlocks, {0, 0}, {0, 0}},
        {{41, 42, 255, 0}, kBothCompLims, kBothCompLims, {82, 82}, {41, 41}},
        {{0, 0, 0, 0}, kBothCompLims, kBothCompLims, {0, 0}, {0, 0}},
        {{5, 6, 7, 8}, kBothCompLims, onlyA, {12, 5}, {14, 6}},
        {{200, 200, 1, 1}, onlyB, kBothCompLims, {1, 42}, {1, 42}},
    }};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& c = cases[i];
        Status reply{};
        reply[2] = c.bytes[0];
        reply[4] = c.bytes[1];
        reply[6] = c.bytes[2];
        reply[8] = c.bytes[3];
        const MeterRecord m = DecodeStatus(reply, {c.chainA, c.chainB}, 192, 192);
        EXPECT_EQ(m.reduction1[0], c.first[0]) << "case " << i;
        EXPECT_EQ(m.reduction1[1], c.first[1]) << "case " << i;
        EXPECT_EQ(m.reduction2[0], c.second[0]) << "case " << i;
        EXPECT_EQ(m.reduction2[1], c.second[1]) << "case " << i;
    }
}

TEST(DecodeStatus, IgnoredBytesChangeNothing) {
    Status plain{};
    plain[15] = 4;
    Status noisy = plain;
    for (const int ignored : {0, 1, 3, 5, 7, 9}) {
        noisy[ignored] = 0xA5;
    }
    const std::array<ChainMembership, 2> chains{kBothCompLims, kBothCompLims};
    EXPECT_EQ(DecodeStatus(plain, chains, 192, 192), DecodeStatus(noisy, chains, 192, 192));
}

TEST(DecodeStatus, KeepsIndicatorBitsAndClampsPreset) {
    const std::array<std::pair<int, int>, 5> presets{{{0, 1}, {1, 1}, {6, 6}, {8, 8}, {9, 8}}};
    for (const auto& [raw, preset] : presets) {
        Status reply{};
        reply[10] = 0xFF;
        reply[15] = static_cast<std::uint8_t>(raw);
        const MeterRecord m = DecodeStatus(reply, {kNoBlocks, kNoBlocks}, 192, 192);
        EXPECT_EQ(m.indicatorBits, 0xFF);
        EXPECT_EQ(m.devicePreset, preset) << raw;
    }
}

}  // namespace
}  // namespace arvestra
