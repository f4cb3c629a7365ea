// Location model offline: lookups over the address table, new device records, adding,
// deleting and moving devices, names, recall and store, the chain lists.
#include <gtest/gtest.h>

#include <cstring>

#include "document/DocTestSupport.h"
#include "model/PresetImage.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;

// The record a new device holds: zeros, its name, preset 1, the initial images, and the edit
// buffer a copy of preset 1.
std::vector<std::uint8_t> ExpectedNewRecord() {
    std::vector<std::uint8_t> record(kDeviceRecordSize, 0);
    const char* name = kDefaultDeviceName;
    std::memcpy(record.data(), name, std::strlen(name));
    record[kRecCurrentPreset] = 1;
    FillInitialImageArea(ImageArea(record.data() + kRecImages, kImageAreaSize));
    std::memcpy(record.data() + kRecImages, record.data() + kRecImages + kImageSlotSize,
                kImageSlotSize);
    return record;
}

std::vector<std::uint8_t> RecordOf(CQ7310Doc& doc, int slot) {
    const std::uint8_t* p = doc.Devices().Location().Record(slot);
    return std::vector<std::uint8_t>(p, p + kDeviceRecordSize);
}

// Index of the first byte where two records differ, or -1.
int FirstDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) return static_cast<int>(i);
    }
    return a.size() == b.size() ? -1 : static_cast<int>(std::min(a.size(), b.size()));
}

// ---- New device records -----------------------------------------------------------------

TEST(AddDevice, NewLocationGetsDefaultDeviceAtAddressOneSlotZero) {
    DocBench t;
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(1), 0);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(t.doc.Devices().GetDeviceName(1), "No Device Name");
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(t.doc.Devices().GetPresetName(k), "Preset " + std::to_string(k));
    EXPECT_EQ(t.ImageOf(1, 0), t.ImageOf(1, 1)) << "the edit buffer starts as preset 1";
    EXPECT_EQ(t.doc.Devices().CurrentPreset(), 1);
    EXPECT_EQ(t.doc.Devices().PresetModified(), 0);
    EXPECT_TRUE(t.doc.IsModified());
    EXPECT_EQ(t.doc.Devices().IsMarkedPresent(1), 1);
}

TEST(AddDevice, RecordMatchesTheInitialValuesByteByByte) {
    DocBench t;
    const auto expected = ExpectedNewRecord();
    const auto actual = RecordOf(t.doc, 0);
    EXPECT_EQ(FirstDifference(actual, expected), -1);
}

TEST(AddDevice, ReusedSlotStartsClean) {
    DocBench t;
    ASSERT_EQ(t.doc.AddDevice(5), 5);
    const int slot = t.doc.Devices().Location().SlotOf(5);
    ASSERT_EQ(slot, 1);
    // Leftovers of the deleted device: firmware numbers, reserved bytes, image tails.
    t.doc.Devices().Location().SetRecordInt(slot, kRecAppFirmware, 13);
    t.doc.Devices().Location().Record(slot)[100] = 0x55;
    t.doc.Devices().Location().Image(slot, 4)[252] = 0x77;
    ASSERT_EQ(t.doc.DeleteDevice(5), 1);
    ASSERT_EQ(t.doc.AddDevice(9), 9);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(9), slot)
        << "the deleted device's slot is handed out again";
    EXPECT_EQ(FirstDifference(RecordOf(t.doc, slot), ExpectedNewRecord()), -1);
}

TEST(AddDevice, MarksNothingForSendingWhileBuildingImages) {
    DocBench t;
    t.doc.Bus().SetSyncLive(1);
    t.doc.TakeDirtyRange();
    ASSERT_EQ(t.doc.AddDevice(7), 7);
    const auto range = t.doc.Edits().DirtyRange();
    EXPECT_LT(range.second, range.first) << "the images of presets 1..8 are not edit-buffer edits";
    EXPECT_EQ(t.doc.Bus().IsSyncLive(), 1);
}

