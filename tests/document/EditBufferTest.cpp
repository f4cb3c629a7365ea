// The edit buffer's announcements: which bytes an edit changed, before and after, and why; and
// when the buffer is replaced whole, so that edits recorded before no longer apply.
#include <gtest/gtest.h>

#include <functional>

#include "document/DocCopy.h"
#include "document/DocTestSupport.h"
#include "document/EditBuffer.h"
#include "document/SettingsJson.h"
#include "link/DeviceCommands.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;

// Every announcement of a document's edit buffer, in order.
struct Announcements {
    explicit Announcements(EditBuffer& buffer) : buffer(buffer) {
        id = buffer.Listen([this](const EditEvent& event) { events.push_back(event); });
    }
    ~Announcements() { buffer.Unlisten(id); }
    std::vector<int> Offsets(std::size_t i) const {
        std::vector<int> out;
        for (const ByteChange& c : events.at(i).changes) out.push_back(c.offset);
        return out;
    }
    EditBuffer& buffer;
    EditListenerId id = 0;
    std::vector<EditEvent> events;
};

struct ChangeCase {
    const char* name;
    std::function<void(CQ7310Doc&)> edit;
    std::vector<int> offsets;  // announced, in the order written; empty: no announcement
};

class EditAnnouncements : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(EditAnnouncements, NameTheBytesWrittenOnceAndInOrder) {
    DocBench bench;
    Announcements heard(bench.doc.Edits());
    GetParam().edit(bench.doc);
    if (GetParam().offsets.empty()) {
        EXPECT_TRUE(heard.events.empty());
        return;
    }
    ASSERT_EQ(heard.events.size(), 1u);
    EXPECT_EQ(heard.Offsets(0), GetParam().offsets);
    EXPECT_EQ(heard.events[0].address, 1);
    EXPECT_EQ(heard.events[0].image, 0);
    EXPECT_EQ(heard.events[0].reason, EditReason::Page);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditAnnouncements,
    ::testing::Values(ChangeCase{"OneChannel",
                                 [](CQ7310Doc& d) { d.Edits().Set(PF::EqGraphicGain, 1, 5, 70); },
                                 {74}},
                      ChangeCase{"SameValue",
                                 [](CQ7310Doc& d) { d.Edits().Set(PF::EqGraphicGain, 1, 5, 30); },
                                 {}},
                      ChangeCase{"LinkedWritesAThenB",
                                 [](CQ7310Doc& d) {
                                     const EditScope page(d.Edits(), EditReason::Page);
                                     d.Edits().Set(PF::EqMaster, kChannelA, 1);
                                     d.Edits().Set(PF::EqGraphicGain, kChannelB, 5, 36);
                                 },
                                 {1, 9, 74}},
                      ChangeCase{"MasterCopiesTheBlock",
                                 [](CQ7310Doc& d) {
                                     const EditScope page(d.Edits(), EditReason::Page);
                                     d.Edits().Set(PF::LpCutoff, kChannelB, 40);
                                     d.Edits().SetMasterWithCopy(FieldBlock::LowPass, kChannelB, 1);
                                 },
                                 {137, 136, 131}},
                      ChangeCase{"DelayBytesLowFirst",
                                 [](CQ7310Doc& d) { d.Edits().SetDelaySamples(0, 300); },
                                 {147, 146}},
                      ChangeCase{"WrittenAndPutBack",
                                 [](CQ7310Doc& d) {
                                     const EditScope page(d.Edits(), EditReason::Page);
                                     d.Edits().Set(PF::HpCutoff, kChannelA, 9);
                                     d.Edits().Set(PF::HpCutoff, kChannelA, 0);
                                 },
                                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditAnnouncement, CarriesTheBytesBeforeAndAfterAndTheScopesReason) {
    DocBench bench;
    Announcements heard(bench.doc.Edits());
    {
        const EditScope remote(bench.doc.Edits(), EditReason::Remote);
        const EditScope inner(bench.doc.Edits(), EditReason::Undo);  // the outermost counts
        bench.doc.Edits().Set(PF::InputLevel, kChannelB, 200);
        bench.doc.Edits().Set(PF::InputLevel, kChannelB, 210);
        EXPECT_TRUE(heard.events.empty());  // nothing before the scope ends
    }
    ASSERT_EQ(heard.events.size(), 1u);
    EXPECT_EQ(heard.events[0].reason, EditReason::Remote);
    EXPECT_EQ(heard.events[0].changes, (std::vector<ByteChange>{{143, 192, 210}}));
}

TEST(EditAnnouncement, AListenerMayLeaveWhileBeingToldAndHearsNothingAfter) {
    DocBench bench;
    EditBuffer& edits = bench.doc.Edits();
    int calls = 0;
    EditListenerId id = 0;
    id = edits.Listen([&](const EditEvent&) {
        ++calls;
        edits.Unlisten(id);
    });
    bench.doc.Edits().Set(PF::EqGraphicGain, kChannelA, 0, 1);
    bench.doc.Edits().Set(PF::EqGraphicGain, kChannelA, 0, 2);
    EXPECT_EQ(calls, 1);
}

TEST(EditAnnouncement, NamesTheImageANewRecordsSetUpWrites) {
    DocBench bench;
    Announcements heard(bench.doc.Edits());
    bench.doc.AddDevice(5);
    std::vector<int> images;
    for (const EditEvent& e : heard.events) {
        if (e.replaced) continue;
        images.push_back(e.image);
        EXPECT_EQ(e.reason, EditReason::DeviceSetup);
    }
    ASSERT_FALSE(images.empty());
    EXPECT_EQ(images.front(), 0);
    EXPECT_EQ(images.back(), 8);
}

struct ReplacementCase {
    const char* name;
    std::function<void(DocBench&)> step;
    bool replaces;
};

class BufferReplacement : public ::testing::TestWithParam<ReplacementCase> {};

// After these the recorded bytes no longer describe edits of the buffer the user sees.
TEST_P(BufferReplacement, IsAnnouncedOnlyWhenTheBufferOrTheDeviceListChangedWhole) {
    DocBench bench;
    bench.doc.AddDevice(7);
    bench.doc.SelectDevice(1);
    bench.doc.Edits().Set(PF::HpCutoff, kChannelA, 0, 12);
    Announcements heard(bench.doc.Edits());
    const std::uint64_t epoch = bench.doc.Edits().HistoryEpoch();
    GetParam().step(bench);
    bool replaced = false;
    for (const EditEvent& e : heard.events) replaced = replaced || e.replaced;
    EXPECT_EQ(replaced, GetParam().replaces);
    EXPECT_EQ(bench.doc.Edits().HistoryEpoch() != epoch, GetParam().replaces);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, BufferReplacement,
    ::testing::Values(
        ReplacementCase{"Recall",
                        [](DocBench& b) {
                            b.doc.SetEditingStarted(false);
                            b.doc.RecallPreset(2, true);
                        },
                        true},
        ReplacementCase{"Store", [](DocBench& b) { b.doc.StorePreset(); }, true},
        ReplacementCase{"Add", [](DocBench& b) { b.doc.AddDevice(9); }, true},
        ReplacementCase{"Delete", [](DocBench& b) { b.doc.DeleteDevice(7); }, true},
        ReplacementCase{"NewAddress", [](DocBench& b) { b.doc.ChangeDeviceAddress(7, 8); }, true},
        ReplacementCase{"EmptyLocation", [](DocBench& b) { b.doc.FormatEmptyLocation(); }, true},
        // A copy or an import into the open location replaces what it reaches, as a recall
        // does: an undo afterwards would leave the device half one thing, half another.
        ReplacementCase{"CopyIntoLocation",
                        [](DocBench& b) {
                            CopyRequest request;
                            request.what = CopyWhat::Preset;
                            request.fromAddress = 7;
                            request.fromImage = 2;
                            request.toAddresses = {1};
                            request.toImages = {0, 3};
                            ASSERT_EQ(CopyIntoDocument(b.doc, b.doc.Devices().Location(), request),
                                      "");
                        },
                        true},
        ReplacementCase{"ImportPreset",
                        [](DocBench& b) {
                            const std::string json =
                                ExportPresetJson(b.doc.Devices().Location(), 7, 2);
                            ASSERT_FALSE(ImportSettingsJson(b.doc, json).refused);
                        },
                        true},
        ReplacementCase{"OtherDevice", [](DocBench& b) { b.doc.SelectDevice(7); }, false},
        ReplacementCase{"AnEdit", [](DocBench& b) { b.doc.Edits().Set(PF::HpCutoff, 0, 0, 3); },
                        false}),
    [](const auto& info) { return std::string(info.param.name); });

// Saving online reads every device back: a device that holds what the document holds replaces
// nothing, so the undo history and the A/B versions survive the save.
TEST(ReadBack, OfTheBytesTheDocumentHoldsIsNoEditAndOfOthersEndsTheHistory) {
    DocBench bench;
    bench.doc.Edits().Set(PF::EqGraphicGain, kChannelA, 3, 44);
    for (int image = 0; image < kImageCount; ++image) {
        const std::vector<uint8_t> held = bench.ImageOf(1, image);
        std::copy(held.begin(), held.end(),
                  bench.device.images[static_cast<std::size_t>(image)].begin());
    }
    bench.GoOnline();
    Announcements heard(bench.doc.Edits());
    const std::uint64_t epoch = bench.doc.Edits().HistoryEpoch();
    ASSERT_EQ(bench.doc.UploadAllDevices(), 1);
    EXPECT_EQ(bench.doc.Edits().HistoryEpoch(), epoch);
    EXPECT_TRUE(heard.events.empty());

    bench.device.images[0][FieldOffset(PF::EqGraphicGain, kChannelA, 3)] = 20;
    ASSERT_EQ(bench.doc.UploadAllDevices(), 1);
    EXPECT_NE(bench.doc.Edits().HistoryEpoch(), epoch);
    ASSERT_FALSE(heard.events.empty());
    EXPECT_EQ(heard.events.front().reason, EditReason::DeviceRead);
    EXPECT_EQ(heard.events.front().changes,
              (std::vector<ByteChange>{{FieldOffset(PF::EqGraphicGain, kChannelA, 3), 44, 20}}));
    EXPECT_TRUE(heard.events.back().replaced);
}

// Undo, redo and A/B write source bytes without the configuration page: the chain lists that
// drive the lamps follow them all the same.
TEST(ChainRecords, FollowASourceWrittenByAnyone) {
    DocBench bench;
    bench.doc.RecordChains();
    ASSERT_EQ(bench.doc.GetChainNode(kChannelA, 1), 1);  // output A fed by input A
    bench.doc.Edits().RestoreByte(FieldOffset(PF::OutputSource, kChannelA), 3);
    EXPECT_EQ(bench.doc.GetChainNode(kChannelA, 1), 3);
}

}  // namespace
}  // namespace arvestra::testing
