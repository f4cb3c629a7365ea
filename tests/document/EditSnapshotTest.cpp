// The bytes an edit changed, and writing them back: what the editor's undo and redo are made of.
#include <gtest/gtest.h>

#include <functional>

#include "document/ABCompare.h"
#include "document/DocTestSupport.h"
#include "document/EditSnapshot.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;

TEST(EditSnapshots, UnchangedBytesGiveNoChanges) {
    DocBench bench;
    const CEditSnapshot snapshot(bench.doc);
    bench.doc.Set(PF::HpCutoff, kChannelA, 0, bench.doc.Get(PF::HpCutoff, kChannelA));
    EXPECT_TRUE(snapshot.ChangesSince(bench.doc).empty());
    EXPECT_TRUE(CEditSnapshot().ChangesSince(bench.doc).empty());
    EXPECT_FALSE(CEditSnapshot().Comparable(bench.doc));
}

struct EndingCase {
    const char* name;
    std::function<void(DocBench&)> step;
};

class EditSnapshotEnds : public ::testing::TestWithParam<EndingCase> {};

// After these the recorded bytes no longer describe edits of the buffer the user sees.
TEST_P(EditSnapshotEnds, WhenTheBufferOrTheDeviceListChangesWhole) {
    DocBench bench;
    bench.doc.AddDevice(7);
    bench.doc.SelectDevice(1);
    bench.doc.Set(PF::HpCutoff, kChannelA, 0, 9);
    const CEditSnapshot snapshot(bench.doc);
    ASSERT_TRUE(snapshot.Comparable(bench.doc));
    bench.doc.Set(PF::HpCutoff, kChannelA, 0, 12);
    GetParam().step(bench);
    EXPECT_FALSE(snapshot.Comparable(bench.doc));
    EXPECT_TRUE(snapshot.ChangesSince(bench.doc).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, EditSnapshotEnds,
    ::testing::Values(
        EndingCase{"Recall",
                   [](DocBench& b) {
                       b.doc.SetEditingStarted(false);
                       b.doc.RecallPreset(2, true);
                   }},
        EndingCase{"Store", [](DocBench& b) { b.doc.StorePreset(); }},
        EndingCase{"Add", [](DocBench& b) { b.doc.AddDevice(9); }},
        EndingCase{"Delete", [](DocBench& b) { b.doc.DeleteDevice(7); }},
        EndingCase{"NewAddress", [](DocBench& b) { b.doc.ChangeDeviceAddress(7, 8); }},
        EndingCase{"OtherDevice", [](DocBench& b) { b.doc.SelectDevice(7); }},
        EndingCase{"EmptyLocation", [](DocBench& b) { b.doc.FormatEmptyLocation(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditSnapshots, ReplaySelectsTheDeviceTheEditWasMadeOn) {
    DocBench bench;
    bench.doc.AddDevice(4);
    bench.doc.SelectDevice(4);
    const CEditSnapshot snapshot(bench.doc);
    bench.doc.Set(PF::EqGraphicGain, kChannelA, 3, 50);
    const std::vector<ByteChange> changes = snapshot.ChangesSince(bench.doc);
    bench.doc.SelectDevice(1);
    ASSERT_TRUE(ReplayChanges(bench.doc, 4, changes, true));
    EXPECT_EQ(bench.doc.Devices().CurrentAddress(), 4);
    EXPECT_EQ(bench.doc.Get(PF::EqGraphicGain, kChannelA, 3), 30);
    EXPECT_FALSE(ReplayChanges(bench.doc, 99, changes, false));
}

TEST(EditSnapshots, ARestoredByteOutsideTheImageIsIgnoredAndOneInsideFlagsTheChange) {
    DocBench bench;
    const std::vector<uint8_t> before = bench.ImageOf(1, 0);
    bench.doc.Devices().SetPresetModified(0);
    for (const int offset : {-1, 250, 255, 100000}) bench.doc.RestoreImageByte(offset, 0xAA);
    EXPECT_EQ(bench.ImageOf(1, 0), before);
    EXPECT_EQ(bench.doc.Devices().PresetModified(), 0);
    bench.doc.RestoreImageByte(249, 0x41);
    EXPECT_EQ(bench.ImageOf(1, 0)[249], 0x41);
    EXPECT_EQ(bench.doc.Devices().PresetModified(), 1);
    EXPECT_TRUE(bench.doc.IsModified());
}

// ---- A/B compare
// ---------------------------------------------------------------------------------

TEST(ABCompares, SwapKeepsTwoVersionsAndTheDeviceFollowsWhenLive) {
    DocBench bench;
    CQ7310Doc& doc = bench.doc;
    CABCompare compare;
    EXPECT_EQ(compare.Active(doc), CABCompare::Version::A);
    const std::vector<uint8_t> a = bench.ImageOf(1, 0);
    ASSERT_TRUE(compare.Swap(doc));  // B starts as a copy of A
    EXPECT_EQ(compare.Active(doc), CABCompare::Version::B);
    EXPECT_EQ(bench.ImageOf(1, 0), a);
    doc.Set(PF::EqGraphicGain, kChannelA, 0, 10);
    doc.Set(PF::DelayLow, kChannelB, 0, 99);
    const std::vector<uint8_t> b = bench.ImageOf(1, 0);

    doc.Bus().SetSyncLive(1);
    doc.TakeDirtyRange();
    ASSERT_TRUE(compare.Swap(doc));
    EXPECT_EQ(compare.Active(doc), CABCompare::Version::A);
    EXPECT_EQ(bench.ImageOf(1, 0), a);
    const auto range = doc.DirtyRange();  // exactly the two differing bytes are sent
    EXPECT_EQ(range.first, FieldOffset(PF::EqGraphicGain, kChannelA, 0));
    EXPECT_EQ(range.second, FieldOffset(PF::DelayLow, kChannelB));
    ASSERT_TRUE(compare.Swap(doc));
    EXPECT_EQ(bench.ImageOf(1, 0), b);
    EXPECT_EQ(compare.Active(doc), CABCompare::Version::B);
}

TEST(ABCompares, ARecallOrAnotherDeviceStartsOverWithA) {
    DocBench bench;
    bench.doc.AddDevice(2);
    bench.doc.SelectDevice(1);
    CABCompare compare;
    compare.Swap(bench.doc);
    bench.doc.SelectDevice(2);
    EXPECT_EQ(compare.Active(bench.doc), CABCompare::Version::A);
    bench.doc.SelectDevice(1);
    EXPECT_EQ(compare.Active(bench.doc), CABCompare::Version::B);
    bench.doc.SetEditingStarted(false);
    bench.doc.RecallPreset(3, true);
    EXPECT_EQ(compare.Active(bench.doc), CABCompare::Version::A);
    bench.doc.FormatEmptyLocation();
    EXPECT_FALSE(compare.Swap(bench.doc));
}

}  // namespace
}  // namespace arvestra::testing
