#include "ui/controls/MeterGeometry.h"

#include <gtest/gtest.h>

namespace arvestra {
namespace {

// The input meters of the main view: 153 x 9 pixels, range 0..90. Inside the outline the bar
// runs over columns 1..151 (W = 151); zone ends 1 + round(0.6 W) = 92, 1 + round(0.8 W) = 122
// and 152. Segment groups start at columns 1, 4, 7, ...
constexpr int kWidth = 153;
constexpr int kHeight = 9;

MeterLayout InputMeter(int position) {
    return ComputeMeterLayout({kWidth, kHeight, 0, 90, position});
}

MeterInk ColumnInk(const MeterLayout& layout, int x) {
    return layout.columns.at(static_cast<std::size_t>(x - layout.inner.left));
}

TEST(MeterGeometry, BarLiesInsideTheOutline) {
    const MeterLayout layout = InputMeter(0);
    EXPECT_EQ(layout.inner, (PixelRect{1, 1, 152, 8}));
    EXPECT_EQ(layout.columns.size(), 151u);
    EXPECT_EQ(layout.zoneEnds, (std::array<int, 3>{92, 122, 152}));
}

TEST(MeterGeometry, ZoneEndsRoundToTheNearestColumn) {
    // W = 100: the limits fall exactly on 60, 80 and 100 columns.
    EXPECT_EQ(ComputeMeterLayout({102, 6, 0, 10, 0}).zoneEnds, (std::array<int, 3>{61, 81, 101}));
    // W = 17: 10.2 -> 10, 13.6 -> 14, 17.
    EXPECT_EQ(ComputeMeterLayout({19, 6, 0, 10, 0}).zoneEnds, (std::array<int, 3>{11, 15, 18}));
}

TEST(MeterGeometry, LitEndIsTruncatedAndClamped) {
    struct Case {
        int minimum, maximum, position, litEnd;
    };
    const Case cases[] = {
        {0, 90, 0, 1},     {0, 90, 1, 2},     {0, 90, 45, 76},  {0, 90, 90, 152},
        {0, 90, -7, 1},    {0, 90, 500, 152}, {10, 100, 10, 1}, {10, 100, 100, 152},
        {10, 100, 55, 76}, {5, 5, 5, 1},      {9, 3, 5, 1},     {0, 41, 41, 152},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MeterLitEnd({kWidth, kHeight, c.minimum, c.maximum, c.position}), c.litEnd)
            << c.minimum << ".." << c.maximum << " at " << c.position;
    }
}

struct ColumnCase {
    int position;
    int x;
    MeterInk ink;
};

class MeterColumns : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(MeterColumns, InkAtZoneBordersAndEnds) {
    const ColumnCase c = GetParam();
    EXPECT_EQ(ColumnInk(InputMeter(c.position), c.x), c.ink)
        << "position " << c.position << " column " << c.x;
}

INSTANTIATE_TEST_SUITE_P(
    Empty, MeterColumns,
    ::testing::Values(ColumnCase{0, 1, MeterInk::Unlit1}, ColumnCase{0, 2, MeterInk::Unlit1},
                      ColumnCase{0, 3, MeterInk::Black}, ColumnCase{0, 91, MeterInk::Unlit1},
                      // the group that starts before the zone end finishes in its zone's colour
                      ColumnCase{0, 92, MeterInk::Unlit1}, ColumnCase{0, 93, MeterInk::Black},
                      ColumnCase{0, 94, MeterInk::Unlit2}, ColumnCase{0, 122, MeterInk::Unlit2},
                      ColumnCase{0, 123, MeterInk::Black}, ColumnCase{0, 124, MeterInk::Unlit3},
                      ColumnCase{0, 147, MeterInk::Black}, ColumnCase{0, 149, MeterInk::Unlit3},
                      // the bar always ends in one column of the last colour, then black
                      ColumnCase{0, 150, MeterInk::Unlit3}, ColumnCase{0, 151, MeterInk::Black}));

INSTANTIATE_TEST_SUITE_P(
    Full, MeterColumns,
    ::testing::Values(ColumnCase{90, 1, MeterInk::Lit1}, ColumnCase{90, 3, MeterInk::Black},
                      ColumnCase{90, 92, MeterInk::Lit1}, ColumnCase{90, 94, MeterInk::Lit2},
                      ColumnCase{90, 122, MeterInk::Lit2}, ColumnCase{90, 124, MeterInk::Lit3},
                      ColumnCase{90, 150, MeterInk::Lit3}, ColumnCase{90, 151, MeterInk::Black},
                      ColumnCase{999, 150, MeterInk::Lit3}));

INSTANTIATE_TEST_SUITE_P(
    Partial, MeterColumns,
    ::testing::Values(
        // position 1: lit end 2, so only the first group is lit
        ColumnCase{1, 1, MeterInk::Lit1}, ColumnCase{1, 2, MeterInk::Lit1},
        ColumnCase{1, 4, MeterInk::Unlit1},
        // position 54: lit end 91; the group at 91 starts at the lit end and stays unlit
        ColumnCase{54, 88, MeterInk::Lit1}, ColumnCase{54, 91, MeterInk::Unlit1},
        // position 55: lit end 93; the group at 91 is lit across the zone border
        ColumnCase{55, 91, MeterInk::Lit1}, ColumnCase{55, 92, MeterInk::Lit1},
        ColumnCase{55, 94, MeterInk::Unlit2},
        // position 56: lit end 94 = the next group's start, which stays unlit
        ColumnCase{56, 94, MeterInk::Unlit2},
        // position 57: lit end 96; the first group of zone 2 is lit in zone 2's colour
        ColumnCase{57, 94, MeterInk::Lit2}, ColumnCase{57, 95, MeterInk::Lit2},
        ColumnCase{57, 97, MeterInk::Unlit2},
        // a negative position is clamped to the minimum
        ColumnCase{-20, 1, MeterInk::Unlit1}));

TEST(MeterGeometry, SegmentsAreTwoColouredColumnsAndOneBlackUpToTheClosingColumns) {
    for (int position = 0; position <= 90; ++position) {
        const MeterLayout layout = InputMeter(position);
        for (int x = layout.inner.left; x < layout.inner.right - 4; ++x) {
            const bool gap = (x - layout.inner.left) % 3 == 2;
            EXPECT_EQ(ColumnInk(layout, x) == MeterInk::Black, gap)
                << "position " << position << " column " << x;
        }
    }
}

TEST(MeterGeometry, LitColumnsAreExactlyThoseOfGroupsStartingBeforeTheLitEnd) {
    for (int position = 0; position <= 90; ++position) {
        const MeterLayout layout = InputMeter(position);
        for (int x = layout.inner.left; x < layout.inner.right - 2; ++x) {
            const MeterInk ink = ColumnInk(layout, x);
            if (ink == MeterInk::Black) continue;
            const int groupStart = x - (x - layout.inner.left) % 3;
            const bool lit =
                ink == MeterInk::Lit1 || ink == MeterInk::Lit2 || ink == MeterInk::Lit3;
            EXPECT_EQ(lit, groupStart < layout.litEnd)
                << "position " << position << " column " << x;
        }
    }
}

TEST(MeterGeometry, GainReductionMeterIsAllLitAtItsMaximumAndAllUnlitAtZero) {
    // 159 x 9 pixels, range 0..41.
    const MeterLayout full = ComputeMeterLayout({159, 9, 0, 41, 41});
    const MeterLayout empty = ComputeMeterLayout({159, 9, 0, 41, 0});
    for (std::size_t i = 0; i < full.columns.size(); ++i) {
        const MeterInk a = full.columns[i];
        const MeterInk b = empty.columns[i];
        EXPECT_TRUE(a == MeterInk::Black || a == MeterInk::Lit1 || a == MeterInk::Lit2 ||
                    a == MeterInk::Lit3);
        EXPECT_TRUE(b == MeterInk::Black || b == MeterInk::Unlit1 || b == MeterInk::Unlit2 ||
                    b == MeterInk::Unlit3);
        EXPECT_EQ(a == MeterInk::Black, b == MeterInk::Black) << i;
    }
}

TEST(MeterGeometry, TinyMetersNeverWriteOutsideTheirBar) {
    for (int width = 0; width <= 8; ++width) {
        for (int height = 0; height <= 3; ++height) {
            for (int position : {0, 5, 10}) {
                const MeterLayout layout = ComputeMeterLayout({width, height, 0, 10, position});
                const std::size_t expected =
                    height > 2 && width > 2 ? static_cast<std::size_t>(width - 2) : 0u;
                EXPECT_EQ(layout.columns.size(), expected) << width << "x" << height;
            }
        }
    }
}

TEST(MeterGeometry, RunsCoverTheBarWithoutGapsOrRepeats) {
    const MeterLayout layout = InputMeter(37);
    const std::vector<MeterRun> runs = MeterRuns(layout);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front().first, layout.inner.left);
    EXPECT_EQ(runs.back().pastLast, layout.inner.right);
    for (std::size_t i = 1; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].first, runs[i - 1].pastLast);
        EXPECT_NE(runs[i].ink, runs[i - 1].ink);
    }
    EXPECT_EQ(runs[0], (MeterRun{1, 3, MeterInk::Lit1}));
    EXPECT_EQ(runs[1], (MeterRun{3, 4, MeterInk::Black}));
}

TEST(MeterGeometry, ChangedColumnsSpanOnlyTheGroupsThatChanged) {
    struct Case {
        int from, to;
        ColumnSpan span;
    };
    const Case cases[] = {
        {0, 0, {}},           {0, 1, {1, 3}},  // first group lights
        {1, 0, {1, 3}},                        // and goes dark again
        {54, 57, {91, 96}},                    // groups at 91 and 94 light
        {0, 90, {1, 151}},                     // all coloured columns up to the closing one
        {89, 90, {150, 151}},                  // only the closing column takes the lit colour
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MeterChangedColumns(InputMeter(c.from), InputMeter(c.to)), c.span)
            << c.from << " -> " << c.to;
    }
    const MeterLayout other = ComputeMeterLayout({100, 9, 0, 90, 0});
    EXPECT_EQ(MeterChangedColumns(InputMeter(0), other), (ColumnSpan{1, 99}));
}

}  // namespace
}  // namespace arvestra