TEST(AddDevice, KeepsTheSelectionOnTheDeviceBeingEdited) {
    DocBench t;
    ASSERT_EQ(t.doc.AddDevice(40), 40);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(t.doc.Devices().CurrentSlot(), 0);
}

TEST(AddDevice, FullTableIsRefusedAndChangesNothing) {
    DocBench t;
    for (int a = 2; a <= 126; ++a) ASSERT_EQ(t.doc.AddDevice(-1), a);
    EXPECT_EQ(t.doc.Devices().FirstFreeAddress(), -1);
    EXPECT_EQ(t.doc.Devices().FirstFreeSlot(), 126);
    const std::vector<std::uint8_t> before(t.doc.Devices().Location().Data(),
                                           t.doc.Devices().Location().Data() + kLocationSize);
    EXPECT_EQ(t.doc.AddDevice(-1), -1);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), t.doc.Devices().Location().Data()));
    ASSERT_FALSE(t.ui.Information().empty());
    EXPECT_EQ(t.ui.Information().back(), kMsgNoFreeAddress);
}

class AddDeviceOutOfRange : public ::testing::TestWithParam<int> {};

TEST_P(AddDeviceOutOfRange, IsRefusedWithTheAddressRangeAndChangesNothing) {
    DocBench t;
    const std::vector<std::uint8_t> before(t.doc.Devices().Location().Data(),
                                           t.doc.Devices().Location().Data() + kLocationSize);
    EXPECT_EQ(t.doc.AddDevice(GetParam()), -1);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), t.doc.Devices().Location().Data()));
    EXPECT_EQ(t.ui.Information(),
              std::vector<std::string>{"The device address must be between 1 and 126. Please "
                                       "enter a valid device address."});
}

INSTANTIATE_TEST_SUITE_P(Addresses, AddDeviceOutOfRange, ::testing::Values(0, 127, 255, -2));

TEST(AddDevice, TakenAddressIsRefused) {
    DocBench t;
    EXPECT_EQ(t.doc.AddDevice(1), -1);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(1), 0);
    EXPECT_EQ(t.doc.Devices().FirstFreeSlot(), 1);
}

// ---- Lookups ----------------------------------------------------------------------------

TEST(Lookups, EmptyTable) {
    DocBench t(false);
    EXPECT_EQ(t.doc.Devices().SlotOfAddress(1), kNoDevice);
    t.doc.SelectDevice(1);
    EXPECT_EQ(t.doc.Devices().CurrentSlot(), kNoDevice);
    EXPECT_EQ(t.doc.Edits().Data(), nullptr);
    EXPECT_EQ(t.doc.Edits().Get(PF::InputLevel, 0), 0);
    t.doc.Edits().Set(PF::InputLevel, 0, 200);  // nothing to write to; must not touch any record
    EXPECT_EQ(t.doc.Devices().GetDeviceName(1), "");
    EXPECT_EQ(t.doc.Devices().GetPresetName(1), "");
    EXPECT_EQ(t.doc.Devices().CurrentPreset(), 1);
}

TEST(Lookups, BadTableEntriesNeverReachARecord) {
    DocBench t(false);
    for (int32_t bad : {127, 4000, -2, INT32_MIN, INT32_MAX}) {
        std::uint8_t* entry = t.doc.Devices().Location().Data() + kAddressTableOffset + 4 * 3;
        std::memcpy(entry, &bad, 4);
        EXPECT_EQ(t.doc.Devices().Location().SlotOf(3), kNoDevice) << bad;
        EXPECT_FALSE(t.doc.Devices().Location().AddressTableValid());
        t.doc.SelectDevice(3);
        EXPECT_EQ(t.doc.Devices().CurrentSlot(), kNoDevice) << bad;
        EXPECT_EQ(t.doc.Devices().IsDevicePresent(3), 0);
        EXPECT_EQ(t.doc.Devices().FirstFreeAddress(), 1);
    }
}

TEST(Lookups, SelectIgnoresAddressesOutsideTheTable) {
    DocBench t;
    t.doc.SelectDevice(300);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(t.doc.Bus().Link().Address(), 1);
}

