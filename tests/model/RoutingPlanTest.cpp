// The routing derived from chains, pink noise selects and the tie; the clean-up of chains and
// palette; the order of the source writes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/RoutingPlan.h"

namespace arvestra {
namespace {

// Chain slots given as (slot, code) pairs; everything else empty.
RoutingConfig Chains(std::vector<std::pair<int, int>> slots) {
    RoutingConfig config;
    for (const auto& [slot, code] : slots) config.chainSlots[static_cast<std::size_t>(slot)] = code;
    return config;
}

RoutingConfig Tied(RoutingConfig config, int direction, int positionA, int positionB) {
    config.tie.enabled = true;
    config.tie.direction = direction;
    config.tie.position = {positionA, positionB};
    return config;
}

RoutingConfig WithPink(RoutingConfig config, int a, int b) {
    config.pink = {a, b};
    return config;
}

struct PlanCase {
    const char* name;
    RoutingConfig config;
    std::map<int, int> sources;  // node -> expected source; every other node 0
};

class Plan : public testing::TestWithParam<PlanCase> {};

TEST_P(Plan, DerivesEverySource) {
    const PlanCase& c = GetParam();
    const RoutingPlan plan = PlanRouting(c.config);
    for (int node = 0; node < kRoutingNodeCount; ++node) {
        const auto it = c.sources.find(node);
        EXPECT_EQ(plan.sources[static_cast<std::size_t>(node)],
                  it == c.sources.end() ? 0 : it->second)
            << "node " << node;
    }
}

// EQ A code 1 (node 3), EQ B 2 (4), Delay A 3 (5), Low Pass A 11 (13), Low Pass B 12 (14),
// High Pass A 13 (15), Comp/Lim B 8 (10).
INSTANTIATE_TEST_SUITE_P(
    Routing, Plan,
    testing::Values(
        PlanCase{"EmptyChainsFeedTheOutputsTheirInputs", {}, {{18, 1}, {19, 2}}},
        PlanCase{
            "EmptyChainWithPinkFeedsTheOutputPinkNoise", WithPink({}, 1, 0), {{18, 17}, {19, 2}}},
        PlanCase{"BlocksFollowEachOtherAcrossGaps",
                 Chains({{0, 1}, {3, 11}, {7, 13}}),
                 {{3, 1}, {13, 3}, {15, 13}, {18, 15}, {19, 2}}},
        PlanCase{"PinkFeedsTheFirstOccupiedSlot",
                 WithPink(Chains({{2, 1}, {9, 2}}), 1, 0),
                 {{3, 17}, {18, 3}, {4, 2}, {19, 4}}},
        PlanCase{"LowPassAInTheChannel2ChainIsFedByInput2",
                 Chains({{8, 11}}),
                 {{13, 2}, {18, 1}, {19, 13}}},
        PlanCase{"TieAtPositions0And8FeedsInputAToOutputB",
                 Tied(Chains({{0, 1}, {8, 2}}), 1, 0, 8),
                 {{3, 1}, {18, 3}, {4, 2}, {19, 1}}},
        PlanCase{"TieFromAfterSlot1OfBIntoSlot2OfA",
                 Tied(Chains({{0, 1}, {2, 11}, {8, 2}, {9, 8}}), 0, 2, 2),
                 {{3, 1}, {13, 10}, {18, 13}, {4, 2}, {10, 4}, {19, 10}}},
        PlanCase{"TieTapsPinkWhenTheFeedingChainStartsWithPink",
                 WithPink(Tied(Chains({{8, 2}}), 0, 0, 0), 0, 1),
                 {{18, 17}, {4, 17}, {19, 4}}},
        PlanCase{"TieTapBeyondTheLastPointIsTheLastPoint",
                 Tied(Chains({{7, 13}, {14, 12}}), 1, 15, 3),
                 {{15, 1}, {18, 15}, {14, 15}, {19, 14}}},
        PlanCase{"UnknownCodesAreNeitherTapNorTiedBlock",
                 Tied(Chains({{1, 15}, {9, 15}}), 1, 8, 0),
                 {{18, 1}, {19, 1}}},
        PlanCase{"UnknownCodesFeedNothing", Chains({{0, 15}, {1, 9}, {8, 6}}), {{18, 1}, {19, 2}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Plan, FeedNamesTheNodeBeforeEachBlockAndTheTapForTheTiedBlock) {
    const RoutingPlan plan = PlanRouting(Tied(Chains({{1, 1}, {8, 2}, {12, 12}}), 1, 2, 1));
    EXPECT_EQ(plan.feed[0][1], 1);
    EXPECT_EQ(plan.feed[1][0], 2);
    EXPECT_EQ(plan.feed[1][4], 3) << "the tied chain's first block after its tie point";
}

TEST(TiePosition, IsLimitedToTheNineTiePoints) {
    const std::vector<std::pair<int, int>> cases{{-1, 0}, {0, 0}, {8, 8}, {9, 8}, {15, 8}};
    for (const auto& [stored, used] : cases) EXPECT_EQ(LimitTiePosition(stored), used) << stored;
}

// ---- Clean-up ---------------------------------------------------------------------------------

TEST(Clean, KeepsFirstOccurrencesAndEmptySlots) {
    RoutingConfig config = Chains({{0, 1}, {1, 0}, {2, 1}, {3, 6}, {4, 15}, {8, 11}, {15, 11}});
    config.palette = {1, 13, 13, 5, 3, 15, 2, 12, 14, 8, 4, 11};
    const CleanedRouting cleaned = CleanRouting(config);
    const std::array<int, 16> slots{1, 0, 0, 0, 0, 0, 0, 0, 11, 0, 0, 0, 0, 0, 0, 0};
    const std::array<int, 12> palette{0, 13, 0, 5, 3, 0, 2, 12, 14, 8, 4, 0};
    EXPECT_EQ(cleaned.chainSlots, slots);
    EXPECT_EQ(cleaned.palette, palette) << "chained, repeated and unknown codes leave the palette";
}

// ---- Write order ------------------------------------------------------------------------------

TEST(WriteOrder, SlotBySlotChannelABeforeBThenOutputsThenClears) {
    const RoutingConfig config = Chains({{0, 1}, {1, 11}, {8, 2}, {10, 8}});
    const std::vector<SourceWrite> writes = RoutingWriteOrder(config, PlanRouting(config));
    std::vector<std::tuple<int, int, bool>> got;
    for (const SourceWrite& w : writes) got.emplace_back(w.node, w.source, w.waitAfter);
    const std::vector<std::tuple<int, int, bool>> expected{
        {3, 1, true},    {4, 2, true},   {13, 3, true},  {10, 4, true},
        {18, 13, false}, {19, 10, true}, {5, 0, false},  {6, 0, false},
        {7, 0, false},   {14, 0, false}, {15, 0, false}, {16, 0, false}};
    EXPECT_EQ(got, expected);
}

}  // namespace
}  // namespace arvestra
