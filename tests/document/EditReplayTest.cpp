// Writing recorded bytes back, and the A/B versions: what the editor's undo, redo and compare are
// made of.
#include <gtest/gtest.h>

#include "document/ABCompare.h"
#include "document/DocTestSupport.h"
#include "document/EditReplay.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;

TEST(EditReplay, SelectsTheDeviceTheEditWasMadeOn) {
    DocBench bench;
    bench.doc.AddDevice(4);
    bench.doc.SelectDevice(4);
    std::vector<ByteChange> changes;
    const EditListenerId id =
        bench.doc.Edits().Listen([&changes](const EditEvent& event) { changes = event.changes; });
    bench.doc.Edits().Set(PF::EqGraphicGain, kChannelA, 3, 50);
    bench.doc.Edits().Unlisten(id);
    bench.doc.SelectDevice(1);
    ASSERT_TRUE(ReplayChanges(bench.doc, 4, changes, EditReason::Undo));
    EXPECT_EQ(bench.doc.Devices().CurrentAddress(), 4);
    EXPECT_EQ(bench.doc.Edits().Get(PF::EqGraphicGain, kChannelA, 3), 30);
    ASSERT_TRUE(ReplayChanges(bench.doc, 4, changes, EditReason::Redo));
    EXPECT_EQ(bench.doc.Edits().Get(PF::EqGraphicGain, kChannelA, 3), 50);
    EXPECT_FALSE(ReplayChanges(bench.doc, 99, changes, EditReason::Redo));
}

TEST(EditReplay, ARestoredByteOutsideTheImageIsIgnoredAndOneInsideFlagsTheChange) {
    DocBench bench;
    const std::vector<uint8_t> before = bench.ImageOf(1, 0);
    bench.doc.Devices().SetPresetModified(0);
    for (const int offset : {-1, 250, 255, 100000}) bench.doc.Edits().RestoreByte(offset, 0xAA);
    EXPECT_EQ(bench.ImageOf(1, 0), before);
    EXPECT_EQ(bench.doc.Devices().PresetModified(), 0);
    bench.doc.Edits().RestoreByte(249, 0x41);
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
    doc.Edits().Set(PF::EqGraphicGain, kChannelA, 0, 10);
    doc.Edits().Set(PF::DelayLow, kChannelB, 0, 99);
    const std::vector<uint8_t> b = bench.ImageOf(1, 0);

    doc.Bus().SetSyncLive(true);
    doc.TakeDirtyRange();
    ASSERT_TRUE(compare.Swap(doc));
    EXPECT_EQ(compare.Active(doc), CABCompare::Version::A);
    EXPECT_EQ(bench.ImageOf(1, 0), a);
    const auto range = doc.Edits().DirtyRange();  // exactly the two differing bytes are sent
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