TEST(Lookups, SelectBindsLinkAddressAndRecord) {
    DocBench t;
    ASSERT_EQ(t.doc.AddDevice(126), 126);
    t.doc.SelectDevice(126);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 126);
    EXPECT_EQ(t.doc.Bus().Link().Address(), 126);
    EXPECT_EQ(t.doc.Devices().CurrentSlot(), 1);
    EXPECT_EQ(t.doc.Edits().Data(), t.doc.Devices().Location().Image(1, 0));
}

TEST(Lookups, KindConfiguredLooksAtTheSixteenChainSlots) {
    DocBench t;
    EXPECT_EQ(t.doc.IsKindConfigured(5), 0);
    t.doc.Edits().Set(PF::ChainSlot, 0, 15, 5);
    EXPECT_EQ(t.doc.IsKindConfigured(5), 1);
    EXPECT_EQ(t.doc.IsKindConfigured(0), 1) << "empty slots hold code 0";
}

// ---- Deleting and moving -------------------------------------------------------------------

TEST(DeleteDevice, CurrentDeviceGivesWayToTheLowestPresentAddress) {
    DocBench t;
    ASSERT_EQ(t.doc.AddDevice(30), 30);
    ASSERT_EQ(t.doc.AddDevice(20), 20);
    t.doc.SelectDevice(20);
    ASSERT_EQ(t.doc.DeleteDevice(20), 1);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(t.doc.Devices().CurrentSlot(), 0);
    ASSERT_EQ(t.doc.DeleteDevice(1), 1);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 30);
    EXPECT_EQ(t.doc.Devices().CurrentSlot(), t.doc.Devices().Location().SlotOf(30));
    EXPECT_EQ(t.doc.Devices().IsMarkedPresent(1), 0);
}

TEST(DeleteDevice, OtherDeviceLeavesTheSelection) {
    DocBench t;
    ASSERT_EQ(t.doc.AddDevice(5), 5);
    ASSERT_EQ(t.doc.DeleteDevice(5), 1);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(5), kNoDevice);
    EXPECT_EQ(t.doc.Devices().IsDevicePresent(5), 0);
}

TEST(ChangeDeviceAddress, SameAddressIsRefusedAndKeepsTheDevice) {
    DocBench t;
    EXPECT_EQ(t.doc.ChangeDeviceAddress(1, 1), 0);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(1), 0);
    EXPECT_TRUE(t.ui.Questions().empty()) << "nothing to confirm";
    ASSERT_FALSE(t.ui.Information().empty());
}

TEST(ChangeDeviceAddress, CurrentDeviceIsFollowed) {
    DocBench t;
    ASSERT_EQ(t.doc.ChangeDeviceAddress(1, 126), 1);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(126), 0);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(1), kNoDevice);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 126);
    EXPECT_EQ(t.doc.Bus().Link().Address(), 126);
    EXPECT_EQ(t.doc.Devices().CurrentSlot(), 0);
}

struct MoveOntoCase {
    const char* name;
    UiAnswer answer;
    int result;
    int slotAt9;
    int slotAt4;
};

class MoveOntoTaken : public ::testing::TestWithParam<MoveOntoCase> {};

TEST_P(MoveOntoTaken, AsksBeforeOverwriting) {
    const MoveOntoCase& c = GetParam();
    DocBench t;
    ASSERT_EQ(t.doc.AddDevice(4), 4);  // slot 1
    ASSERT_EQ(t.doc.AddDevice(9), 9);  // slot 2
    t.ui.Push(c.answer);
    EXPECT_EQ(t.doc.ChangeDeviceAddress(4, 9), c.result);
    ASSERT_EQ(t.ui.Questions().size(), 1u);
    EXPECT_EQ(t.ui.Questions()[0].text,
              "There is already a device at address 9, do you want to overwrite it?");
    EXPECT_EQ(t.ui.Questions()[0].buttons, ButtonSet::OkCancel);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(9), c.slotAt9);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(4), c.slotAt4);
}

