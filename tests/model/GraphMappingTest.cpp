#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/GraphMapping.h"

namespace arvestra {
namespace {

constexpr GraphRect kRect{0, 0, 500, 300};

struct PixelCase {
    const char* name;
    GraphConstants constants;
    GraphRect rect;
    double value;
    int expected;
};

class FrequencyColumn : public testing::TestWithParam<PixelCase> {};

TEST_P(FrequencyColumn, IsOnTheLogarithmicAxis) {
    const PixelCase& c = GetParam();
    EXPECT_EQ(GraphMapping(c.rect, c.constants).FrequencyToX(c.value), c.expected) << c.name;
}

// Worked out by hand: x = left + trunc((log f - log 19.2) / (log 21000 - log 19.2) * width + 0.5).
INSTANTIATE_TEST_SUITE_P(
    Points, FrequencyColumn,
    testing::Values(PixelCase{"left edge", kGraphicEqGraph, kRect, 19.2, 0},
                    PixelCase{"right edge", kGraphicEqGraph, kRect, 21000, 500},
                    PixelCase{"1 kHz", kGraphicEqGraph, kRect, 1000, 282},
                    PixelCase{"20 Hz", kGraphicEqGraph, kRect, 20, 3},
                    PixelCase{"20 kHz", kGraphicEqGraph, kRect, 20000, 497},
                    PixelCase{"offset rect", kParametricEqGraph, {10, 5, 410, 200}, 100, 104},
                    PixelCase{"zero width", kGraphicEqGraph, {40, 0, 40, 300}, 1000, 40},
                    PixelCase{"not a number", kGraphicEqGraph, kRect,
                              std::numeric_limits<double>::quiet_NaN(), 0}));

class LevelRow : public testing::TestWithParam<PixelCase> {};

TEST_P(LevelRow, IsOnTheLinearAxis) {
    const PixelCase& c = GetParam();
    EXPECT_EQ(GraphMapping(c.rect, c.constants).DbToY(c.value), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Points, LevelRow,
    testing::Values(PixelCase{"top edge", kGraphicEqGraph, kRect, 24.5, 0},
                    PixelCase{"bottom edge", kGraphicEqGraph, kRect, -25.0, 300},
                    PixelCase{"0 dB graphic", kGraphicEqGraph, kRect, 0.0, 148},
                    PixelCase{"0 dB parametric", kParametricEqGraph, {0, 0, 400, 284}, 0.0, 81},
                    PixelCase{"-15 dB", kGraphicEqGraph, kRect, -15.0, 239},
                    PixelCase{"+15 dB", kGraphicEqGraph, kRect, 15.0, 58},
                    PixelCase{"zero height", kGraphicEqGraph, {0, 70, 500, 70}, -3.0, 70},
                    PixelCase{"not a number", kGraphicEqGraph, kRect,
                              std::numeric_limits<double>::quiet_NaN(), 0}));

TEST(GraphMapping, DotLimitsCountWholePixelsFromTheirEdge) {
    const GraphMapping mapping(kRect, kGraphicEqGraph);
    EXPECT_DOUBLE_EQ(mapping.DbPerPixel(), 0.165);
    EXPECT_EQ(mapping.DbToYFromTop(15.0), 58);
    // Counted from the bottom the -15 dB row rounds differently than the direct mapping (239).
    EXPECT_EQ(mapping.DbToYFromBottom(-15.0), 240);
    EXPECT_EQ(mapping.DbToYFromTop(24.5), 0);
    EXPECT_EQ(mapping.DbToYFromBottom(-25.0), 300);
}

TEST(GraphMapping, EveryColumnAndRowMapsBackToItself) {
    for (const GraphConstants& constants : {kGraphicEqGraph, kParametricEqGraph}) {
        for (const GraphRect& rect : {GraphRect{0, 0, 500, 300}, GraphRect{13, 27, 612, 251}}) {
            const GraphMapping mapping(rect, constants);
            for (int x = rect.left; x <= rect.right; ++x) {
                ASSERT_EQ(mapping.FrequencyToX(mapping.XToFrequency(x)), x);
            }
            for (int y = rect.top; y <= rect.bottom; ++y) {
                ASSERT_EQ(mapping.DbToY(mapping.YToDb(y)), y);
            }
        }
    }
}

TEST(GraphMapping, EdgesMapToTheGraphConstants) {
    const GraphMapping mapping({10, 20, 410, 220}, kParametricEqGraph);
    EXPECT_DOUBLE_EQ(mapping.XToFrequency(10), 19.2);
    EXPECT_NEAR(mapping.XToFrequency(410), 21000.0, 1e-9);
    EXPECT_NEAR(mapping.XToFrequency(210), 634.9803146555, 1e-9);  // the geometric middle
    EXPECT_DOUBLE_EQ(mapping.YToDb(20), 20.1);
    EXPECT_DOUBLE_EQ(mapping.YToDb(220), -50.5);
    EXPECT_DOUBLE_EQ(mapping.YToDb(120), -15.2);
}

TEST(GraphMapping, OutOfRangeInputsStayDefined) {
    const GraphMapping mapping(kRect, kGraphicEqGraph);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_LT(mapping.FrequencyToX(0.0), -1000000);  // log of 0 is minus infinity
    EXPECT_LT(mapping.FrequencyToX(-5.0), 1);        // log of a negative number is NaN
    EXPECT_GT(mapping.FrequencyToX(inf), 1000000);
    EXPECT_GT(mapping.DbToY(-inf), 1000000);  // 10 log10(0) far below the graph
    EXPECT_LT(mapping.DbToY(inf), -1000000);
    EXPECT_GT(mapping.DbToY(-1e300), 1000000);

    const GraphMapping flat({0, 50, 500, 50}, kGraphicEqGraph);
    EXPECT_EQ(flat.DbPerPixel(), 0.0);
    EXPECT_EQ(flat.DbToYFromTop(15.0), 50);
    EXPECT_EQ(flat.DbToYFromBottom(-15.0), 50);
    EXPECT_EQ(flat.YToDb(80), 24.5);

    const GraphMapping narrow({30, 0, 30, 300}, kGraphicEqGraph);
    EXPECT_EQ(narrow.XToFrequency(99), 19.2);

    const int most = std::numeric_limits<int>::max();
    const int least = std::numeric_limits<int>::min();
    const GraphMapping huge({least, least, most, most}, kGraphicEqGraph);
    EXPECT_EQ(huge.FrequencyToX(19.2), least);
    EXPECT_LT(huge.DbToY(-25.0), least + (1 << 25));  // the far edge is out of pixel range
    EXPECT_DOUBLE_EQ(huge.YToDb(least), 24.5);
    EXPECT_DOUBLE_EQ(huge.XToFrequency(most), 21000.0);

    const GraphMapping sameEdges(kRect, GraphConstants{10.0, 10.0, 1000.0, 1000.0});
    EXPECT_EQ(sameEdges.FrequencyToX(500.0), 0);
    EXPECT_EQ(sameEdges.DbToY(3.0), 0);
}

}  // namespace
}  // namespace arvestra
