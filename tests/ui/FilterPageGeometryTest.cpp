// The EQ pages' geometry: grid lines, band columns, dot rows and the stroke interpolation.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/pages/FilterPageGeometry.h"
#include "ui/pages/GraphicEqPageGeometry.h"
#include "ui/pages/ParametricEqPageGeometry.h"

namespace arvestra {
namespace {

const GraphRect kGraph{40, 30, 760, 190};

TEST(FilterPageGeometry, DrawingStepsFillEveryBandPassedOnAStraightLine) {
    struct Case {
        int column, y, lastColumn, lastY;
        std::vector<BandHeight> steps;
    };
    const Case cases[] = {
        {3, 100, -1, 0, {{3, 100}}},  // first point of a stroke
        {4, 80, 3, 100, {{4, 80}}},   // neighbour
        {4, 80, 4, 100, {{4, 80}}},   // same column
        {2, 80, 3, 100, {{2, 80}}},   // neighbour to the left
        {9, 40, 3, 100, {{4, 90}, {5, 80}, {6, 70}, {7, 60}, {8, 50}, {9, 40}}},
        {3, 100, 9, 40, {{8, 50}, {7, 60}, {6, 70}, {5, 80}, {4, 90}, {3, 100}}},
        {6, 107, 3, 100, {{4, 102}, {5, 104}, {6, 107}}},  // truncation toward zero
        {0, 93, 3, 100, {{2, 98}, {1, 96}, {0, 93}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DrawingSteps(c.column, c.y, c.lastColumn, c.lastY), c.steps)
            << c.lastColumn << " -> " << c.column;
    }
}

TEST(FilterPageGeometry, BandColumnsTileTheGraphBetweenTheDots) {
    const std::vector<int> dots = {50, 70, 91, 120};
    const std::vector<PixelRect> columns = BandColumns(dots, kGraph);
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[0], (PixelRect{40, 30, 60, 190}));
    EXPECT_EQ(columns[1], (PixelRect{60, 30, 80, 190}));
    EXPECT_EQ(columns[2], (PixelRect{80, 30, 105, 190}));
    EXPECT_EQ(columns[3], (PixelRect{105, 30, 760, 190}));
    EXPECT_EQ(ColumnAt(columns, 40, 100), 0);
    EXPECT_EQ(ColumnAt(columns, 79, 100), 1);
    EXPECT_EQ(ColumnAt(columns, 80, 100), 2);
    EXPECT_EQ(ColumnAt(columns, 759, 189), 3);
    EXPECT_EQ(ColumnAt(columns, 760, 100), -1);
    EXPECT_EQ(ColumnAt(columns, 100, 29), -1);
}

TEST(FilterPageGeometry, GraphicDotRowsAndPositionsAreLimitedToTheDotRange) {
    // yTop is +15 dB (position 0), yBottom -15 dB (position 60).
    EXPECT_EQ(GraphicDotY(0, 50, 170), 50);
    EXPECT_EQ(GraphicDotY(30, 50, 170), 110);
    EXPECT_EQ(GraphicDotY(60, 50, 170), 170);
    EXPECT_EQ(GraphicDotY(7, 50, 171), 50 + 121 * 7 / 60);
    EXPECT_EQ(GraphicPositionOfY(-400, 50, 170), 0);
    EXPECT_EQ(GraphicPositionOfY(51, 50, 170), 0);
    EXPECT_EQ(GraphicPositionOfY(52, 50, 170), 1);
    EXPECT_EQ(GraphicPositionOfY(169, 50, 170), 59);
    EXPECT_EQ(GraphicPositionOfY(9000, 50, 170), 60);
    EXPECT_EQ(GraphicPositionOfY(100, 70, 70), 0);  // a collapsed range never divides by zero
}

TEST(FilterPageGeometry, GridHasADecadeRulerAndAZeroRow) {
    const GraphMapping mapping(kGraph, kGraphicEqGraph);
    const GraphGrid grid = ComputeGraphGrid(mapping, 5.0);
    EXPECT_EQ(grid.zeroRow, mapping.DbToY(0.0));
    // +20 to -20 dB in 5 dB steps; -25 dB falls on the frame and gets no row.
    EXPECT_EQ(grid.rows.size(), 9u);
    EXPECT_NE(std::find(grid.columns.begin(), grid.columns.end(), mapping.FrequencyToX(1000.0)),
              grid.columns.end());
    EXPECT_TRUE(std::is_sorted(grid.columns.begin(), grid.columns.end()));
    // 20, 30 ... 90 Hz, 100 ... 900, 1k ... 9k, 10k, 20k: 8 + 9 + 9 + 2.
    EXPECT_EQ(grid.columns.size(), 28u);
    const GraphGrid parametric = ComputeGraphGrid(GraphMapping(kGraph, kParametricEqGraph), 10.0);
    // +10 ... -40: +20 and -50 dB lie within a pixel of the frame.
    EXPECT_EQ(parametric.rows.size(), 6u);
}

TEST(FilterPageGeometry, CaptionsAndSections) {
    EXPECT_EQ(FrequencyCaption(20), "20");
    EXPECT_EQ(FrequencyCaption(500), "500");
    EXPECT_EQ(FrequencyCaption(1000), "1k");
    EXPECT_EQ(FrequencyCaption(20000), "20k");
    EXPECT_EQ(LevelCaption(10), "+10");
    EXPECT_EQ(LevelCaption(0), "0");
    EXPECT_EQ(LevelCaption(-50), "-50");
    const int blocks[] = {13, 11, 14, 12};
    for (int s = 0; s < kSectionCount; ++s) EXPECT_EQ(ToInt(SectionBlock(s)), blocks[s]) << s;
    EXPECT_EQ(DotRect(100, 50), (PixelRect{97, 47, 103, 53}));
    const DotLimits limits = ParametricDotLimits(kGraph);
    EXPECT_EQ(limits.left, 45);
    EXPECT_EQ(limits.bottom, 185);
}

}  // namespace
}  // namespace arvestra