INSTANTIATE_TEST_SUITE_P(Answers, MoveOntoTaken,
                         ::testing::Values(MoveOntoCase{"Ok", UiAnswer::Ok, 1, 1, kNoDevice},
                                           MoveOntoCase{"Cancel", UiAnswer::Cancel, 0, 2, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChangeDeviceAddress, OutOfRangeOrMissingDeviceIsRefused) {
    DocBench t;
    EXPECT_EQ(t.doc.ChangeDeviceAddress(1, 0), 0);
    EXPECT_EQ(t.doc.ChangeDeviceAddress(1, 127), 0);
    EXPECT_EQ(t.doc.ChangeDeviceAddress(50, 60), 0);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(1), 0);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(60), kNoDevice);
}

// ---- Names ---------------------------------------------------------------------------------

TEST(Names, DeviceNameIsCutTo32Characters) {
    DocBench t;
    ASSERT_EQ(t.doc.AddDevice(3), 3);
    const std::string longName(40, 'n');
    ASSERT_EQ(t.doc.SetDeviceName(longName, 3), 1);
    EXPECT_EQ(t.doc.Devices().GetDeviceName(3), std::string(32, 'n'));
    EXPECT_EQ(t.doc.Devices().Location().Record(1)[32], 0) << "terminating zero";
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 1) << "the selection comes back";
}

TEST(Names, PresetNameGoesToThePresetAndTheEditBufferKeepingTheModifiedFlag) {
    DocBench t;
    t.doc.Bus().SetSyncLive(1);
    t.doc.TakeDirtyRange();
    t.doc.Devices().SetPresetModified(0);
    ASSERT_EQ(t.doc.SetPresetName("Stage Left"), 1);
    EXPECT_EQ(t.doc.Devices().GetPresetName(1), "Stage Left");
    EXPECT_EQ(t.doc.Devices().GetPresetName(0), "Stage Left");
    EXPECT_EQ(t.doc.Devices().PresetModified(), 0);
    const auto range = t.doc.Edits().DirtyRange();
    EXPECT_EQ(range.first, 218);
    EXPECT_LE(range.second, 249);
    const std::uint8_t* image = t.doc.Devices().Location().Image(0, 1);
    for (int i = 218 + 10; i < 250; ++i) EXPECT_EQ(image[i], 0) << i;
}

// ---- Recall and store offline ------------------------------------------------------------

TEST(RecallPreset, OfflineCopiesExactly256Bytes) {
    DocBench t;
    for (int image = 0; image < 9; ++image) {
        std::uint8_t* p = t.doc.Devices().Location().Image(0, image);
        for (int i = 0; i < 256; ++i) p[i] = static_cast<std::uint8_t>(image * 16 + i);
    }
    const auto before = RecordOf(t.doc, 0);
    t.doc.Devices().SetPresetModified(0);
    ASSERT_EQ(t.doc.RecallPreset(3, true), 1);
    EXPECT_EQ(t.ImageOf(1, 0), t.ImageOf(1, 3));
    auto after = RecordOf(t.doc, 0);
    // Apart from image 0 and the current preset, nothing in the record changed.
    for (std::size_t i = 0; i < after.size(); ++i) {
        const bool inImage0 = i >= kRecImages && i < kRecImages + kImageSlotSize;
        const bool inPreset = i >= kRecCurrentPreset && i < kRecCurrentPreset + 4;
        if (!inImage0 && !inPreset) {
            ASSERT_EQ(after[i], before[i]) << "record byte " << i;
        }
    }
    EXPECT_EQ(t.doc.Devices().CurrentPreset(), 3);
    EXPECT_EQ(t.doc.Devices().PresetModified(), 0);
}

TEST(RecallPreset, PresetNumberIsTakenAsOneToEight) {
    DocBench t;
    for (int bad : {0, 9, -4, 255}) {
        ASSERT_EQ(t.doc.RecallPreset(bad, false), 1);
        EXPECT_EQ(t.doc.Devices().CurrentPreset(), bad < 1 ? 1 : 8) << bad;
    }
}

