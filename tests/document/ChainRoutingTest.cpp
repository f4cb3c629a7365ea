// The routing applied to the document: clean-up in the image, sources and chain lists, the
// order in which a live device receives the sources, and waits that cannot end.
#include <gtest/gtest.h>

#include <vector>

#include "document/ChainRouting.h"
#include "document/DocTestSupport.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;

void Chain(CQ7310Doc& doc, std::initializer_list<std::pair<int, int>> slots) {
    for (const auto& [slot, code] : slots) doc.Edits().SetConfig(PF::ChainSlot, slot, code);
}

TEST(ApplyRouting, CleansTheImageAndWritesSourcesAndChainLists) {
    DocBench t;
    // EQ A twice, Low Pass A in the channel 2 chain, an unknown code, EQ A left in the palette.
    Chain(t.doc, {{0, 1}, {3, 1}, {9, 11}});
    t.doc.Edits().Data()[196 + 5] |= 0x0F;  // a file may hold 15, which the setters never write
    ASSERT_EQ(ApplyRouting(t.doc), 1);
    EXPECT_EQ(t.doc.Edits().Get(PF::ChainSlot, 0, 0), 1);
    EXPECT_EQ(t.doc.Edits().Get(PF::ChainSlot, 0, 3), 0) << "the repeat is cleared";
    EXPECT_EQ(t.doc.Edits().Get(PF::ChainSlot, 0, 5), 0) << "the unknown code is cleared";
    EXPECT_EQ(t.doc.Edits().Get(PF::PalettePosition, 0, 0), 0) << "EQ A sits in the chain";
    EXPECT_EQ(t.doc.Edits().Get(PF::PalettePosition, 0, 1), 0) << "Low Pass A sits in the chain";
    EXPECT_EQ(t.doc.Edits().Get(PF::PalettePosition, 0, 2), 13) << "High Pass A stays";
    EXPECT_EQ(t.doc.Edits().Get(PF::EqSource, kChannelA), 1);
    EXPECT_EQ(t.doc.Edits().Get(PF::OutputSource, kChannelA), 3);
    EXPECT_EQ(t.doc.Edits().Get(PF::LpSource, kChannelA), 2);
    EXPECT_EQ(t.doc.Edits().Get(PF::OutputSource, kChannelB), 13);
    EXPECT_EQ(t.doc.ChainHoldsKind(kChannelB, 11), 1) << "Low Pass A is in channel B's list";
    EXPECT_EQ(t.doc.ChainHoldsKind(kChannelA, 11), 0);
    EXPECT_EQ(t.doc.GetChainNode(kChannelB, 0), 19);
    EXPECT_EQ(t.doc.GetChainNode(kChannelB, 1), 13);
    EXPECT_EQ(t.doc.GetChainNode(kChannelB, 2), 2);
}

TEST(ApplyRouting, ATiePositionBeyondTheLastPointWritesNothingOutsideTheChains) {
    DocBench t;
    Chain(t.doc, {{7, 13}, {14, 12}});
    // A file may hold 9..15 in the four bits of a tie position.
    t.doc.Edits().Data()[212] = static_cast<std::uint8_t>((15 << 1) | 0x20 | 0x40);
    t.doc.Edits().Data()[213] = static_cast<std::uint8_t>(3 << 1);
    ASSERT_EQ(ApplyRouting(t.doc), 1);
    EXPECT_EQ(t.doc.Edits().Get(PF::LpSource, kChannelB), 15)
        << "tapped after High Pass A, the last slot";
}

// The first byte offset of each CMD_WRITE_IMAGE that carries a source-node byte.
std::vector<int> SourceWriteOffsets(FakeDevice& device) {
    const std::vector<int> sourceBytes{1, 66, 130, 133, 136, 139, 144, 148, 152, 171, 190, 192};
    std::vector<int> offsets;
    for (const Request& r : device.RequestsOf(CMD_WRITE_IMAGE)) {
        const int first = r.payload[1];
        const int last = first + static_cast<int>(r.payload.size()) - 3;
        for (int b : sourceBytes) {
            if (b >= first && b <= last) {
                offsets.push_back(first);
                break;
            }
        }
    }
    return offsets;
}

TEST(ApplyRouting, ALiveDeviceReceivesTheSourcesOneAtATimeInSlotOrder) {
    DocBench t;
    t.GoOnline();
    t.doc.Bus().EnableSync();
    Chain(t.doc, {{0, 1}, {1, 11}, {8, 2}, {10, 8}});
    ASSERT_EQ(ApplyRouting(t.doc), 1);
    ASSERT_EQ(t.doc.Bus().WaitDirtyFlushed(), 1);
    // EQ A, EQ B, Low Pass A, Comp/Lim B, then both outputs together.
    EXPECT_EQ(SourceWriteOffsets(t.device), (std::vector<int>{1, 66, 130, 171, 190}));
    ASSERT_TRUE(WaitUntil([&] {
        std::lock_guard<std::mutex> lock(t.device.mutex);
        return t.device.images[0][192] == 10;
    }));
    std::lock_guard<std::mutex> lock(t.device.mutex);
    EXPECT_EQ(t.device.images[0][190], 13);
    EXPECT_EQ(t.device.images[0][130] & 0x3F, 3);
    EXPECT_TRUE(t.ui.Questions().empty());
}

// A pending edit that nobody will send must not hold the routing update for ten seconds and
// end in a false "Cannot communicate".
struct StuckCase {
    const char* name;
    int online;
    int syncLive;
};

class RoutingWithoutAWorker : public ::testing::TestWithParam<StuckCase> {};

TEST_P(RoutingWithoutAWorker, SucceedsAtOnce) {
    const StuckCase& c = GetParam();
    DocBench t;
    t.app.SetOnline(c.online);  // no active document: only the flag changes
    t.doc.Bus().SetSyncLive(c.syncLive);
    Chain(t.doc, {{0, 1}});
    t.doc.Edits().MarkDirty(40);
    t.clock.SetYieldStep(1000);
    const std::int64_t start = t.clock.NowSeconds();
    EXPECT_EQ(ApplyRouting(t.doc), 1);
    EXPECT_LT(t.clock.NowSeconds() - start, 2);
    EXPECT_TRUE(t.ui.Questions().empty());
    EXPECT_EQ(t.doc.Edits().Get(PF::OutputSource, kChannelA), 3);
}

INSTANTIATE_TEST_SUITE_P(States, RoutingWithoutAWorker,
                         ::testing::Values(StuckCase{"OfflineWithAPendingEdit", 0, 0},
                                           StuckCase{"OnlineBeforeTheWorkerStarted", 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ApplyRouting, AWaitThatGivesUpFailsAndStopsWriting) {
    DocBench t;
    t.GoOnline();  // the worker runs but is never enabled: nothing is sent
    Chain(t.doc, {{0, 1}, {1, 11}});
    t.clock.SetYieldStep(1000);
    t.ui.Push(UiAnswer::Yes);
    EXPECT_EQ(ApplyRouting(t.doc), 0);
    ASSERT_EQ(t.ui.Questions().size(), 1u);
    EXPECT_EQ(t.doc.Edits().Get(PF::LpSource, kChannelA), 0) << "nothing after the failed wait";
}

}  // namespace
}  // namespace arvestra::testing