TEST(StorePreset, OfflineCopiesTheEditBufferBack) {
    DocBench t;
    t.doc.Edits().Set(PF::EqGraphicGain, 0, 0, 3);
    ASSERT_EQ(t.doc.Devices().PresetModified(), 1);
    ASSERT_EQ(t.doc.StorePreset(), 1);
    EXPECT_EQ(t.ImageOf(1, 1), t.ImageOf(1, 0));
    EXPECT_EQ(t.doc.Devices().PresetModified(), 0);
}

TEST(StorePreset, CorruptCurrentPresetStaysInsideTheRecord) {
    DocBench t;
    t.doc.Devices().Location().SetRecordInt(0, kRecCurrentPreset, 4000);
    const auto image2 = t.ImageOf(1, 2);
    ASSERT_EQ(t.doc.StorePreset(), 1);
    EXPECT_EQ(t.ImageOf(1, 8), t.ImageOf(1, 0)) << "taken as preset 8";
    EXPECT_EQ(t.ImageOf(1, 2), image2);
}

struct SaveQuestionCase {
    const char* name;
    UiAnswer answer;
    bool recalled;  // the edit buffer is preset 2 afterwards
    bool stored;    // preset 1 holds the edit that was made
};

class SaveQuestion : public ::testing::TestWithParam<SaveQuestionCase> {};

TEST_P(SaveQuestion, ModifiedPresetIsOfferedForSavingBeforeRecall) {
    const SaveQuestionCase& c = GetParam();
    DocBench t;
    t.doc.Edits().Set(PF::EqGraphicGain, 0, 0, 3);
    const auto edited = t.ImageOf(1, 0);
    t.ui.Push(c.answer);
    EXPECT_EQ(t.doc.RecallPreset(2, false), 1);
    ASSERT_EQ(t.ui.Questions().size(), 1u);
    EXPECT_EQ(t.ui.Questions()[0].text, kMsgSavePreset);
    EXPECT_EQ(t.ui.Questions()[0].buttons, ButtonSet::YesNoCancel);
    EXPECT_EQ(t.doc.Devices().CurrentPreset(), c.recalled ? 2 : 1);
    EXPECT_EQ(t.ImageOf(1, 0), c.recalled ? t.ImageOf(1, 2) : edited);
    EXPECT_EQ(t.ImageOf(1, 1) == edited, c.stored);
    EXPECT_EQ(t.doc.Devices().PresetModified(), c.recalled ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, SaveQuestion,
                         ::testing::Values(SaveQuestionCase{"Yes", UiAnswer::Yes, true, true},
                                           SaveQuestionCase{"No", UiAnswer::No, true, false},
                                           SaveQuestionCase{"Cancel", UiAnswer::Cancel, false,
                                                            false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecallPreset, NoQuestionBeforeEditingStarted) {
    DocBench t;
    t.doc.SetEditingStarted(false);
    t.doc.Edits().Set(PF::EqGraphicGain, 0, 0, 3);
    EXPECT_EQ(t.doc.RecallPreset(2, false), 1);
    EXPECT_TRUE(t.ui.Questions().empty());
}

TEST(RecallPresetOnAllDevices, ReachesAddress126AndComesBack) {
    DocBench t;
    ASSERT_EQ(t.doc.AddDevice(17), 17);
    ASSERT_EQ(t.doc.AddDevice(126), 126);
    ASSERT_EQ(t.doc.RecallPresetOnAllDevices(6), 1);
    for (int a : {1, 17, 126}) {
        t.doc.SelectDevice(a);
        EXPECT_EQ(t.doc.Devices().CurrentPreset(), 6) << a;
        EXPECT_EQ(t.ImageOf(a, 0), t.ImageOf(a, 6)) << a;
    }
}

// ---- Chains ---------------------------------------------------------------------------------

TEST(Chains, WalkFromEachOutputToItsSource) {
    DocBench t;
    // Channel A: input A -> EQ A (3) -> Comp/Lim A (7) -> output A.
    t.doc.Edits().SetRouting(PF::EqSource, 0, 1);
    t.doc.Edits().SetRouting(PF::ClSource, 0, 3);
    t.doc.Edits().SetRouting(PF::OutputSource, 0, 7);
    // Channel B: pink noise -> Comp/Lim B (10) -> output B.
    t.doc.Edits().SetRouting(PF::ClSource, 1, 17);
    t.doc.Edits().SetRouting(PF::OutputSource, 1, 10);
    t.doc.RecordChains();
    const int expectA[] = {18, 7, 3, 1, 0};
    const int expectB[] = {19, 10, 17, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(t.doc.GetChainNode(0, i), expectA[i]) << i;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(t.doc.GetChainNode(1, i), expectB[i]) << i;
    EXPECT_EQ(t.doc.ChainHoldsKind(0, 5), 1);
    EXPECT_EQ(t.doc.ChainHoldsKind(1, 5), 0);
    EXPECT_EQ(t.doc.ChainHoldsKind(1, 8), 1);
    EXPECT_EQ(t.doc.ChainHoldsKind(0, 0), 0);
}

TEST(Chains, LoopIsCutAtTwelveEntries) {
    DocBench t;
    t.doc.Edits().SetRouting(PF::OutputSource, 0, 3);
    t.doc.Edits().SetRouting(PF::EqSource, 0, 13);
    t.doc.Edits().SetRouting(PF::LpSource, 0, 3);  // EQ A and LP A feed each other
    t.doc.RecordChains();
    EXPECT_EQ(t.doc.GetChainNode(0, 10), 13);
    EXPECT_EQ(t.doc.GetChainNode(0, 11), 3);
    EXPECT_EQ(t.doc.GetChainNode(0, 12), 0) << "outside the list";
}

TEST(Chains, RecordedWhenAnotherImageBecomesCurrent) {
    DocBench t;
    std::uint8_t* image4 = t.doc.Devices().Location().Image(0, 4);
    image4[152] = 1;  // Comp/Lim A fed by input A
    image4[190] = 7;  // output A fed by Comp/Lim A
    ASSERT_EQ(t.doc.RecallPreset(4, false), 1);
    EXPECT_EQ(t.doc.ChainHoldsKind(0, 5), 1);
    ASSERT_EQ(t.doc.AddDevice(2), 2);
    t.doc.SelectDevice(2);
    EXPECT_EQ(t.doc.ChainHoldsKind(0, 5), 0);
    EXPECT_EQ(t.doc.GetChainNode(0, 1), 1);
}

struct IndicatorCase {
    const char* name;
    int bits;
    int outputSourceA;  // node feeding output A (its own source is input A)
    int lit;
};

class Indicators : public ::testing::TestWithParam<IndicatorCase> {};

TEST_P(Indicators, LampFollowsBitsOfBlocksInTheChain) {
    const IndicatorCase& c = GetParam();
    DocBench t;
    t.doc.Edits().SetRouting(PF::EqSource, 0, 1);
    t.doc.Edits().SetRouting(PF::ClSource, 0, 1);
    t.doc.Edits().SetRouting(PF::ClSource, 1, 1);
    t.doc.Edits().SetRouting(PF::OutputSource, 0, c.outputSourceA);
    t.doc.RecordChains();
    MeterRecord meters;
    meters.indicatorBits = static_cast<std::uint8_t>(c.bits);
    t.doc.Bus().StoreMeters(meters);
    EXPECT_EQ(t.doc.AnyIndicatorLit(0), c.lit);
    EXPECT_EQ(t.doc.AnyIndicatorLit(5), 0);
}

INSTANTIATE_TEST_SUITE_P(Bits, Indicators,
                         ::testing::Values(IndicatorCase{"EqABitWithEqA", 0x01, 3, 1},
                                           IndicatorCase{"EqBBitWithEqA", 0x02, 3, 0},
                                           IndicatorCase{"CompABit3WithCompA", 0x08, 7, 1},
                                           IndicatorCase{"CompBBitsWithCompB", 0x30, 10, 1},
                                           IndicatorCase{"CompBBitsWithCompA", 0x30, 7, 0},
                                           IndicatorCase{"NoBits", 0x00, 7, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace arvestra::testing
